#include "readers/series.h"

#include <algorithm>

#include "formats/loglines.h"
#include "formats/maillog.h"
#include "search/fold.h"

namespace zazir {

int Series::itemAt(LogOffset offset) const {
  const auto& starts = pieces.starts;
  return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) -
         1;
}

Series mailSeries(const LogIndex& index) {
  BoardPieces mails;
  for (const MailEntry& mail : index.mails) mails.starts.push_back(mail.headerOffset);
  return {MarkSection::Mail, 0, std::move(mails), true, &mailLayout()};
}

Series messageSeries(BoardPieces messages, int board) {
  return {MarkSection::MessageBoard, board, std::move(messages), false, &messageLayout()};
}

Series fileSeries(BoardPieces entries, int board) {
  return {MarkSection::FileBoard, board, std::move(entries), false, &fileEntryLayout()};
}

namespace {

int numberOf(LineStream& log, const Series& series, int item) {
  std::string line;
  log.seek(series.startOf(item));
  readWholeLine(log, line);
  return messageNumber(line);
}

}  // namespace

int itemNumbered(LineStream& log, const Series& series, int number) {
  if (series.section != MarkSection::MessageBoard) {
    return number >= 1 && number <= series.count() ? number - 1 : -1;
  }
  // The host numbers a board's messages upwards: a few reads find one. A
  // board out of order is read through.
  int low = 0;
  int high = series.count() - 1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int found = numberOf(log, series, middle);
    if (found == number) return middle;
    if (found < number) {
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  for (int item = 0; item < series.count(); ++item) {
    if (numberOf(log, series, item) == number) return item;
  }
  return -1;
}

int typedNumber(std::string_view text) {
  long number = -1;
  bool digitsEnded = false;
  for (std::size_t at = 0; at < text.size();) {
    const search::Folded folded = search::foldAt(text, at);
    at += folded.size;
    const search::Unit unit = folded.unit;
    if (unit >= '0' && unit <= '9' && !digitsEnded) {
      number = std::max(number, 0L) * 10 + (unit - '0');
      if (number > 99999999) return -1;
    } else if (unit == ' ' || (unit == '#' && number < 0)) {
      digitsEnded = number >= 0;
    } else {
      return -1;
    }
  }
  return static_cast<int>(number);
}

}  // namespace zazir

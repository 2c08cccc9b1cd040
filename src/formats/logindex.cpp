#include "formats/logindex.h"

#include <algorithm>
#include <cstring>

#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "formats/logscan.h"
#include "formats/maillog.h"
#include "platform/encoding.h"
#include "text/cp932.h"
#include "text/format.h"
#include "text/textutil.h"

namespace zazir {

using namespace zazir::literals;

namespace {

// Field sizes of the index records (text only, the terminator excluded).
constexpr std::size_t kChatNameBytes = 12;
constexpr std::size_t kSenderIdBytes = 19;
constexpr std::size_t kSenderNameBytes = 29;
constexpr std::size_t kTitleBytes = 79;
constexpr std::size_t kDateTimeBytes = 9;
constexpr std::size_t kLabelCut = 48;

// Listing line geometry: ":" after the right-aligned number, the name from
// column 6, the status from column 49, the whole line below 80 bytes.
constexpr std::size_t kColonColumn = 4;
constexpr std::size_t kNameColumn = 6;
constexpr std::size_t kStatusColumn = 49;
constexpr std::size_t kListingLimit = 80;
constexpr std::size_t kSenderColumn = 25;
constexpr std::size_t kTitleColumn = 6;

const std::string& mailHeading() {
  static const std::string text = "Private Message is from:";
  return text;
}

// The same result as `stripLineEnd` on a copy of `raw`, without the copy
// unless a TAB has to become a blank. A line read from a LineStream holds a
// line feed only as its last byte.
std::string_view cleanLine(std::string_view raw, std::string& buffer) {
  std::size_t end = raw.size();
  if (end > 0 && raw[end - 1] == '\n') --end;
  if (const void* cr = std::memchr(raw.data(), '\r', end)) {
    end = static_cast<std::size_t>(static_cast<const char*>(cr) - raw.data());
  }
  const void* tab = std::memchr(raw.data(), '\t', end);
  if (tab == nullptr) return raw.substr(0, end);
  buffer.assign(raw.data(), end);
  buffer[static_cast<std::size_t>(static_cast<const char*>(tab) - raw.data())] = ' ';
  return buffer;
}

std::string_view from(std::string_view text, std::size_t column) {
  return column < text.size() ? text.substr(column) : std::string_view();
}

std::string cutField(std::string_view text, std::size_t limit) {
  return std::string(cutToBytes(text, limit));
}

// Ends a cut label before its leader of half-width middle dots (0xA5), when
// the last dot follows a blank: the byte before the first dot, normally the
// blank that opens the leader, goes too. Bytes are tested singly, so a
// double-byte character whose second byte is 0xA5 counts as a dot; the end
// never falls inside a character.
void trimLeader(std::string& label) {
  const std::size_t first = label.find('\xA5');
  if (first == std::string::npos) return;
  const std::size_t last = label.rfind('\xA5');
  if (last == 0 || label[last - 1] != ' ') return;
  label.resize(characterBoundary(label, first == 0 ? 0 : first - 1));
}

std::string cutLabel(std::string_view line) {
  std::string label = cutField(line, kLabelCut);
  trimLeader(label);
  return label;
}

}  // namespace

LogIndexer::LogIndexer(LineStream& log, LogIndex& index)
    : log_(log), index_(index), notewallLead_("《 気軽な伝言板 》"_sj.front()) {
  index_ = LogIndex{};
  log_.seek(0);
}

void LogIndexer::indexTo(LogOffset limit) {
  std::string_view raw;
  while (!finished_ && log_.tell() < limit) {
    logscan::skipUninteresting(log_, limit);
    if (log_.tell() >= limit) return;
    const LogOffset start = log_.tell();
    finished_ = !log_.readLineView(raw, kLineLimit) || !take(start, raw);
  }
}

// Indexes a line that may start a part; false when the log ended within it.
bool LogIndexer::take(LogOffset start, std::string_view raw) {
  if (!mayMatch(raw)) return true;
  std::string_view line = cleanLine(raw, clean_);
  if (isListingLine(line)) return addBoard(start, line);
  LogOffset lineStart = start;
  std::string_view tested = line;  // what the mail and FILE NEWS tests see
  if (startsWith(line, "《 気軽な伝言板 》"_sj)) {
    // The content starts two lines below the heading; the line between
    // is tested as it was read, without clean-up.
    lineStart = log_.tell();
    const bool more = log_.readLineView(raw, kLineLimit);
    index_.notewallOffset = log_.tell();
    if (!more) return false;
    tested = raw;
    line = cleanLine(raw, clean_);
  }
  if (startsWith(tested, mailHeading())) {
    if (!addMail(lineStart, line)) return false;
    tested = title_;
  }
  if (startsWith(tested, "FILE NEWS: 日付指定"_sj)) fileBoardMode_ = true;
  return true;
}

// A quick look at the raw line: nothing else can pass a test after clean-up
// (clean-up only shortens a line and turns one TAB into a blank).
bool LogIndexer::mayMatch(std::string_view raw) const {
  if (raw.empty()) return false;
  const char first = raw[0];
  return (raw.size() > kColonColumn && raw[kColonColumn] == ':') || first == 'P' || first == 'F' ||
         first == notewallLead_;
}

// Returns false when the log ended while the board's content was skipped.
bool LogIndexer::addBoard(LogOffset start, std::string_view line) {
  const std::string_view name = wordAt(from(line, kNameColumn), 0);
  const std::string_view status = line.substr(kStatusColumn);
  const int number = parseDecimal(line);
  if (startsWith(name, "#")) {
    addChatBoard(name, status, number, line);
    return true;
  }
  if (name.empty()) return true;
  BoardEntry board;
  board.listOffset = start;
  board.number = number;
  board.name = std::string(name);
  if (status != "検索中"_sj) {
    board.label = std::string(line);
  } else if (fileBoardMode_) {
    board.label = cutLabel(line) + " ★新着あり"_sj;
  } else {
    board.label = cutLabel(line) + " ★未読あり"_sj;
    // The listing line's view dies with the next read; the label is built.
    index_.messageBoards.push_back(std::move(board));
    return skipToCountLine(index_.messageBoards.back().label);
  }
  (fileBoardMode_ ? index_.fileBoards : index_.messageBoards).push_back(std::move(board));
  return true;
}

void LogIndexer::addChatBoard(std::string_view name, std::string_view status, int number,
                              std::string_view line) {
  if (index_.chatBoardCount() >= kMaxChatBoards) return;
  ChatBoardEntry chat;
  chat.name = cutField(name, kChatNameBytes);
  chat.label = cutLabel(line);
  chat.number = number;
  chat.hasNew = (status == "未読なし"_sj || status == "No messages found") ? 0 : 1;
  index_.chatBoards.push_back(std::move(chat));
  index_.chatContentOffset.push_back(log_.tell());
}

// The lines up to and including the count line belong to the board; the
// count (its second word) completes the label. A log that ends first
// leaves the label without a count.
bool LogIndexer::skipToCountLine(std::string& label) {
  std::string_view raw;
  while (log_.readLineView(raw, kLineLimit)) {
    const std::string_view line = cleanLine(raw, clean_);
    if (line.find("新しいメッセージ"_sj) == std::string_view::npos) continue;
    label += formatText("(%i件)"_sj, parseDecimal(wordAt(line, 1)));
    return true;
  }
  return false;
}

// Fills a mail entry from its three header lines; the title line is kept
// in `title_` for the FILE NEWS test. Returns false at the end of the log.
bool LogIndexer::addMail(LogOffset start, std::string_view line) {
  MailEntry mail;
  mail.headerOffset = start;
  const std::string_view sender = from(line, kSenderColumn);
  mail.senderId = cutField(wordAt(sender, 0), kSenderIdBytes);
  mail.senderName = cutField(wordAt(sender, 1), kSenderNameBytes);
  title_.clear();
  std::string_view raw;
  bool more = log_.readLineView(raw, kLineLimit);
  if (more) {
    const std::string_view dated = cleanLine(raw, clean_);
    mail.dateText = cutField(wordAt(dated, 1), kDateTimeBytes);
    mail.timeText = cutField(wordAt(dated, 2), kDateTimeBytes);
    more = log_.readLineView(raw, kLineLimit);
  }
  if (more) {
    title_ = cleanLine(raw, clean_);
    mail.title = cutField(from(title_, kTitleColumn), kTitleBytes);
  }
  index_.mails.push_back(std::move(mail));
  return more;
}

bool isListingLine(std::string_view line) {
  if (line.size() >= kListingLimit || line.size() <= kStatusColumn) return false;
  if (line[kColonColumn] != ':' || parseDecimal(line) <= 0) return false;
  const std::string_view status = line.substr(kStatusColumn);
  return startsWith(status, "検索中"_sj) || startsWith(status, "未読なし"_sj) ||
         startsWith(status, "No messages found") || startsWith(status, "新着なし"_sj);
}

bool startsAPart(std::string_view line) {
  return isListingLine(line) || startsWith(line, mailHeading()) ||
         startsWith(line, "《 気軽な伝言板 》"_sj);
}

namespace {

// The first line of what the program itself writes: a part copied from a
// log (a mail, a message, a file entry), a chat line (a back-log) or a
// command of the upload file ("EW3;title;Y", "ER3;12;Y", "EMID;0", "F3",
// "P"). What follows it is text that people wrote and may name any part of
// a visit.
bool startsAFileOfTheProgram(std::string_view line) {
  if (startsAPart(line) || isMessageStart(line) || entryFileNumber(line) > 0 ||
      isListedLine(line, kChatLineMarker)) {
    return true;
  }
  const bool numbered = line.size() > 2 && isDigitChar(line[2]);
  return line == "P" ||
         (line.size() > 1 && line[0] == 'F' &&
          line.find_first_not_of("0123456789", 1) == std::string_view::npos) ||
         ((startsWith(line, "EW") || startsWith(line, "ER")) && numbered) ||
         (startsWith(line, "EM") && line.ends_with(";0"));
}

}  // namespace

bool readsAsCapture(std::string_view head) {
  std::string clean;
  bool mail = false;  // a mail's first header line came
  for (bool first = true; !head.empty(); first = false) {
    const std::size_t end = std::min(head.find('\n'), head.size());
    clean.assign(head.substr(0, end));
    stripLineEnd(clean);
    head.remove_prefix(std::min(end + 1, head.size()));
    if (first) {
      if (startsAFileOfTheProgram(clean)) return false;
      continue;
    }
    if (isListingLine(clean) || startsWith(clean, "《 気軽な伝言板 》"_sj)) return true;
    if (startsWith(clean, mailHeading())) mail = true;
    if (mail && isDeleteQuestion(clean)) return true;
  }
  return false;
}

void indexLog(LineStream& log, LogIndex& index) {
  LogIndexer(log, index).indexTo(logscan::kNoLimit);
}

}  // namespace zazir

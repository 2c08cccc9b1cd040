#include "search/hitplaces.h"

#include <algorithm>
#include <string>

#include "formats/boardlog.h"
#include "formats/chatlog.h"
#include "formats/loglines.h"
#include "formats/maillog.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir::search {

namespace {

using StopRule = std::function<bool(std::string_view piece, bool lineStart)>;

// Where a reader stops showing the item at `start`: after its header lines
// and kMaxBodyLines body rows, at `hardEnd` (-1: none) or before the first
// row that `stops` ends it with.
LogOffset shownPartEnd(LineStream& log, LogOffset start, int headerLines, bool wholeHeaders,
                       LogOffset hardEnd, const StopRule& stops) {
  log.seek(start);
  std::string line;
  for (int k = 0; k < headerLines; ++k) {
    if (!(wholeHeaders ? readWholeLine(log, line) : log.readLine(line))) return log.tell();
  }
  bool lineStart = true;
  for (std::size_t rows = 0; rows < kMaxBodyLines; ++rows) {
    const LogOffset at = log.tell();
    if (hardEnd >= 0 && at >= hardEnd) return at;
    if (!readWrappedLine(log, line, kBodyLineBytes)) return at;
    const bool ended = !line.empty() && line.back() == '\n';
    stripLineEnd(line);
    if (stops(line, lineStart)) return at;
    lineStart = ended;
  }
  return log.tell();
}

// The line starts of a list that runs from `start`, and its end last.
std::vector<LogOffset> listedLines(LineStream& log, LogOffset start, char marker) {
  std::vector<LogOffset> starts;
  std::string line;
  log.seek(start);
  while (true) {
    const LogOffset at = log.tell();
    if (!readWholeLine(log, line) || !isListedLine(line, marker)) {
      starts.push_back(at);
      return starts;
    }
    starts.push_back(at);
  }
}

// The line of `lines` (starts, then the end) that holds `offset`; -1 when
// none does.
int lineHolding(const std::vector<LogOffset>& lines, LogOffset offset) {
  if (lines.size() < 2 || offset < lines.front() || offset >= lines.back()) return -1;
  return static_cast<int>(std::upper_bound(lines.begin(), lines.end(), offset) - lines.begin()) - 1;
}

}  // namespace

HitLocator::HitLocator(const LogIndex& index, LineStream& log,
                       std::unique_ptr<LineStream> boardBlocks, LogOffset size)
    : index_(index),
      log_(log),
      boardBlocks_(std::move(boardBlocks)),
      size_(size),
      messages_(index.messageBoards, BoardKind::Message),
      files_(index.fileBoards, BoardKind::File) {
  for (const MailEntry& mail : index.mails) {
    mailEnds_.push_back(shownPartEnd(log, mail.headerOffset, 3, true, -1,
                                     [](std::string_view piece, bool) { return isMailEnd(piece); }));
  }
  if (index.notewallOffset >= 0) {
    notewallLines_ = listedLines(log, index.notewallOffset, kNotewallLineMarker);
  }
  for (int board = 0; board < index.chatBoardCount(); ++board) {
    std::vector<LogOffset> lines;
    LogOffset end = -1;
    forEachNewChatLine(log, index, board, [&](LogOffset start, std::string_view) {
      lines.push_back(start);
      end = log.tell();
      return true;
    });
    if (!lines.empty()) lines.push_back(end);
    chatLines_.push_back(std::move(lines));
  }
}

LogOffset HitLocator::shownEnd(HitSection section, const BoardPlace& at) {
  if (shown_.section == section && shown_.board == at.board && shown_.item == at.item) {
    return shown_.end;
  }
  LogOffset end = 0;
  if (section == HitSection::MessageBoard) {
    end = shownPartEnd(log_, at.itemOffset, 3, false, boardEndOffset(index_.messageBoards, at.board),
                       [](std::string_view piece, bool) { return isMessageEnd(piece); });
  } else {
    end = shownPartEnd(log_, at.itemOffset, 1, false, boardEndOffset(index_.fileBoards, at.board),
                       [](std::string_view piece, bool lineStart) {
                         return endsFileBoard(piece) ||
                                (lineStart && entryFileNumber(piece) > 0);
                       });
  }
  shown_ = Shown{section, at.board, at.item, end};
  return end;
}

void HitLocator::placeInBoard(HitSection section, const BoardPlace& at, LogOffset end,
                              std::vector<SearchHit>& out) {
  if (at.board < 0 || end > shownEnd(section, at)) return;
  out.push_back({section, at.board, at.item, at.number, at.itemOffset, 0, 0});
}

void HitLocator::place(LogOffset start, LogOffset end, std::vector<SearchHit>& out) {
  const auto mail = std::upper_bound(index_.mails.begin(), index_.mails.end(), start,
                                     [](LogOffset at, const MailEntry& m) { return at < m.headerOffset; });
  if (mail != index_.mails.begin()) {
    const auto item = static_cast<int>(mail - index_.mails.begin()) - 1;
    if (end <= mailEnds_[static_cast<std::size_t>(item)]) {
      out.push_back({HitSection::Mail, 0, item, item + 1, std::prev(mail)->headerOffset, 0, 0});
    }
  }
  placeInBoard(HitSection::MessageBoard, messages_.placeOf(*boardBlocks_, size_, start), end, out);
  placeInBoard(HitSection::FileBoard, files_.placeOf(*boardBlocks_, size_, start), end, out);
  if (const int line = lineHolding(notewallLines_, start); line >= 0) {
    out.push_back({HitSection::Notewall, 0, line, line + 1,
                   notewallLines_[static_cast<std::size_t>(line)], 0, 0});
  }
  for (std::size_t board = 0; board < chatLines_.size(); ++board) {
    if (const int line = lineHolding(chatLines_[board], start); line >= 0) {
      out.push_back({HitSection::ChatBoard, static_cast<int>(board), line, line + 1,
                     chatLines_[board][static_cast<std::size_t>(line)], 0, 0});
    }
  }
}

}  // namespace zazir::search

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

}  // namespace

HitLocator::HitLocator(const LogIndex& index, LineStream& log,
                       std::unique_ptr<LineStream> boardBlocks, LogOffset size)
    : index_(index),
      log_(log),
      boardBlocks_(std::move(boardBlocks)),
      size_(size),
      messages_(index.messageBoards, BoardKind::Message),
      files_(index.fileBoards, BoardKind::File) {
  walks_.notewallNext = index.notewallOffset;
  const int boards =
      std::min(index.chatBoardCount(), static_cast<int>(index.chatContentOffset.size()));
  for (int board = 0; board < boards; ++board) {
    if (index.chatBoards[static_cast<std::size_t>(board)].hasNew) chatBoards_.push_back(board);
  }
  std::sort(chatBoards_.begin(), chatBoards_.end(), [&](int a, int b) {
    return index.chatContentOffset[static_cast<std::size_t>(a)] <
           index.chatContentOffset[static_cast<std::size_t>(b)];
  });
}

LocatorState HitLocator::state() const {
  LocatorState state = walks_;
  state.messages = messages_.state();
  state.files = files_.state();
  return state;
}

void HitLocator::restore(const LocatorState& state) {
  walks_ = state;
  messages_.restore(state.messages);
  files_.restore(state.files);
}

LogOffset HitLocator::shownEnd(HitSection section, int board, int item, LogOffset itemOffset) {
  Shown& shown = shown_[static_cast<std::size_t>(section)];
  if (shown.board == board && shown.item == item) return shown.end;
  LogOffset end = 0;
  if (section == HitSection::Mail) {
    end = shownPartEnd(log_, itemOffset, 3, true, -1,
                       [](std::string_view piece, bool) { return isMailEnd(piece); });
  } else if (section == HitSection::MessageBoard) {
    end = shownPartEnd(log_, itemOffset, 3, false, boardEndOffset(index_.messageBoards, board),
                       [](std::string_view piece, bool) { return isMessageEnd(piece); });
  } else {
    end = shownPartEnd(log_, itemOffset, 1, false, boardEndOffset(index_.fileBoards, board),
                       [](std::string_view piece, bool lineStart) {
                         return endsFileBoard(piece) ||
                                (lineStart && entryFileNumber(piece) > 0);
                       });
  }
  shown = Shown{board, item, end};
  return end;
}

void HitLocator::placeInBoard(HitSection section, const BoardPlace& at, LogOffset end,
                              std::vector<SearchHit>& out) {
  if (at.board < 0 || end > shownEnd(section, at.board, at.item, at.itemOffset)) return;
  out.push_back({section, at.board, at.item, at.number, at.itemOffset, 0, 0});
}

// The lists are walked a line at a time from where the last place left
// them; the places asked for only move on.
int HitLocator::notewallLineOf(LogOffset at) {
  ListedLine& line = walks_.notewall;
  if (index_.notewallOffset < 0 || at < index_.notewallOffset) return -1;
  std::string_view piece;
  while (line.line < 0 || at >= line.end) {
    if (walks_.notewallNext < 0) return -1;
    log_.seek(walks_.notewallNext);
    // The marker is in the line's first piece; the rest is only read past.
    if (!log_.readLineView(piece, kLineLimit) || !isListedLine(piece, kNotewallLineMarker)) {
      walks_.notewallNext = -1;
      return -1;
    }
    while (piece.back() != '\n' && log_.readLineView(piece, kLineLimit)) {
    }
    line = {line.line + 1, walks_.notewallNext, log_.tell()};
    walks_.notewallNext = line.end;
  }
  return at >= line.start ? line.line : -1;
}

int HitLocator::chatLineOf(LogOffset at, int& board) {
  if (chatBoards_.empty()) return -1;
  // The chat board whose content starts last before `at`.
  const auto after =
      std::upper_bound(chatBoards_.begin(), chatBoards_.end(), at, [&](LogOffset a, int b) {
        return a < index_.chatContentOffset[static_cast<std::size_t>(b)];
      });
  if (after == chatBoards_.begin()) return -1;
  board = *std::prev(after);
  ListedLine& line = walks_.chatLine;
  if (board != walks_.chatBoard) {
    walks_.chatBoard = board;
    walks_.chat = firstNewChatLine(log_, index_, board);
    line = {};
  }
  std::string text;
  while (line.line < 0 || at >= line.end) {
    LogOffset start = 0;
    if (!readNewChatLine(log_, walks_.chat, start, text)) return -1;
    line = {line.line + 1, start, walks_.chat.next};
  }
  return at >= line.start ? line.line : -1;
}

void HitLocator::placeInMail(LogOffset start, LogOffset end, std::vector<SearchHit>& out) {
  const auto mail = std::upper_bound(index_.mails.begin(), index_.mails.end(), start,
                                     [](LogOffset at, const MailEntry& m) { return at < m.headerOffset; });
  if (mail == index_.mails.begin()) return;
  const auto item = static_cast<int>(mail - index_.mails.begin()) - 1;
  const LogOffset itemOffset = std::prev(mail)->headerOffset;
  if (end <= shownEnd(HitSection::Mail, 0, item, itemOffset)) {
    out.push_back({HitSection::Mail, 0, item, item + 1, itemOffset, 0, 0});
  }
}

void HitLocator::place(LogOffset start, LogOffset end, std::vector<SearchHit>& out) {
  if (!index_.mails.empty()) placeInMail(start, end, out);
  if (!index_.messageBoards.empty()) {
    placeInBoard(HitSection::MessageBoard, messages_.placeOf(*boardBlocks_, size_, start), end,
                 out);
  }
  if (!index_.fileBoards.empty()) {
    placeInBoard(HitSection::FileBoard, files_.placeOf(*boardBlocks_, size_, start), end, out);
  }
  if (const int line = notewallLineOf(start); line >= 0) {
    out.push_back({HitSection::Notewall, 0, line, line + 1, walks_.notewall.start, 0, 0});
  }
  int board = -1;
  if (const int line = chatLineOf(start, board); line >= 0) {
    out.push_back({HitSection::ChatBoard, board, line, line + 1, walks_.chatLine.start, 0, 0});
  }
}

}  // namespace zazir::search

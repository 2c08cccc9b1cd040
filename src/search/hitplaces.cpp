#include "search/hitplaces.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "formats/boardlog.h"
#include "formats/chatlog.h"
#include "formats/loglines.h"
#include "formats/maillog.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir::search {

namespace {

using StopRule = bool (*)(std::string_view piece, bool lineStart);

// The row of a body that starts at the stream's position, as
// readWrappedLine cuts it, and as much of its text as the tests of an
// item's end look at. False at the end of the stream.
bool readRow(LineStream& log, std::string_view& text, bool& ended,
             std::array<char, kJudgedBytes>& head) {
  std::string_view piece;
  if (!log.readLineView(piece, kBodyLineBytes)) return false;
  if (piece.size() == kBodyLineBytes && piece.back() != '\n' &&
      startsDoubleByte(piece, piece.size() - 1)) {
    piece.remove_suffix(1);
    log.seek(log.tell() - 1);
  }
  ended = piece.back() == '\n';
  text = cleanHead(piece.substr(0, kJudgedBytes), head);
  return true;
}

// A row cut just before its line end takes the line end with it.
bool takeLineEnd(LineStream& log) {
  const LogOffset cut = log.tell();
  std::string_view rest;
  if (log.readLineView(rest, 2) && (rest == "\n" || rest == "\r\n")) return true;
  log.seek(cut);
  return false;
}

bool endsMail(std::string_view piece, bool) {
  return isMailEnd(piece);
}
bool endsMessage(std::string_view piece, bool) {
  return isMessageEnd(piece);
}
bool endsEntry(std::string_view piece, bool lineStart) {
  return endsFileBoard(piece) || (lineStart && entryFileNumber(piece) > 0);
}

// Whether a row starting with `first` may end a message ("Message  #",
// "*CH", "00..:"): most rows of a board need not be looked at further.
// Mails are few and entries start with blanks or digits: every row is.
bool mayEndMessage(char first) {
  return first == 'M' || first == '*' || first == '0';
}
bool mayEndAny(char) {
  return true;
}

}  // namespace

HitLocator::HitLocator(const LogIndex& index, LineStream& log, LineStream& boardBlocks,
                       LogOffset size, LogOffset walkAhead)
    : index_(index),
      log_(log),
      boardBlocks_(boardBlocks),
      size_(size),
      messages_(index.messageBoards, BoardKind::Message, walkAhead),
      files_(index.fileBoards, BoardKind::File, walkAhead) {
  walks_.notewallNext = kNotewallUnseen;
}

// The index may grow while the log is searched (always past the places
// asked for so far): what is made of it is made again when it did.
void HitLocator::collectChatBoards() {
  chatBoardsSeen_ = index_.chatBoards.size();
  chatBoards_.clear();
  const int boards =
      std::min(index_.chatBoardCount(), static_cast<int>(index_.chatContentOffset.size()));
  for (int board = 0; board < boards; ++board) {
    if (index_.chatBoards[static_cast<std::size_t>(board)].hasNew) chatBoards_.push_back(board);
  }
  std::sort(chatBoards_.begin(), chatBoards_.end(), [&](int a, int b) {
    return index_.chatContentOffset[static_cast<std::size_t>(a)] <
           index_.chatContentOffset[static_cast<std::size_t>(b)];
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

// The shown part ends after its header lines and kMaxBodyLines body rows,
// at `hardEnd` or before the first row its rule ends it with. It is read
// only as far as the matches in it ask: most matches lie early in a long
// item, and the rest of it is read past by the scan anyway.
bool HitLocator::shows(HitSection section, int board, int item, LogOffset itemOffset,
                       LogOffset matchEnd) {
  ShownPart& part = shown_[static_cast<std::size_t>(section)];
  if (part.board != board || part.item != item) {
    part = ShownPart{board, item, itemOffset, -1, 0, true, false};
  }
  if (part.end < 0 && part.next < matchEnd) readShown(section, part, matchEnd);
  return part.end < 0 || matchEnd <= part.end;
}

void HitLocator::readShown(HitSection section, ShownPart& part, LogOffset to) {
  log_.seek(part.next);
  if (!part.headersRead) {
    const int headers = section == HitSection::FileBoard ? 1 : 3;
    for (int k = 0; k < headers; ++k) {
      const bool read =
          section == HitSection::Mail ? readWholeLine(log_, line_) : log_.readLine(line_);
      if (!read) {
        part.end = log_.tell();
        return;
      }
    }
    part.headersRead = true;
    part.next = log_.tell();
  }
  LogOffset hardEnd = -1;
  StopRule stops = endsMail;
  bool (*mayStop)(char) = mayEndAny;
  if (section == HitSection::MessageBoard) {
    hardEnd = boardEndOffset(index_.messageBoards, part.board);
    stops = endsMessage;
    mayStop = mayEndMessage;
  } else if (section == HitSection::FileBoard) {
    hardEnd = boardEndOffset(index_.fileBoards, part.board);
    stops = endsEntry;
  }
  const auto stopsBefore = [&] {
    return part.rows >= kMaxBodyLines || (hardEnd >= 0 && part.next >= hardEnd);
  };
  std::string_view text;
  bool ended = false;
  while (part.next < to) {
    if (stopsBefore()) {
      part.end = part.next;
      return;
    }
    // A line that fits a row is judged where the buffer holds it, as
    // readWrappedLine would have read it.
    const std::string_view data = log_.buffered(kLineLimit);
    std::size_t at = 0;
    while (part.next < to && !stopsBefore() && data.size() - at > kBodyLineBytes) {
      const char* start = data.data() + at;
      const auto* feed = static_cast<const char*>(std::memchr(start, '\n', kBodyLineBytes));
      if (!feed) break;
      const auto size = static_cast<std::size_t>(feed - start) + 1;
      if (mayStop(*start) &&
          stops(cleanHead({start, std::min(size, kJudgedBytes)}, head_), part.lineStart)) {
        part.end = part.next;
        return;
      }
      part.lineStart = true;
      ++part.rows;
      at += size;
      part.next += static_cast<LogOffset>(size);
    }
    log_.skip(at);
    if (part.next >= to || stopsBefore()) continue;
    // A longer line, or the buffer's last bytes: a row at a time.
    if (!readRow(log_, text, ended, head_) || stops(text, part.lineStart)) {
      part.end = part.next;
      return;
    }
    if (!ended) ended = takeLineEnd(log_);
    part.lineStart = ended;
    ++part.rows;
    part.next = log_.tell();
  }
}

void HitLocator::placeInBoard(HitSection section, const BoardPlace& at, LogOffset end,
                              std::vector<SearchHit>& out) {
  if (at.board < 0 || !shows(section, at.board, at.item, at.itemOffset, end)) return;
  out.push_back({section, at.board, at.item, at.number, at.itemOffset, 0, 0});
}

// The lists are walked a line at a time from where the last place left
// them; the places asked for only move on.
int HitLocator::notewallLineOf(LogOffset at) {
  ListedLine& line = walks_.notewall;
  if (index_.notewallOffset < 0 || at < index_.notewallOffset) return -1;
  if (walks_.notewallNext == kNotewallUnseen) walks_.notewallNext = index_.notewallOffset;
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
  if (index_.chatBoards.size() != chatBoardsSeen_) collectChatBoards();
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
  const auto mail =
      std::upper_bound(index_.mails.begin(), index_.mails.end(), start,
                       [](LogOffset at, const MailEntry& m) { return at < m.headerOffset; });
  if (mail == index_.mails.begin()) return;
  const auto item = static_cast<int>(mail - index_.mails.begin()) - 1;
  const LogOffset itemOffset = std::prev(mail)->headerOffset;
  if (shows(HitSection::Mail, 0, item, itemOffset, end)) {
    out.push_back({HitSection::Mail, 0, item, item + 1, itemOffset, 0, 0});
  }
}

void HitLocator::place(LogOffset start, LogOffset end, std::vector<SearchHit>& out,
                       LogOffset walkLimit) {
  if (!index_.mails.empty()) placeInMail(start, end, out);
  if (!index_.messageBoards.empty()) {
    placeInBoard(HitSection::MessageBoard,
                 messages_.placeOf(boardBlocks_, size_, start, walkLimit), end, out);
  }
  if (!index_.fileBoards.empty()) {
    placeInBoard(HitSection::FileBoard, files_.placeOf(boardBlocks_, size_, start, walkLimit),
                 end, out);
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

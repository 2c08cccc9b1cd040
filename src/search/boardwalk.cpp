#include "search/boardwalk.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "console/textutil.h"
#include "readers/boardlog.h"
#include "readers/fileboard.h"

namespace zazir::search {

namespace {

// A line longer than a piece holds a whole chunk of this size, aligned.
constexpr std::size_t kChunk = 512;
static_assert(2 * kChunk - 1 <= kLineLimit);
// What the tests of a piece look at.
constexpr std::size_t kJudgedBytes = 32;

Anchor lineStartAnchor(BoardKind kind) {
  PairTest test;
  test.first.values[0] = '\n';
  test.first.masks[0] = 0xFF;
  test.first.count = 1;
  if (kind == BoardKind::Message) {
    // "Message  #", "*CH" and the host's "00..:" prompts.
    const std::uint8_t opening[] = {'M', '*', '0'};
    for (const std::uint8_t byte : opening) {
      test.second.masks[test.second.count] = 0xFF;
      test.second.values[test.second.count++] = byte;
    }
  } else {
    // Blanks, TABs, signs and digits of an entry's number, and "*CH": all
    // below 0x40.
    test.second.masks[0] = 0xC0;
    test.second.values[0] = 0;
    test.second.count = 1;
  }
  Anchor anchor;
  anchor.tests.push_back(test);
  return anchor;
}

const char* findFeed(const char* from, std::size_t size) {
  return static_cast<const char*>(std::memchr(from, '\n', size));
}

}  // namespace

BoardWalk::BoardWalk(const std::vector<BoardEntry>& boards, BoardKind kind)
    : boards_(boards), kind_(kind), lineStarts_(lineStartAnchor(kind)) {}

void BoardWalk::enterBoard(int board) {
  board_ = board;
  const std::size_t next = static_cast<std::size_t>(board) + 1;
  boardEnd_ = next < boards_.size() ? boards_[next].listOffset : -1;
  stopped_ = false;
  place_ = BoardPlace{board, -1, 0, -1};
  lineStart_ = boards_[static_cast<std::size_t>(board)].listOffset;
}

void BoardWalk::pass(std::string_view data, LogOffset base, LogOffset to) {
  while (passed_ < to) {
    const std::size_t next = static_cast<std::size_t>(board_ + 1);
    const LogOffset nextStart = next < boards_.size() ? boards_[next].listOffset : -1;
    if (nextStart >= 0 && passed_ >= nextStart) {
      enterBoard(board_ + 1);
      continue;
    }
    const LogOffset end = nextStart >= 0 ? std::min(to, nextStart) : to;
    if (board_ >= 0 && !stopped_) walk(data, base, passed_, end);
    passed_ = end;
  }
}

BoardPlace BoardWalk::place() const {
  if (board_ < 0 || stopped_ || place_.item < 0) return {};
  return place_;
}

void BoardWalk::walk(std::string_view data, LogOffset base, LogOffset from, LogOffset to) {
  // Lines that start in [from, to) follow line feeds in [from - 1, to - 1).
  const LogOffset feedsFrom = std::max(from - 1, base);
  candidates_.clear();
  starts_.clear();
  if (to - 1 > feedsFrom) {
    findCandidates(data.data() + (feedsFrom - base), static_cast<std::size_t>(to - 1 - feedsFrom),
                   lineStarts_, candidates_);
  }
  for (const std::uint32_t at : candidates_) starts_.push_back(feedsFrom + at + 1);
  const std::size_t lineStarts = starts_.size();
  piecesOfLongLines(data, base, from, to, starts_);
  if (starts_.size() != lineStarts) std::sort(starts_.begin(), starts_.end());
  const LogOffset listing = boards_[static_cast<std::size_t>(board_)].listOffset;
  for (const LogOffset start : starts_) {
    if (stopped_) break;
    if (start != listing) judgePiece(data, base, start);
  }
  const char* begin = data.data() + (from - base);
  if (const void* feed = memrchr(begin, '\n', static_cast<std::size_t>(to - from))) {
    lineStart_ = base + (static_cast<const char*>(feed) - data.data()) + 1;
  }
}

// A line longer than kLineLimit is read as several pieces, each of which
// the reader's index judges as a line of its own.
void BoardWalk::piecesOfLongLines(std::string_view data, LogOffset base, LogOffset from,
                                  LogOffset to, std::vector<LogOffset>& starts) {
  const LogOffset dataEnd = base + static_cast<LogOffset>(data.size());
  const auto lineEndFrom = [&](LogOffset at) {
    const char* feed = findFeed(data.data() + (at - base), static_cast<std::size_t>(dataEnd - at));
    return feed ? base + (feed - data.data()) : dataEnd;
  };
  const auto addPieces = [&](LogOffset lineStart, LogOffset lineEnd) {
    for (LogOffset piece = lineStart + static_cast<LogOffset>(kLineLimit);
         piece < lineEnd && piece < to; piece += static_cast<LogOffset>(kLineLimit)) {
      if (piece >= from) starts.push_back(piece);
    }
  };
  // The line going on at `from`, then every line that holds a chunk
  // without a line feed.
  LogOffset lineEnd = lineEndFrom(from);
  addPieces(lineStart_, lineEnd);
  const auto chunk = static_cast<LogOffset>(kChunk);
  for (LogOffset at = (lineEnd + chunk) / chunk * chunk; at + chunk <= std::min(to, dataEnd);
       at += chunk) {
    if (findFeed(data.data() + (at - base), kChunk)) continue;
    const LogOffset low = std::max(base, lineEnd);
    const void* feed = memrchr(data.data() + (low - base), '\n', static_cast<std::size_t>(at - low));
    const LogOffset lineStart = feed ? base + (static_cast<const char*>(feed) - data.data()) + 1 : low + 1;
    lineEnd = lineEndFrom(at);
    addPieces(lineStart, lineEnd);
    at = lineEnd / chunk * chunk;
  }
}

void BoardWalk::judgePiece(std::string_view data, LogOffset base, LogOffset start) {
  const std::string_view rest = data.substr(static_cast<std::size_t>(start - base));
  const std::size_t limit = std::min(rest.size(), kLineLimit);
  const char* feed = findFeed(rest.data(), limit);
  const std::size_t size = feed ? static_cast<std::size_t>(feed - rest.data()) + 1 : limit;
  const LogOffset pieceEnd = start + static_cast<LogOffset>(size);
  std::string head(rest.substr(0, std::min(size, kJudgedBytes)));
  stripLineEnd(head);
  const bool lastLine = boardEnd_ >= 0 && pieceEnd >= boardEnd_;
  int number = 0;
  if (kind_ == BoardKind::Message) {
    if (isStopLine(head)) {
      stopped_ = true;
      return;
    }
    // The board's last line is no message of its own.
    if (lastLine || !isMessageStart(head)) return;
    number = messageNumber(head);
  } else {
    if (startsWith(head, "*CH")) {
      stopped_ = true;
      return;
    }
    number = entryFileNumber(head);
    if (number <= 0 || (lastLine && pieceEnd != boardEnd_)) return;
  }
  ++place_.item;
  place_.itemOffset = start;
  place_.number = number;
}

}  // namespace zazir::search

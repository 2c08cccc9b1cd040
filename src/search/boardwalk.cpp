#include "search/boardwalk.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "formats/boardlog.h"
#include "search/logsearch.h"

namespace zazir::search {

namespace {

// A line longer than a piece holds a whole chunk, however they align.
static_assert(2 * kFeedChunk - 1 <= kLineLimit);

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

std::string_view cleanHead(std::string_view line, std::array<char, kJudgedBytes>& buffer) {
  std::size_t size = 0;
  bool tabSeen = false;
  for (const char byte : line) {
    if (byte == '\r' || byte == '\n') break;
    buffer[size++] = byte == '\t' && !tabSeen ? ' ' : byte;
    tabSeen = tabSeen || byte == '\t';
  }
  return std::string_view(buffer.data(), size);
}

BoardWalk::BoardWalk(const std::vector<BoardEntry>& boards, BoardKind kind, LogOffset ahead)
    : boards_(boards), kind_(kind), ahead_(ahead), lineStarts_(lineStartAnchor(kind)) {}

void BoardWalk::enterBoard(int board) {
  State& s = state_;
  s.board = board;
  const std::size_t next = static_cast<std::size_t>(board) + 1;
  s.boardEnd = next < boards_.size() ? boards_[next].listOffset : -1;
  s.stopped = false;
  s.place = BoardPlace{board, -1, 0, -1};
  s.passed = boards_[static_cast<std::size_t>(board)].listOffset;
  s.lineStart = s.passed;
  passedItems_.clear();
  answered_ = s.place;
  stopAt_ = -1;
}

BoardPlace BoardWalk::placeOf(LineStream& blocks, LogOffset logSize, LogOffset at,
                              LogOffset limit) {
  const auto after = std::upper_bound(boards_.begin(), boards_.end(), at,
                                      [](LogOffset offset, const BoardEntry& board) {
                                        return offset < board.listOffset;
                                      });
  const int board = static_cast<int>(after - boards_.begin()) - 1;
  if (board < 0) return {};
  if (board != state_.board) enterBoard(board);
  // A board the index held last then may have a board after it now.
  if (state_.boardEnd < 0 && static_cast<std::size_t>(board) + 1 < boards_.size()) {
    state_.boardEnd = boards_[static_cast<std::size_t>(board) + 1].listOffset;
  }
  if (ahead_ == 0) {
    // The line that starts at `at` counts too.
    walkTo(blocks, logSize, at + 1);
    if (state_.stopped || state_.place.item < 0) return {};
    return state_.place;
  }
  if (state_.passed <= at) {
    walkTo(blocks, logSize, std::max(at + 1, std::min(at + 1 + ahead_, limit)));
    // A log that ended early ends the board where it did.
    if (state_.stopped && stopAt_ < 0) stopAt_ = state_.passed;
  }
  while (!passedItems_.empty() && passedItems_.front().itemOffset <= at) {
    answered_ = passedItems_.front();
    passedItems_.pop_front();
  }
  if ((stopAt_ >= 0 && at >= stopAt_) || answered_.item < 0) return {};
  return answered_;
}

void BoardWalk::walkTo(LineStream& blocks, LogOffset logSize, LogOffset to) {
  State& s = state_;
  while (!s.stopped && s.passed < to) {
    // The byte before the first line start judged, and what follows the
    // last one.
    const LogOffset base = std::max<LogOffset>(s.passed - 1, 0);
    blocks.seek(base);
    // Only what this step needs: a buffer that holds it is not refilled.
    const auto wanted = static_cast<std::size_t>(to - base) + kBoardWalkLookahead;
    const std::string_view data = blocks.buffered(std::min(wanted, kSearchBlockBytes));
    const LogOffset dataEnd = base + static_cast<LogOffset>(data.size());
    const LogOffset limit =
        std::min(to, dataEnd >= logSize ? dataEnd : dataEnd - static_cast<LogOffset>(kBoardWalkLookahead));
    if (limit <= s.passed) {
      s.stopped = true;  // the log ended early
      return;
    }
    walk(data, base, s.passed, limit);
    s.passed = limit;
  }
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
  // Both runs are in order already.
  std::inplace_merge(starts_.begin(), starts_.begin() + static_cast<std::ptrdiff_t>(lineStarts),
                     starts_.end());
  const LogOffset listing = boards_[static_cast<std::size_t>(state_.board)].listOffset;
  for (const LogOffset start : starts_) {
    if (state_.stopped) break;
    if (start != listing) judgePiece(data, base, start);
  }
  const char* begin = data.data() + (from - base);
  if (const void* feed = memrchr(begin, '\n', static_cast<std::size_t>(to - from))) {
    state_.lineStart = base + (static_cast<const char*>(feed) - data.data()) + 1;
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
  // The line going on at `from`, then every line that holds a whole chunk
  // without a line feed, as each longer line does.
  LogOffset lineEnd = lineEndFrom(from);
  addPieces(state_.lineStart, lineEnd);
  if (lineEnd + 1 >= to) return;
  chunks_.clear();
  const LogOffset origin = lineEnd + 1;
  findFeedlessChunks(data.data() + (origin - base), static_cast<std::size_t>(to - origin), chunks_);
  for (const std::uint32_t chunk : chunks_) {
    const LogOffset at = origin + chunk;
    if (at < lineEnd) continue;  // in the long line handled last
    const LogOffset low = std::max(base, lineEnd);
    const void* feed = memrchr(data.data() + (low - base), '\n', static_cast<std::size_t>(at - low));
    const LogOffset lineStart =
        feed ? base + (static_cast<const char*>(feed) - data.data()) + 1 : low + 1;
    lineEnd = lineEndFrom(at);
    addPieces(lineStart, lineEnd);
  }
}

void BoardWalk::judgePiece(std::string_view data, LogOffset base, LogOffset start) {
  const std::string_view rest = data.substr(static_cast<std::size_t>(start - base));
  const std::size_t limit = std::min(rest.size(), kLineLimit);
  const char* feed = findFeed(rest.data(), limit);
  const std::size_t size = feed ? static_cast<std::size_t>(feed - rest.data()) + 1 : limit;
  const LogOffset pieceEnd = start + static_cast<LogOffset>(size);
  const std::string_view head = cleanHead(rest.substr(0, std::min(size, kJudgedBytes)), head_);
  State& s = state_;
  const bool lastLine = s.boardEnd >= 0 && pieceEnd >= s.boardEnd;
  int number = 0;
  if (kind_ == BoardKind::Message) {
    if (isStopLine(head)) {
      s.stopped = true;
      stopAt_ = start;
      return;
    }
    // The board's last line is no message of its own.
    if (lastLine || !isMessageStart(head)) return;
    number = messageNumber(head);
  } else {
    if (endsFileBoard(head)) {
      s.stopped = true;
      stopAt_ = start;
      return;
    }
    number = entryFileNumber(head);
    if (number <= 0 || (lastLine && pieceEnd != s.boardEnd)) return;
  }
  ++s.place.item;
  s.place.itemOffset = start;
  s.place.number = number;
  if (ahead_ > 0) passedItems_.push_back(s.place);
}

}  // namespace zazir::search

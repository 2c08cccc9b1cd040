// Which message of a message board, or which entry of a file board, a
// place in the log belongs to. The walk reads a board only from its start
// to the last place asked for, a vector of bytes at a time, and goes on
// from there for the next place; boards without hits are never read. The
// messages and entries are those the board's reader indexes: pieces of at
// most kLineLimit bytes, up to the board's stop line.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "formats/logindex.h"
#include "search/anchor.h"

namespace zazir::search {

enum class BoardKind { Message, File };

struct BoardPlace {
  int board = -1;           // -1: outside the boards' readable parts
  int item = -1;            // the message or entry, from 0
  int number = 0;           // its message number or file number
  LogOffset itemOffset = -1;
};

// What the tests of a piece look at: the most any of them needs.
inline constexpr std::size_t kJudgedBytes = 32;

// The start of a line as stripLineEnd leaves it, as far as the tests of
// a piece look, in `buffer`.
std::string_view cleanHead(std::string_view line, std::array<char, kJudgedBytes>& buffer);

// Bytes that must follow the last place passed, so that a line starting
// there can be judged.
inline constexpr std::size_t kBoardWalkLookahead = kLineLimit + 1;

class BoardWalk {
 public:
  // Where the walk stands: all it needs to go on from there.
  struct State {
    int board = -1;
    LogOffset boardEnd = -1;
    bool stopped = true;
    BoardPlace place;         // the item the walk is in, its number read
    LogOffset passed = 0;     // every line start before it was judged
    LogOffset lineStart = 0;  // of the line that holds `passed`, as far as known
  };

  // `ahead`: how far past a place asked for the walk goes on, keeping the
  // items it passes for the places asked for next: a walk for each of many
  // hits cost more than the bytes it read. 0: never past a place; only
  // such a walk is saved and restored.
  BoardWalk(const std::vector<BoardEntry>& boards, BoardKind kind, LogOffset ahead = 0);

  // The message or entry that holds offset `at`, read from `blocks` (the
  // log, of `logSize` bytes, through a large buffer) as far as needed, and
  // ahead no further than `limit`. Each call asks for a place no earlier
  // than the last one.
  BoardPlace placeOf(LineStream& blocks, LogOffset logSize, LogOffset at,
                     LogOffset limit = kNoWalkLimit);

  const State& state() const { return state_; }
  void restore(const State& state) { state_ = state; }

  static constexpr LogOffset kNoWalkLimit = INT64_MAX;

 private:
  void enterBoard(int board);
  void walkTo(LineStream& blocks, LogOffset logSize, LogOffset to);
  void walk(std::string_view data, LogOffset base, LogOffset from, LogOffset to);
  void piecesOfLongLines(std::string_view data, LogOffset base, LogOffset from, LogOffset to,
                         std::vector<LogOffset>& starts);
  void judgePiece(std::string_view data, LogOffset base, LogOffset start);

  const std::vector<BoardEntry>& boards_;
  BoardKind kind_;
  LogOffset ahead_;
  // When walking ahead: the items passed that no place has asked for yet,
  // the item of the last place asked for, and where a stop line was.
  std::deque<BoardPlace> passedItems_;
  BoardPlace answered_;
  LogOffset stopAt_ = -1;
  Anchor lineStarts_;  // a line feed and a byte that may open a line that counts
  State state_;
  std::vector<std::uint32_t> candidates_;
  std::vector<std::uint32_t> chunks_;
  std::vector<LogOffset> starts_;
  std::array<char, kJudgedBytes> head_{};
};

}  // namespace zazir::search

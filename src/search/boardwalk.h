// Which message of a message board, or which entry of a file board, a
// place in the log belongs to, followed as the scan passes over the log,
// so that finding a hit never reads its board again. The messages and
// entries are those the board's reader indexes: pieces of at most
// kLineLimit bytes, up to the board's stop line.
#pragma once

#include <string_view>
#include <vector>

#include "driver/logindex.h"
#include "search/anchor.h"

namespace zazir::search {

enum class BoardKind { Message, File };

struct BoardPlace {
  int board = -1;           // -1: outside the boards' readable parts
  int item = -1;            // the message or entry, from 0
  int number = 0;           // its message number or file number
  LogOffset itemOffset = -1;
};

// Bytes that must follow the last place passed, so that a line starting
// there can be judged.
inline constexpr std::size_t kBoardWalkLookahead = kLineLimit + 1;

class BoardWalk {
 public:
  BoardWalk(const std::vector<BoardEntry>& boards, BoardKind kind);

  // Passes the log up to offset `to`. `data` holds the log from offset
  // `base` on, from the place passed last (and the byte before it) to
  // kBoardWalkLookahead bytes past `to`, or to the log's end.
  void pass(std::string_view data, LogOffset base, LogOffset to);

  // The message or entry that holds the bytes just passed.
  BoardPlace place() const;

 private:
  void enterBoard(int board);
  void walk(std::string_view data, LogOffset base, LogOffset from, LogOffset to);
  void piecesOfLongLines(std::string_view data, LogOffset base, LogOffset from, LogOffset to,
                         std::vector<LogOffset>& starts);
  void judgePiece(std::string_view data, LogOffset base, LogOffset start);

  const std::vector<BoardEntry>& boards_;
  BoardKind kind_;
  Anchor lineStarts_;  // a line feed and a byte that may open a line that counts
  int board_ = -1;
  LogOffset boardEnd_ = -1;
  bool stopped_ = true;
  BoardPlace place_;
  LogOffset passed_ = 0;
  LogOffset lineStart_ = 0;  // of the line that holds `passed_`, as far as known
  std::vector<std::uint32_t> candidates_;
  std::vector<LogOffset> starts_;
};

}  // namespace zazir::search

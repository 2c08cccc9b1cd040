// Where a match lies, told as the readers show the log: the mail, message,
// file entry, Notewall line or chat line that holds it, and only while the
// reader would show the match. Every part is walked as far as the matches
// asked for, so that the places take no memory however long the log.
#pragma once

#include <array>
#include <vector>

#include "formats/chatlog.h"
#include "search/boardwalk.h"
#include "search/hit.h"

namespace zazir::search {

// The line of a list that the walk over it read last.
struct ListedLine {
  int line = -1;  // from 0; -1: none read yet
  LogOffset start = 0;
  LogOffset end = 0;
};

// The Notewall's walk before the index held the Notewall.
inline constexpr LogOffset kNotewallUnseen = -2;

// Where the locator's walks stand: all it needs to go on from there.
struct LocatorState {
  BoardWalk::State messages;
  BoardWalk::State files;
  LogOffset notewallNext = -1;  // where the next Notewall line starts; -1: none
  ListedLine notewall;
  int chatBoard = -1;  // the chat board walked
  ChatLineCursor chat;
  ListedLine chatLine;
};

class HitLocator {
 public:
  // Reads the mails, the Notewall and the chat lines from `log` and a
  // board through `boardBlocks` (the same log, of `size` bytes, through a
  // large buffer) as far as the matches asked for lie. The index may grow
  // meanwhile, as long as it holds every part that starts up to a few
  // kilobytes past each place asked for.
  // `walkAhead`: how far past a match the boards are walked (see
  // BoardWalk); 0 for a locator whose state is saved.
  HitLocator(const LogIndex& index, LineStream& log, LineStream& boardBlocks, LogOffset size,
             LogOffset walkAhead = 0);

  // Appends a hit for each place that shows the match [start, end). Each
  // call asks for a match no earlier than the last one. The boards are
  // walked ahead no further than `walkLimit`.
  void place(LogOffset start, LogOffset end, std::vector<SearchHit>& out,
             LogOffset walkLimit = BoardWalk::kNoWalkLimit);

  LocatorState state() const;
  void restore(const LocatorState& state);

 private:
  struct ShownPart {  // the last item of a section, its shown part read so far
    int board = -1;
    int item = -1;
    LogOffset next = 0;  // the next row's start
    LogOffset end = -1;  // where the shown part ends; -1: not reached yet
    std::size_t rows = 0;
    bool lineStart = true;
    bool headersRead = false;
  };
  // Whether a match that ends at `matchEnd` is within the item's shown part.
  bool shows(HitSection section, int board, int item, LogOffset itemOffset, LogOffset matchEnd);
  void readShown(HitSection section, ShownPart& part, LogOffset to);
  void placeInMail(LogOffset start, LogOffset end, std::vector<SearchHit>& out);
  void placeInBoard(HitSection section, const BoardPlace& at, LogOffset end,
                    std::vector<SearchHit>& out);
  int notewallLineOf(LogOffset at);
  void collectChatBoards();
  int chatLineOf(LogOffset at, int& board);

  const LogIndex& index_;
  LineStream& log_;
  LineStream& boardBlocks_;
  LogOffset size_;
  std::vector<int> chatBoards_;     // the chat boards with new lines, in log order
  std::size_t chatBoardsSeen_ = 0;  // the index's chat boards when they were collected
  BoardWalk messages_;
  BoardWalk files_;
  LocatorState walks_;  // all but the board walks
  // Per section: the mail, the message and the file entry a match lies in
  // are told apart one after another.
  std::array<ShownPart, 3> shown_;
  std::string line_;
  std::array<char, kJudgedBytes> head_{};
};

}  // namespace zazir::search

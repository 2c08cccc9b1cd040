// Where a match lies, told as the readers show the log: the mail, message,
// file entry, Notewall line or chat line that holds it, and only while the
// reader would show the match.
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "search/boardwalk.h"
#include "search/logsearch.h"

namespace zazir::search {

class HitLocator {
 public:
  // Reads the mails', the Notewall's and the chat lines' places from `log`
  // now; a board is read through `boardBlocks` (the same log, of `size`
  // bytes, through a large buffer) when a match lies in it.
  HitLocator(const LogIndex& index, LineStream& log, std::unique_ptr<LineStream> boardBlocks,
             LogOffset size);

  // Appends a hit for each place that shows the match [start, end). Each
  // call asks for a match no earlier than the last one.
  void place(LogOffset start, LogOffset end, std::vector<SearchHit>& out);

 private:
  struct Shown {  // the last item whose shown end was read
    HitSection section = HitSection::Mail;
    int board = -1;
    int item = -1;
    LogOffset end = 0;
  };
  LogOffset shownEnd(HitSection section, const BoardPlace& at);
  void placeInBoard(HitSection section, const BoardPlace& at, LogOffset end,
                    std::vector<SearchHit>& out);

  const LogIndex& index_;
  LineStream& log_;
  std::unique_ptr<LineStream> boardBlocks_;
  LogOffset size_;
  std::vector<LogOffset> mailEnds_;          // where each mail's shown part ends
  std::vector<LogOffset> notewallLines_;     // each Notewall line's start, and the end
  std::vector<std::vector<LogOffset>> chatLines_;  // per chat board, likewise
  BoardWalk messages_;
  BoardWalk files_;
  Shown shown_;
};

}  // namespace zazir::search

// The chat part of the log and the back-log files: below a chat board's
// listing line, a count line tells how many new chat lines follow; a
// back-log file holds the chat lines recorded so far, one to a line.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "formats/logindex.h"

namespace zazir {

// The first place after `from` where the index knows other content to
// begin; -1 when nothing follows.
LogOffset nextIndexedOffset(const LogIndex& index, LogOffset from);

// Takes one chat line (without its line end) and where it starts; false
// stops the walk.
using ChatLineTaker = std::function<bool(LogOffset start, std::string_view line)>;

// Walks the new chat lines of chat board `board` below its listing line: as
// many as the count line two lines down tells (all when it cannot be read),
// up to an empty line, a listing line or the next part the index knows. A
// longer line is cut on a character boundary. Nothing for a board without
// new lines.
void forEachNewChatLine(LineStream& log, const LogIndex& index, int board,
                        const ChatLineTaker& take);

// Where a walk over a board's new chat lines stands, so that it can go on
// later from there.
struct ChatLineCursor {
  LogOffset next = -1;  // where the next line starts; -1: no more lines
  LogOffset end = -1;   // where the board's content ends; -1: at the log's end
  int left = 0;         // lines the count line still allows
};

// The cursor before the first new chat line of chat board `board`.
ChatLineCursor firstNewChatLine(LineStream& log, const LogIndex& index, int board);

// Reads the line at the cursor, without its line end, and moves past it;
// false once the board's new lines have ended.
bool readNewChatLine(LineStream& log, ChatLineCursor& at, LogOffset& start, std::string& line);

// The same lines, each ended by "\n", at most 8 MiB of them.
std::string newChatLines(LineStream& log, const LogIndex& index, int board);

// Whether the back-log already holds `run` (lines ended by "\n") as
// consecutive whole lines: the same log recorded again adds nothing. The
// back-log is read line by line, never loaded.
bool backLogHolds(const std::string& name, std::string_view run);

}  // namespace zazir

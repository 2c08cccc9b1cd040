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

// The same lines, each ended by "\n", at most 8 MiB of them.
std::string newChatLines(LineStream& log, const LogIndex& index, int board);

// Whether the back-log already holds `run` (lines ended by "\n") as
// consecutive whole lines: the same log recorded again adds nothing. The
// back-log is read line by line, never loaded.
bool backLogHolds(const std::string& name, std::string_view run);

}  // namespace zazir

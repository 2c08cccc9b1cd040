// The chat part of the log and the back-log files: below a chat board's
// listing line, a count line tells how many new chat lines follow; a
// back-log file holds the chat lines recorded so far, one to a line.
#pragma once

#include <string>
#include <string_view>

#include "formats/logindex.h"

namespace zazir {

// The first place after `from` where the index knows other content to
// begin; -1 when nothing follows.
LogOffset nextIndexedOffset(const LogIndex& index, LogOffset from);

// The new chat lines below a board's listing line (`contentOffset`), each
// ended by "\n": as many as the count line two lines down tells (all when
// it cannot be read), up to an empty line, a listing line, `end` (-1: the
// log's end) or 8 MiB. A longer line is cut on a character boundary.
std::string newChatLines(LineStream& log, LogOffset contentOffset, LogOffset end);

// Whether the back-log already holds `run` (lines ended by "\n") as
// consecutive whole lines: the same log recorded again adds nothing. The
// back-log is read line by line, never loaded.
bool backLogHolds(const std::string& name, std::string_view run);

}  // namespace zazir

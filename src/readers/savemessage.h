// Saving the message or file entry on screen to a cut file (the "S" key of
// both board readers).
#pragma once

#include "formats/logindex.h"

namespace zazir {

struct App;

// Asks for the file name (CUTFILE_DIR, the board's name and ".TXT"
// proposed) and appends the message or file entry of `board` that runs
// from `start` to `end` (-1: the end of the log), copied from the log with
// its header lines and long lines whole. An empty answer cancels. The
// caller redraws.
void saveToCutFile(App& app, const BoardEntry& board, LogOffset start, LogOffset end);

}  // namespace zazir

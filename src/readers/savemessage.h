// Saving the message or file entry on screen to a cut file (the "S" key of
// both board readers).
#pragma once

#include <vector>

#include "formats/logindex.h"

namespace zazir {

struct App;

// Asks for the file name (CUTFILE_DIR, the board's name and ".TXT"
// proposed) and appends the piece `current` of `offsets`, of board `board`
// of `boards`, copied from the log with its header lines and long lines
// whole. An empty answer leaves the prompt on screen; after a save the
// screen is blank. The caller does not redraw.
void saveToCutFile(App& app, const std::vector<BoardEntry>& boards, int board,
                   const std::vector<LogOffset>& offsets, int current);

}  // namespace zazir

// The file board reader: the file entries of one file board, one per
// screen, straight out of the log, with the download marks and the upload.
#pragma once

namespace zazir {

struct App;

// Runs the reader on file board `board` until the user leaves. A board
// without entries is told with message box 1. Download marks go to the
// run's download list, which outlives the reader.
void readFileBoard(App& app, int board);

}  // namespace zazir

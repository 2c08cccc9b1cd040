// The file board reader: the file entries of one file board, one per
// screen, straight out of the log, with the download marks and the upload.
#pragma once

#include <optional>

#include "readers/place.h"
#include "console/keymap.h"

namespace zazir {

struct App;

// Runs the reader on file board `board` until the user leaves, opening as
// asked (by default on the first entry). A board without entries is told
// with message box 1. Download marks go to the run's download list, which
// outlives the reader. Gives the place Tab left for, when it left for
// another board or the mail.
std::optional<ReaderPlace> readFileBoard(App& app, int board, const ReaderOpening& opening = {});

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows fileBoardKeyRows();

}  // namespace zazir

// The file board reader: the file entries of one file board, one per
// screen, straight out of the log, with the download marks and the upload.
#pragma once

#include <optional>
#include <vector>

#include "console/keymap.h"
#include "formats/hostcommands.h"
#include "readers/place.h"

namespace zazir {

struct App;
struct LastSearch;

// The files marked for download, in marking order: kept for the run,
// whatever reader marked them, and offered at the quit.
using DownloadMarks = std::vector<DownloadMark>;

// Runs the reader on file board `board` until the user leaves, opening as
// asked (by default on the first entry). A board without entries is told
// with message box 1. D marks a file in `downloads`, which outlives the
// reader. Gives the place Tab left for, when it left for
// another board or the mail.
std::optional<ReaderPlace> readFileBoard(App& app, LastSearch& last, DownloadMarks& downloads,
                                         int board, const ReaderOpening& opening = {});

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows fileBoardKeyRows();

}  // namespace zazir

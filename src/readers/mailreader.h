// The mail reader: the private mail of the log, one mail per screen, from
// which mail is answered, sent, saved, and its sender added to the ID file.
#pragma once

#include <optional>

#include "readers/place.h"
#include "console/keymap.h"

namespace zazir {

struct App;
struct LastSearch;

// Opens as asked (by default on the first mail with its first line at the
// top); returns when the user leaves (the caller redraws). Does nothing for
// a log without mail. Gives the place Tab left for, when it left for a
// board.
std::optional<ReaderPlace> readMail(App& app, LastSearch& last, const ReaderOpening& opening = {});

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows mailReaderKeyRows();

}  // namespace zazir

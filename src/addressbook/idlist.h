// The ID list: a grid over the ID file from which IDs are marked as the
// recipients of a mail, or registered together as a group.
#pragma once

#include <string>
#include "console/keymap.h"

namespace zazir {

struct App;

// The marked IDs in marking order joined by ";" (all of them, up to 32);
// empty when the user cancelled, marked nothing, or the ID file cannot be
// read. A group whose group file cannot be opened ends the program.
std::string chooseIds(App& app);

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows idListKeyRows();

}  // namespace zazir

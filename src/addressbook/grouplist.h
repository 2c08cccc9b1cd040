// The group list: the groups of the group file, one per row, from which the
// members of one group are taken as the recipients of a mail.
#pragma once

#include <string>
#include "console/keymap.h"

namespace zazir {

struct App;

// The member line of the chosen group; empty when the user cancelled, the
// list has no groups, or the group file cannot be read.
std::string chooseGroup(App& app);

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows groupListKeyRows();

}  // namespace zazir

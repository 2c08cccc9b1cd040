// The recipient list of a new mail: IDs typed, marked in the ID list or
// taken from a group, gathered into one recipient string.
#pragma once

#include <cstddef>
#include <string>
#include "console/keymap.h"

namespace zazir {

struct App;

// At most this many recipients go into one mail.
inline constexpr std::size_t kMaxRecipients = 32;

// The recipients joined by ";" (all of them, up to 32 IDs); empty when the
// user cancelled or finished with none. Always starts with an empty list.
std::string enterRecipients(App& app);

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows recipientKeyRows();

}  // namespace zazir

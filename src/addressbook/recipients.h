// The recipient list of a new mail: IDs typed, marked in the ID list or
// taken from a group, gathered into one recipient string.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "console/keymap.h"

namespace zazir {

struct App;

// At most this many recipients go into one mail.
inline constexpr std::size_t kMaxRecipients = 32;

// The recipients in the order given (up to 32 IDs, each one the host
// takes as one ID); none when the user cancelled or finished with none.
// Always starts with an empty list.
std::vector<std::string> enterRecipients(App& app);

// The recipients as the host and the user read them: joined by ";".
std::string joinedRecipients(const std::vector<std::string>& ids);

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows recipientKeyRows();

}  // namespace zazir

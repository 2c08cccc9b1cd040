// Reading the file an address book list shows (the ID file, the group
// file), telling on screen when it cannot be read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "console/screen.h"

namespace zazir {

class Console;

// The bytes of the file a list shows; when it cannot be read, `notice` in
// `attribute` from row 22 until a key, and nothing.
std::optional<std::string> readListFile(Console& console, const std::string& path,
                                        Attribute attribute, std::string_view notice);

}  // namespace zazir

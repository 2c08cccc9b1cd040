// File name patterns as the program's home platform matched them.
#pragma once

#include <string_view>

namespace zazir {

// True when the CP932 file name matches the pattern: "*" stands for any
// run of characters, "?" for one character (a double-byte character is
// one), letters match whatever their case. A pattern ending in ".*" also
// matches the names without that part ("*.*" matches every name, "LOG.*"
// matches "LOG"), and one ending in "." matches names without a dot.
bool matchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace zazir

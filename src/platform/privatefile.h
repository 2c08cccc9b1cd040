// The program's private files (the text being composed, the read marks),
// read back only when they are the user's own regular files. They are
// created and replaced through the door (platform/filedoor.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/filedoor.h"

namespace zazir {

// The file's bytes when it is a regular file of this user's and not a link;
// none otherwise.
std::optional<std::string> readPrivateFile(const std::string& path);

// The size of `path` when it is a regular file of this user's and not a
// link; none otherwise.
std::optional<std::uintmax_t> ownFileSize(const std::string& path);

// What stands at `path`: a regular file of this user's, nothing, a symbolic
// link, or anything else (a device, a directory, another user's file).
enum class PrivateFileState { Own, Missing, Link, Other };
PrivateFileState privateFileState(const std::string& path);

}  // namespace zazir

// The program's private files (the text being composed, the read marks),
// read back only when they are the user's own regular files. They are
// created and replaced through the door (platform/filedoor.h).
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/filedoor.h"

namespace zazir {

// The file's bytes when it is a regular file of this user's and not a link;
// none otherwise. A file larger than `limit` is not read: none.
std::optional<std::string> readPrivateFile(const std::string& path,
                                           std::uintmax_t limit = UINTMAX_MAX);

// The size of `path` when it is a regular file of this user's and not a
// link; none otherwise.
std::optional<std::uintmax_t> ownFileSize(const std::string& path);

// What stands at `path`: a regular file of this user's, nothing, a symbolic
// link, or anything else (a device, a directory, another user's file).
enum class PrivateFileState { Own, Missing, Link, Other };
PrivateFileState privateFileState(const std::string& path);

// When `path`, a regular file of this user's and not a link, was last
// written; none otherwise.
std::optional<std::time_t> ownFileModified(const std::string& path);
// Sets that time to now, so that a file read but not written counts as
// used. False when it cannot.
bool touchOwnFile(const std::string& path);

}  // namespace zazir

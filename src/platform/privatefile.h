// The program's private files (the text being composed): created new and
// exclusively, never through a link, readable by the user alone. A file
// already there under the wanted name is never written, truncated or
// deleted: a fresh name beside it is used instead.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace zazir {

// Creates `preferred` (CP932) with mode 0600 and writes `bytes`; when a
// file of that name exists, creates one of a fresh unique name beside it
// ("NAME-XXXXXX.EXT") instead. Returns the name used; none when no file
// could be made and written (nothing is then left behind).
std::optional<std::string> createPrivateFile(const std::string& preferred, std::string_view bytes);

// Puts `bytes` in place of the file `path` in one step: they are written in
// full to a new private file beside it first, so that a failure leaves the
// old file whole.
bool replacePrivateFile(const std::string& path, std::string_view bytes);

// The file's bytes when it is a regular file of this user's and not a link;
// none otherwise. A file larger than `limit` is not read: none.
std::optional<std::string> readPrivateFile(const std::string& path,
                                           std::uintmax_t limit = UINTMAX_MAX);

// The size of `path` when it is a regular file of this user's and not a
// link; none otherwise.
std::optional<std::uintmax_t> ownFileSize(const std::string& path);

// When `path`, a regular file of this user's and not a link, was last
// written; none otherwise.
std::optional<std::time_t> ownFileModified(const std::string& path);
// Sets that time to now, so that a file read but not written counts as
// used. False when it cannot.
bool touchOwnFile(const std::string& path);

}  // namespace zazir

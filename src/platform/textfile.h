// Text files as the program's home platform wrote them: every "\n" written
// becomes CR LF, a read turns CR LF into "\n" and ends at a 0x1A byte.
// Paths are CP932 and converted for the operating system here. Every write
// goes through the door (platform/filedoor.h).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/filedoor.h"

namespace zazir {

// "\n" to CR LF.
std::string toTextMode(std::string_view text);
// CR LF to "\n", ending at the first 0x1A.
std::string fromTextMode(std::string_view bytes);

bool fileExists(const std::string& path);
// True when `path` leads to a regular file, whether it can be read or not.
bool isRegularFile(const std::string& path);

// The file's bytes as they are on disk, at most `limit` of them; none when
// it cannot be read or is not a regular file.
std::optional<std::string> readBinaryFile(const std::string& path,
                                          std::size_t limit = std::string::npos);
// True when `path` names a regular file that can be opened for reading.
bool isReadableFile(const std::string& path);
// What keeps the file at `path` from being opened for reading, or for
// appending to it as it stands: "FILE: reason", with FILE as the system
// names it and the reason in its words ("No such file or directory").
enum class OpenFor { Reading, Appending };
std::string openProblem(const std::string& path, OpenFor purpose = OpenFor::Reading);
// The same for a path as the system names it.
std::string osOpenProblem(const std::string& name, OpenFor purpose = OpenFor::Reading);

// The file read in text mode.
std::optional<std::string> readTextFile(const std::string& path);

}  // namespace zazir

// Directory listing for the log chooser.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zazir {

struct DirectoryEntry {
  std::string name;  // as the operating system gives it
  bool isDirectory = false;
};

// The entries of a directory ("." and ".." left out), in the order the
// system delivers them; none when the directory cannot be read. `osDir`
// empty means the current directory.
std::optional<std::vector<DirectoryEntry>> listDirectory(const std::string& osDir);

}  // namespace zazir

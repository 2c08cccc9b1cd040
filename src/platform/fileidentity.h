// Which file a name or an open descriptor stands for: device and inode, so
// that a link or another spelling of a path is recognised as the same file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zazir {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The file `path` (CP932) names, links followed; none when nothing is there.
std::optional<FileIdentity> identityOfPath(const std::string& path);
// The file an open descriptor stands for.
std::optional<FileIdentity> identityOfDescriptor(int fd);

}  // namespace zazir

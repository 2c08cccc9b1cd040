// Directory listing for the log chooser, and a lock on a directory.
#pragma once

#include <chrono>
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

// Makes every missing directory of `osPath`, readable by the user alone;
// true when it then stands as a directory.
bool makePrivateDirectories(const std::string& osPath);

// An exclusive lock (flock) on a directory, held while it lives, so that
// runs that rewrite files inside it take turns.
class DirectoryLock {
 public:
  explicit DirectoryLock(int fd) : fd_(fd) {}
  DirectoryLock(DirectoryLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;
  DirectoryLock& operator=(DirectoryLock&&) = delete;
  ~DirectoryLock();

 private:
  int fd_;
};

// Locks `osDir`, waiting at most `wait` for another holder to let go; none
// when it cannot be opened or stays locked.
std::optional<DirectoryLock> lockDirectory(const std::string& osDir,
                                           std::chrono::milliseconds wait);

}  // namespace zazir

#include "platform/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

namespace zazir {

std::optional<std::vector<DirectoryEntry>> listDirectory(const std::string& osDir) {
  const std::string dir = osDir.empty() ? "." : osDir;
  std::unique_ptr<DIR, int (*)(DIR*)> handle(opendir(dir.c_str()), closedir);
  if (!handle) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  while (const dirent* entry = readdir(handle.get())) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    DirectoryEntry item{entry->d_name, false};
    std::string full = dir;
    if (full.back() != '/') full += '/';
    full += entry->d_name;
    struct stat info {};
    if (::stat(full.c_str(), &info) == 0) item.isDirectory = S_ISDIR(info.st_mode);
    entries.push_back(std::move(item));
  }
  return entries;
}

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool makePrivateDirectories(const std::string& osPath) {
  for (std::size_t slash = osPath.find('/', 1); slash != std::string::npos;
       slash = osPath.find('/', slash + 1)) {
    const std::string part = osPath.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return ::stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<DirectoryLock> lockDirectory(const std::string& osDir,
                                           std::chrono::milliseconds wait) {
  const int fd = ::open(osDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  DirectoryLock lock(fd);
  // A holder stopped for good must not hang this run: ask again and again
  // until the wait is over.
  const auto until = std::chrono::steady_clock::now() + wait;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return std::nullopt;
    if (std::chrono::steady_clock::now() >= until) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return lock;
}

}  // namespace zazir

#include "platform/privatefile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/descriptor.h"
#include "platform/encoding.h"

namespace zazir {
namespace {

bool isOwnRegularFile(const struct stat& info) {
  return S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
}

}  // namespace

std::optional<std::string> readPrivateFile(const std::string& path, std::uintmax_t limit) {
  const int fd = ::open(osName(path).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  FILE* file = fdopen(fd, "rb");
  if (!file) {
    ::close(fd);
    return std::nullopt;
  }
  struct stat info {};
  std::optional<std::string> data;
  if (::fstat(fd, &info) == 0 && isOwnRegularFile(info) &&
      static_cast<std::uintmax_t>(info.st_size) <= limit) {
    data.emplace();
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      data->append(buffer, got);
      // A file that grew while being read is as large as the limit refuses.
      if (data->size() > limit) break;
    }
    if (std::ferror(file) || data->size() > limit) data.reset();
  }
  std::fclose(file);
  return data;
}

PrivateFileState privateFileState(const std::string& path) {
  struct stat info {};
  if (::lstat(osName(path).c_str(), &info) != 0) return PrivateFileState::Missing;
  if (S_ISLNK(info.st_mode)) return PrivateFileState::Link;
  return isOwnRegularFile(info) ? PrivateFileState::Own : PrivateFileState::Other;
}

std::optional<std::uintmax_t> ownFileSize(const std::string& path) {
  struct stat info {};
  if (::lstat(osName(path).c_str(), &info) != 0 || !isOwnRegularFile(info)) return std::nullopt;
  return static_cast<std::uintmax_t>(info.st_size);
}

std::optional<std::time_t> ownFileModified(const std::string& path) {
  struct stat info {};
  if (::lstat(osName(path).c_str(), &info) != 0 || !isOwnRegularFile(info)) return std::nullopt;
  return info.st_mtime;
}

bool touchOwnFile(const std::string& path) {
  return ::utimensat(AT_FDCWD, osName(path).c_str(), nullptr, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace zazir

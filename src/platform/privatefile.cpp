#include "platform/privatefile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/encoding.h"

namespace zazir {
namespace {

// A name holding a NUL byte would reach the system cut short, naming
// another file: it names none instead.
std::string osName(const std::string& path) {
  return path.find('\0') == std::string::npos ? toOsName(path) : std::string();
}

// Creates a file of a fresh name beside `near`: its name with "-XXXXXX"
// before the extension. `name` receives the name (CP932).
int createUnique(const std::string& near, std::string& name) {
  if (near.find('\0') != std::string::npos) return -1;
  const std::size_t slash = near.rfind('/');
  std::size_t dot = near.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = near.size();
  const std::string stem = toOsName(near.substr(0, dot));
  const std::string extension = toOsName(near.substr(dot));
  const std::string pattern = stem + "-XXXXXX" + extension;
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkostemps(buffer.data(), static_cast<int>(extension.size()), O_CLOEXEC);
  if (fd >= 0) {
    name = near.substr(0, dot) + "-" + std::string(buffer.data() + stem.size() + 1, 6) +
           near.substr(dot);
  }
  return fd;
}

// Writes `bytes` to the new file `fd` named `name`; a file that cannot take
// them is removed again.
bool fill(int fd, const std::string& name, std::string_view bytes) {
  FILE* file = fdopen(fd, "wb");
  if (!file) {
    ::close(fd);
  } else {
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) == 0 && wrote) return true;
  }
  ::unlink(osName(name).c_str());
  return false;
}

bool isOwnRegularFile(const struct stat& info) {
  return S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
}

}  // namespace

std::optional<std::string> createPrivateFile(const std::string& preferred, std::string_view bytes) {
  std::string name = preferred;
  int fd = ::open(osName(preferred).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0600);
  if (fd < 0 && errno == EEXIST) fd = createUnique(preferred, name);
  if (fd < 0 || !fill(fd, name, bytes)) return std::nullopt;
  return name;
}

bool replacePrivateFile(const std::string& path, std::string_view bytes) {
  std::string name;
  const int fd = createUnique(path, name);
  if (fd < 0 || !fill(fd, name, bytes)) return false;
  if (std::rename(osName(name).c_str(), osName(path).c_str()) == 0) return true;
  ::unlink(osName(name).c_str());
  return false;
}

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

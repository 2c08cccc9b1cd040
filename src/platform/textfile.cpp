#include "platform/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/descriptor.h"
#include "platform/encoding.h"

namespace zazir {
namespace {

}  // namespace

std::string toTextMode(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string fromTextMode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    const char c = bytes[at];
    if (c == '\x1a') break;
    if (c == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') continue;
    out += c;
  }
  return out;
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(osName(path).c_str(), &info) == 0;
}

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(osName(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> readBinaryFile(const std::string& path, std::size_t limit) {
  Descriptor fd(::open(osName(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.ok()) return std::nullopt;
  // Only a regular file is read: a device such as /dev/zero never ends.
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string data;
  char buffer[65536];
  while (data.size() < limit) {
    const ssize_t got = ::read(fd.get(), buffer, std::min(sizeof buffer, limit - data.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  return data;
}

bool isReadableFile(const std::string& path) {
  return readBinaryFile(path, 0).has_value();
}

std::string openProblem(const std::string& path, OpenFor purpose) {
  return osOpenProblem(osName(path), purpose);
}

std::string osOpenProblem(const std::string& name, OpenFor purpose) {
  // Asked again of the system: whoever failed to open it has let errno go.
  const int access = purpose == OpenFor::Appending ? O_WRONLY | O_APPEND : O_RDONLY;
  Descriptor fd(::open(name.c_str(), access | O_CLOEXEC | O_NONBLOCK));
  std::string reason;
  struct stat info {};
  if (!fd.ok()) {
    reason = std::strerror(errno);
  } else if (fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode)) {
    reason = std::strerror(EISDIR);
  } else if (!S_ISREG(info.st_mode)) {
    reason = "not a regular file";
  } else {
    reason = "could not be read or written";
  }
  return name + ": " + reason;
}

std::optional<std::string> readTextFile(const std::string& path) {
  auto bytes = readBinaryFile(path);
  if (!bytes) return std::nullopt;
  return fromTextMode(*bytes);
}

}  // namespace zazir

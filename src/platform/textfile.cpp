#include "platform/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/encoding.h"

namespace zazir {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The name handed to the operating system. A path that holds a NUL byte
// (a name taken from the log may) would reach it cut short and name another
// file: it becomes the empty name, which names none.
std::string osName(const std::string& path) {
  return path.find('\0') == std::string::npos ? toOsName(path) : std::string();
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

// Writes `bytes` at offset `end`, the file's end. A disk that fills up
// must not leave half a command or half a line behind: a write that fails
// cuts the file back to `end`.
bool appendAt(int fd, off_t end, std::string_view bytes) {
  if (::lseek(fd, end, SEEK_SET) >= 0 && writeAll(fd, bytes)) return true;
  [[maybe_unused]] int ignored = ::ftruncate(fd, end);
  return false;
}

// Every open is non-blocking: a FIFO named where a file was meant must not
// hold the program (without a reader, opening it for writing fails).
// Regular files ignore the flag.
bool writeFile(const std::string& path, std::string_view text, int flags, mode_t mode = 0644) {
  Fd fd(::open(osName(path).c_str(), flags | O_WRONLY | O_CLOEXEC | O_NONBLOCK, mode));
  if (!fd.ok()) return false;
  const bool wrote = writeAll(fd.get(), toTextMode(text));
  return fd.close() && wrote;
}

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

bool removeFile(const std::string& path) {
  return ::unlink(osName(path).c_str()) == 0;
}

std::optional<std::string> readBinaryFile(const std::string& path, std::size_t limit) {
  Fd fd(::open(osName(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
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

std::optional<std::string> readTextFile(const std::string& path) {
  auto bytes = readBinaryFile(path);
  if (!bytes) return std::nullopt;
  return fromTextMode(*bytes);
}

bool writeTextFile(const std::string& path, std::string_view text) {
  return writeFile(path, text, O_CREAT | O_TRUNC);
}

bool appendTextFile(const std::string& path, std::string_view text) {
  Fd fd(::open(osName(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644));
  if (!fd.ok()) return false;
  const off_t size = ::lseek(fd.get(), 0, SEEK_END);
  return size >= 0 && appendAt(fd.get(), size, toTextMode(text)) && fd.close();
}

bool appendOnOwnLine(const std::string& path, std::string_view text, AppendMode mode) {
  return appendOnOwnLineOutcome(path, text, mode) == AppendOutcome::Written;
}

AppendOutcome appendOnOwnLineOutcome(const std::string& path, std::string_view text,
                                     AppendMode mode) {
  const int create = mode == AppendMode::CreateIfMissing ? O_CREAT : 0;
  const int noFollow = mode == AppendMode::PrivateFile ? O_NOFOLLOW : 0;
  Fd fd(::open(osName(path).c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | create | noFollow, 0644));
  if (!fd.ok()) return AppendOutcome::NotOpened;
  const off_t size = ::lseek(fd.get(), 0, SEEK_END);
  if (size < 0) return AppendOutcome::NotWritten;
  char last = '\n';
  if (size > 0 && ::pread(fd.get(), &last, 1, size - 1) != 1) return AppendOutcome::NotWritten;
  const bool endMark = last == '\x1a';
  const off_t end = endMark ? size - 1 : size;
  if (endMark) {
    // The byte before the end mark decides whether a line end is missing.
    if (end == 0 || ::pread(fd.get(), &last, 1, end - 1) != 1) last = '\n';
    if (::ftruncate(fd.get(), end) != 0) return AppendOutcome::NotWritten;
  }
  const std::string bytes = (last == '\n' ? "" : "\r\n") + toTextMode(text);
  if (!appendAt(fd.get(), end, bytes)) {
    // The end mark comes back with the old text.
    if (endMark) {
      [[maybe_unused]] ssize_t restored = ::pwrite(fd.get(), "\x1a", 1, end);
    }
    return AppendOutcome::NotWritten;
  }
  return fd.close() ? AppendOutcome::Written : AppendOutcome::NotWritten;
}

bool writePrivateTextFile(const std::string& path, std::string_view text) {
  return writeFile(path, text, O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
}

}  // namespace zazir

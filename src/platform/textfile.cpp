#include "platform/textfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

// One append in progress on a descriptor opened with O_APPEND. The lock is
// held until the descriptor is closed; the pieces go out through a buffer
// of fixed size.
class Appender {
 public:
  Appender(int fd, AppendRule rule) : fd_(fd), rule_(rule) { buffer_.reserve(kFlushAt + 2); }

  // Waits for the lock and notes the old end. A file system without locks
  // is still written; a pipe, which has no end to go back to, is not.
  bool begin() {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
    end_ = ::lseek(fd_, 0, SEEK_END);
    return end_ >= 0;
  }

  bool put(std::string_view piece) {
    if (failed_) return false;
    if (piece.empty()) return true;
    if (!started_ && !start()) return fail();
    while (!piece.empty()) {
      const std::size_t lineEnd = piece.find('\n');
      const std::size_t take = std::min({lineEnd, piece.size(), kFlushAt});
      buffer_ += piece.substr(0, take);
      piece.remove_prefix(take);
      if (take == lineEnd) {
        buffer_ += "\r\n";
        piece.remove_prefix(1);
      }
      if (buffer_.size() >= kFlushAt && !flush()) return fail();
    }
    return true;
  }

  // Writes what is buffered; false (and the file as it was) when any of
  // the text could not be written.
  bool finish() {
    if (!failed_ && flush()) return true;
    fail();
    return false;
  }

 private:
  static constexpr std::size_t kFlushAt = 64 * 1024;

  // The append rule, applied once there is text to add: the end mark goes
  // and a missing line end comes.
  bool start() {
    started_ = true;
    if (rule_ != AppendRule::OwnLine || end_ == 0) return true;
    char last = 0;
    if (::pread(fd_, &last, 1, end_ - 1) != 1) return false;
    if (last == '\x1a') {
      // The byte before the end mark decides whether a line end is missing.
      if (end_ == 1 || ::pread(fd_, &last, 1, end_ - 2) != 1) last = '\n';
      if (::ftruncate(fd_, end_ - 1) != 0) return false;
      --end_;
      endMarkRemoved_ = true;
    }
    if (last != '\n') buffer_ = "\r\n";
    return true;
  }

  bool flush() {
    const bool wrote = writeAll(fd_, buffer_);
    buffer_.clear();
    return wrote;
  }

  // A disk that fills up must not leave half a command or half a line
  // behind: the file is cut back to its old end, the end mark with it.
  bool fail() {
    if (!failed_ && started_) {
      [[maybe_unused]] int cut = ::ftruncate(fd_, end_);
      if (endMarkRemoved_) writeAll(fd_, "\x1a");
    }
    failed_ = true;
    return false;
  }

  int fd_;
  AppendRule rule_;
  off_t end_ = 0;
  bool started_ = false;
  bool endMarkRemoved_ = false;
  bool failed_ = false;
  std::string buffer_;
};

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

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(osName(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
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

std::string openProblem(const std::string& path, OpenFor purpose) {
  return osOpenProblem(osName(path), purpose);
}

std::string osOpenProblem(const std::string& name, OpenFor purpose) {
  // Asked again of the system: whoever failed to open it has let errno go.
  const int access = purpose == OpenFor::Appending ? O_WRONLY | O_APPEND : O_RDONLY;
  Fd fd(::open(name.c_str(), access | O_CLOEXEC | O_NONBLOCK));
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

bool writeTextFile(const std::string& path, std::string_view text) {
  return writeFile(path, text, O_CREAT | O_TRUNC);
}

AppendOutcome appendText(const AppendTarget& target, std::string_view text) {
  return appendText(target, [text](const TextSink& put) { put(text); });
}

bool appendOnOwnLine(const std::string& path, std::string_view text,
                     const std::optional<FileIdentity>& theLog, AppendMode mode) {
  return appendText({path, AppendRule::OwnLine, mode, theLog}, text) == AppendOutcome::Written;
}

AppendOutcome appendText(const AppendTarget& target, const TextProducer& produce) {
  const int create = target.mode == AppendMode::CreateIfMissing ? O_CREAT : 0;
  // The append rule reads the old text's last bytes.
  const int access = target.rule == AppendRule::OwnLine ? O_RDWR : O_WRONLY;
  Fd fd(::open(osName(target.path).c_str(),
               access | O_APPEND | O_CLOEXEC | O_NONBLOCK | create, 0644));
  if (!fd.ok()) return AppendOutcome::NotOpened;
  // Checked on the file opened, so that no other file can take its place
  // between the check and the write.
  if (target.theLog && identityOfDescriptor(fd.get()) == target.theLog) {
    return AppendOutcome::IsTheLog;
  }
  Appender appender(fd.get(), target.rule);
  if (!appender.begin()) return AppendOutcome::NotWritten;
  produce([&appender](std::string_view piece) { return appender.put(piece); });
  if (!appender.finish()) return AppendOutcome::NotWritten;
  return fd.close() ? AppendOutcome::Written : AppendOutcome::NotWritten;
}

}  // namespace zazir

#include "platform/appendedfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/encoding.h"
#include "platform/fileidentity.h"

namespace zazir {
namespace {

// A descriptor closed on every way out; closing it ends the lock.
class Locked {
 public:
  Locked(int fd, int lock) : fd_(fd) {
    while (fd_ >= 0 && ::flock(fd_, lock) != 0 && errno == EINTR) {
    }
  }
  ~Locked() {
    if (fd_ >= 0) ::close(fd_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  int get() const { return fd_; }

 private:
  int fd_ = -1;
};

// Opened for reading only: a regular file, links followed (the file is
// compared with the one written back by its identity).
int openToRead(const std::string& path) {
  // A name holding a NUL byte would reach the system cut short.
  if (path.find('\0') != std::string::npos) return -1;
  int fd = ::open(toOsName(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    ::close(fd);
    fd = -1;
    errno = EINVAL;
  }
  return fd;
}

std::optional<std::string> readAll(int fd, std::size_t limit) {
  std::string bytes;
  char buffer[65536];
  while (bytes.size() <= limit) {
    const std::size_t want = std::min(sizeof buffer, limit + 1 - bytes.size());
    const ssize_t got = ::pread(fd, buffer, want, static_cast<off_t>(bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

bool writeAt(int fd, std::string_view bytes) {
  off_t at = 0;
  while (!bytes.empty()) {
    const ssize_t wrote = ::pwrite(fd, bytes.data(), bytes.size(), at);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
    at += wrote;
  }
  return true;
}

}  // namespace

std::optional<AppendedFile> readAppendedFile(const std::string& path, std::size_t limit) {
  const Locked file(openToRead(path), LOCK_SH);
  if (file.get() < 0) {
    if (errno == ENOENT) return AppendedFile{};
    return std::nullopt;
  }
  std::optional<std::string> bytes = readAll(file.get(), limit);
  if (!bytes) return std::nullopt;
  return AppendedFile{std::move(*bytes), identityOfDescriptor(file.get())};
}

RewriteOutcome rewriteAppendedFile(const AppendTarget& target,
                                   const std::optional<FileIdentity>& read, std::size_t limit,
                                   const Rewrite& rewrite) {
  const int create = target.mode == AppendMode::CreateIfMissing ? O_CREAT : 0;
  // Not O_APPEND: the new bytes go from the start. Opened through the door:
  // never a log, a link put in the file's place or anything but a file.
  AppendOutcome refused = AppendOutcome::NotOpened;
  const Locked file(
      openThroughDoor(target.path, target.guard, O_RDWR | create, target.created, refused),
      LOCK_EX);
  const int fd = file.get();
  if (fd < 0) {
    switch (refused) {
      case AppendOutcome::IsTheLog:
        return RewriteOutcome::IsTheLog;
      case AppendOutcome::IsALog:
        return RewriteOutcome::IsALog;
      case AppendOutcome::IsALink:
      case AppendOutcome::NotAFile:
      case AppendOutcome::NotYours:
      case AppendOutcome::CommandsOnly:
        return RewriteOutcome::Elsewhere;
      default:
        return RewriteOutcome::NotOpened;
    }
  }
  const std::optional<FileIdentity> identity = identityOfDescriptor(fd);
  if (read && identity != read) return RewriteOutcome::Elsewhere;
  const std::optional<std::string> now = readAll(fd, limit);
  if (!now) return RewriteOutcome::NotWritten;
  if (now->size() > limit) return RewriteOutcome::Declined;
  const std::optional<std::string> next = rewrite(*now);
  if (!next) return RewriteOutcome::Declined;
  const auto oldSize = static_cast<off_t>(now->size());
  const auto newSize = static_cast<off_t>(next->size());
  if (newSize > oldSize && ::posix_fallocate(fd, oldSize, newSize - oldSize) != 0) {
    return RewriteOutcome::NotWritten;
  }
  if (!writeAt(fd, *next) || ::ftruncate(fd, newSize) != 0) {
    // Put back what was there, in the space it had.
    writeAt(fd, *now);
    [[maybe_unused]] const int cut = ::ftruncate(fd, oldSize);
    return RewriteOutcome::NotWritten;
  }
  return RewriteOutcome::Written;
}

}  // namespace zazir

#include "platform/filedoor.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include "platform/descriptor.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace zazir {
namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

FileIdentity identityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// The name the door opens for `path`, as the system names it.
std::string openedName(const std::string& path, const FileGuard& guard, Links links) {
  if (guard.settled) {
    if (const auto settled = guard.settled->find(path); settled != guard.settled->end()) {
      return settled->second;
    }
  }
  if (links == Links::FollowOwn) {
    if (std::optional<std::string> target = ownLinkTarget(path)) return *target;
  }
  return osName(path);
}

// Every open is non-blocking: a FIFO named where a file was meant must not
// hold the program. None follows a link in the file's own place.
int openNoLink(const std::string& name, int flags, mode_t mode = 0) {
  return ::open(name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, mode);
}

AppendOutcome whyNotOpened(int error) {
  return error == ELOOP ? AppendOutcome::IsALink : AppendOutcome::NotOpened;
}

// The guard's checks on the file opened, so that no other file can take
// its place between the check and the write.
std::optional<AppendOutcome> refusalOfOpen(int fd, const FileGuard& guard,
                                           NewFile kind = NewFile::Shared) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return AppendOutcome::NotOpened;
  if (!S_ISREG(info.st_mode)) return AppendOutcome::NotAFile;
  // One put beforehand where others may write is read by its owner, who
  // may add to it as well.
  if (kind == NewFile::Private && info.st_uid != ::geteuid()) return AppendOutcome::NotYours;
  if (guard.theLog && identityOf(info) == *guard.theLog) return AppendOutcome::IsTheLog;
  if (guard.commandsOnly) {
    struct stat commands {};
    const std::string name = openedName(*guard.commandsOnly, guard, Links::Refuse);
    if (::stat(name.c_str(), &commands) == 0 && identityOf(commands) == identityOf(info)) {
      return AppendOutcome::CommandsOnly;
    }
  }
  if (!guard.readsAsLog || info.st_size == 0) return std::nullopt;
  std::string head(std::min<std::size_t>(guard.headBytes, static_cast<std::size_t>(info.st_size)),
                   '\0');
  std::size_t got = 0;
  while (got < head.size()) {
    const ssize_t read = ::pread(fd, head.data() + got, head.size() - got, static_cast<off_t>(got));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return AppendOutcome::NotOpened;  // unread, it cannot be told from a log
    if (read == 0) break;
    got += static_cast<std::size_t>(read);
  }
  head.resize(got);
  if (guard.readsAsLog(head)) return AppendOutcome::IsALog;
  return std::nullopt;
}

// One append in progress on a descriptor opened with O_APPEND. The lock is
// held until the descriptor is closed; the pieces go out through a buffer
// of fixed size.
class Appender {
 public:
  Appender(int fd, AppendRule rule) : fd_(fd), rule_(rule) { buffer_.reserve(kFlushAt + 2); }

  // Waits for the lock and notes the old end. A file system without locks
  // is still written.
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

}  // namespace

bool isRefusal(AppendOutcome outcome) {
  // Every outcome but these refuses the file, so that a new refusal needs
  // no case here.
  return outcome != AppendOutcome::Written && outcome != AppendOutcome::NotOpened &&
         outcome != AppendOutcome::NotWritten;
}

AppendOutcome appendText(const AppendTarget& target, std::string_view text) {
  return appendText(target, [text](const TextSink& put) { put(text); });
}

bool appendOnOwnLine(const std::string& path, std::string_view text, const FileGuard& guard,
                     AppendMode mode) {
  return appendText({path, AppendRule::OwnLine, mode, guard}, text) == AppendOutcome::Written;
}

AppendOutcome appendText(const AppendTarget& target, const TextProducer& produce) {
  const std::string name = openedName(target.path, target.guard, target.links);
  // Read as well as written: the guard and the append rule read the file.
  const int access = O_RDWR | O_APPEND;
  int opened = openNoLink(name, access);
  bool created = false;
  if (opened < 0 && errno == ENOENT && target.mode == AppendMode::CreateIfMissing) {
    const bool isPrivate = target.created == NewFile::Private;
    opened = openNoLink(name, access | O_CREAT | O_EXCL, isPrivate ? 0600 : 0644);
    created = opened >= 0;
    if (opened < 0 && errno == EEXIST) opened = openNoLink(name, access);  // made meanwhile
    // Private whatever the umask: the mode is set, not masked.
    if (created && isPrivate && ::fchmod(opened, 0600) != 0) {
      ::close(opened);
      ::unlink(name.c_str());
      return AppendOutcome::NotOpened;
    }
  }
  if (opened < 0) return whyNotOpened(errno);
  Descriptor fd(opened);
  if (const std::optional<AppendOutcome> refused =
          refusalOfOpen(fd.get(), target.guard, target.created)) {
    // Made only to be refused: it goes unless another run wrote to it.
    struct stat info {};
    if (created && ::fstat(fd.get(), &info) == 0 && info.st_size == 0) ::unlink(name.c_str());
    return *refused;
  }
  Appender appender(fd.get(), target.rule);
  if (!appender.begin()) return AppendOutcome::NotWritten;
  produce([&appender](std::string_view piece) { return appender.put(piece); });
  if (!appender.finish()) return AppendOutcome::NotWritten;
  return fd.close() ? AppendOutcome::Written : AppendOutcome::NotWritten;
}

std::optional<AppendOutcome> refusalOf(const std::string& path, const FileGuard& guard,
                                       Links links, NewFile kind) {
  Descriptor fd(openNoLink(openedName(path, guard, links), O_RDONLY));
  if (!fd.ok()) {
    if (errno == ELOOP) return AppendOutcome::IsALink;
    return std::nullopt;
  }
  const std::optional<AppendOutcome> refused = refusalOfOpen(fd.get(), guard, kind);
  // A file that cannot be read is no refusal of the guard's: its write
  // fails on its own.
  if (refused == AppendOutcome::NotOpened) return std::nullopt;
  return refused;
}

int openThroughDoor(const std::string& path, const FileGuard& guard, int flags, NewFile kind,
                    AppendOutcome& refused) {
  const mode_t mode = kind == NewFile::Private ? 0600 : 0644;
  Descriptor fd(openNoLink(openedName(path, guard, Links::Refuse), flags, mode));
  if (!fd.ok()) {
    refused = whyNotOpened(errno);
    return -1;
  }
  if (const std::optional<AppendOutcome> refusal = refusalOfOpen(fd.get(), guard, kind)) {
    refused = *refusal;
    return -1;
  }
  return fd.release();
}

bool removeFile(const std::string& path, const FileGuard& guard) {
  const std::string name = openedName(path, guard, Links::Refuse);
  Descriptor fd(openNoLink(name, O_RDONLY));
  if (!fd.ok() || refusalOfOpen(fd.get(), guard)) return false;
  // The name must still lead to the file checked.
  struct stat now {};
  if (::lstat(name.c_str(), &now) != 0 || identityOf(now) != identityOfDescriptor(fd.get())) {
    return false;
  }
  return ::unlink(name.c_str()) == 0;
}

std::optional<std::string> ownLinkTarget(const std::string& path) {
  std::string name = osName(path);
  bool followed = false;
  // A loop of links ends somewhere: at a link, which the door then refuses.
  for (int hop = 0; hop < 16; ++hop) {
    struct stat info {};
    if (name.empty() || ::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode) ||
        info.st_uid != ::geteuid()) {
      break;
    }
    char target[PATH_MAX];
    const ssize_t length = ::readlink(name.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) break;
    std::string next(target, static_cast<std::size_t>(length));
    if (next.front() != '/') {
      const std::size_t slash = name.rfind('/');
      if (slash != std::string::npos) next = name.substr(0, slash + 1) + next;
    }
    name = std::move(next);
    followed = true;
  }
  if (!followed) return std::nullopt;
  return name;
}

bool writeTextFile(const std::string& path, std::string_view text) {
  Descriptor fd(openNoLink(osName(path), O_WRONLY | O_CREAT | O_TRUNC, 0644));
  if (!fd.ok() || refusalOfOpen(fd.get(), {})) return false;
  const bool wrote = writeAll(fd.get(), toTextMode(text));
  return fd.close() && wrote;
}

std::optional<std::string> createPrivateFile(const std::string& preferred, std::string_view bytes) {
  std::string name = preferred;
  int fd = openNoLink(osName(preferred), O_WRONLY | O_CREAT | O_EXCL, 0600);
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

}  // namespace zazir

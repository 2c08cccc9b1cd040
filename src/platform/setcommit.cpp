// The commit of a file set: the additions appended under each file's
// locks, the new files moved into place and the record put in place last,
// the journal naming all of it before the first change.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/fileset.h"
#include "platform/setjournal.h"

namespace zazir {
namespace {

constexpr char kStagedJournal[] = "+journal";
constexpr char kStagedRecord[] = "+record";

// Moves `from` in `fromDir` to `to` in `toDir` unless something is there.
// A file system without the no-replace rename gets a hard link and an
// unlink, which refuse an existing name as well.
bool moveNew(int fromDir, const char* from, int toDir, const char* to) {
  if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::linkat(fromDir, from, toDir, to, 0) != 0) return false;
  ::unlinkat(fromDir, from, 0);
  return true;
}

bool writeAllAt(int fd, const char* bytes, std::size_t size, off_t at) {
  while (size > 0) {
    const ssize_t wrote = ::pwrite(fd, bytes, size, at);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      if (wrote == 0) errno = EIO;
      return false;
    }
    bytes += wrote;
    size -= static_cast<std::size_t>(wrote);
    at += wrote;
  }
  return true;
}

// Creates `name` in `dirFd` new and writes `bytes`; -1 or its descriptor.
int createWith(int dirFd, const char* name, const std::string& bytes) {
  const int fd = ::openat(dirFd, name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (!writeAllAt(fd, bytes.data(), bytes.size(), 0)) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// Holds a file's lock for others that add to it: flock, as the program's
// own door takes it, and a record lock over the whole file, as mail
// programs take it. A file system without locks is still written.
void lockForAdding(int fd) {
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  while (::fcntl(fd, F_SETLKW, &whole) != 0 && errno == EINTR) {
  }
}

}  // namespace

bool FileSet::commit(std::string& problem) {
  // The files added to, locked, with their ends before.
  struct Target {
    std::string name;
    int fd;
    off_t end;
    int staged;
    off_t bytes;
    bool written = false;
  };
  std::vector<Target> targets;
  std::map<std::string, FileFacts> facts;
  std::map<std::string, int> places;  // the folders in the directory named
  std::vector<std::string> moved;
  bool journaled = false;
  const auto takeBack = [&](const std::string& failed, const std::string& why) {
    problem = shown(failed) + ": " + why;
    for (const std::string& name : moved) {
      const auto [folder, file] = splitName(name);
      const int from = folder.empty() ? dirFd_ : places[folder];
      ::renameat(from, file.c_str(), folder.empty() ? stageFd_ : folders_[folder], file.c_str());
    }
    for (const Target& target : targets) {
      // Cut back to its old end: if even that fails, nothing more can be done.
      if (target.written) (void)!::ftruncate(target.fd, target.end);
    }
    if (journaled) ::unlinkat(dirFd_, kJournalName, 0);
    for (const Target& target : targets) {
      ::close(target.fd);
      ::close(target.staged);
    }
    for (const auto& [folder, fd] : places) ::close(fd);
    return false;
  };
  const auto undo = [&](const std::string& failed, int error) {
    return takeBack(failed, std::strerror(error));
  };

  struct stat info {};
  for (const auto& [name, addition] : additions_) {
    const int staged = ::openat(stageFd_, addition.staged.c_str(), O_RDONLY | O_CLOEXEC);
    if (staged < 0 || ::fstat(staged, &info) != 0) {
      if (staged >= 0) ::close(staged);
      return undo(name, errno);
    }
    const off_t bytes = info.st_size;
    const auto [folder, file] = splitName(name);
    const int in = openFolder(dirFd_, folder);
    // A file that gets nothing is only checked: it may be read-only.
    const int access = bytes > 0 ? O_WRONLY : O_RDONLY;
    const int fd =
        in < 0 ? -1 : ::openat(in, file.c_str(), access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    if (in >= 0) ::close(in);
    if (fd < 0) {
      ::close(staged);
      return error == ELOOP ? takeBack(name, "exists and is not a regular file")
                            : undo(name, error);
    }
    targets.push_back({name, fd, 0, staged, bytes});
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        factsOf(info).identity != addition.was.identity) {
      return takeBack(name, "changed while the export ran");
    }
    if (bytes > 0) {
      lockForAdding(fd);
      if (::fstat(fd, &info) != 0) return undo(name, errno);
    }
    targets.back().end = info.st_size;
    facts[name] = {factsOf(info).identity, static_cast<std::uint64_t>(info.st_size + bytes)};
  }
  for (const auto& [name, identity] : files_) {
    const auto [folder, file] = splitName(name);
    const int in = folder.empty() ? stageFd_ : folders_[folder];
    if (::fstatat(in, file.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return undo(name, errno);
    facts[name] = factsOf(info);
  }

  // The record and the journal, before the first change.
  SetJournal journal{stage_, recordName_, {}, {}, {}};
  if (makeRecord_) {
    const int fd = createWith(stage(), kStagedRecord, makeRecord_(facts));
    if (fd < 0 || ::fstat(fd, &info) != 0) {
      if (fd >= 0) ::close(fd);
      return undo(recordName_, errno);
    }
    ::close(fd);
    journal.record = factsOf(info).identity;
  }
  for (const Target& target : targets) {
    if (target.bytes == 0) continue;
    journal.cuts.push_back(
        {target.name, facts[target.name].identity, static_cast<std::uint64_t>(target.end)});
  }
  for (const auto& [name, identity] : files_) journal.placed.push_back({name, identity});
  if (!additions_.empty() || makeRecord_) {
    const int fd = createWith(stage(), kStagedJournal, encodeJournal(journal));
    if (fd >= 0) ::close(fd);
    if (fd < 0 || !moveNew(stageFd_, kStagedJournal, dirFd_, kJournalName)) {
      return undo(kJournalName, errno);
    }
    journaled = true;
  }

  std::vector<char> buffer(1 << 20);
  for (Target& target : targets) {
    target.written = target.bytes > 0;
    for (off_t at = 0; at < target.bytes;) {
      const ssize_t got = ::pread(target.staged, buffer.data(), buffer.size(), at);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return undo(target.name, got == 0 ? EIO : errno);
      if (!writeAllAt(target.fd, buffer.data(), static_cast<std::size_t>(got), target.end + at)) {
        return undo(target.name, errno);
      }
      at += got;
    }
  }
  for (const auto& [name, identity] : files_) {
    const auto [folder, file] = splitName(name);
    int to = dirFd_;
    if (!folder.empty()) {
      if (places.count(folder) == 0) {
        if (::mkdirat(dirFd_, folder.c_str(), kDirectoryMode) == 0) {
          madeDirs_.push_back(shown(folder));
        } else if (errno != EEXIST) {
          return undo(folder, errno);
        }
        const int fd = openFolder(dirFd_, folder);
        if (fd < 0) return undo(folder, errno == ELOOP ? ENOTDIR : errno);
        places.emplace(folder, fd);
      }
      to = places[folder];
    }
    const int from = folder.empty() ? stageFd_ : folders_[folder];
    if (!moveNew(from, file.c_str(), to, file.c_str())) return undo(name, errno);
    moved.push_back(name);
  }
  // The record in place ends the commit.
  if (makeRecord_ && ::renameat(stageFd_, kStagedRecord, dirFd_, recordName_.c_str()) != 0) {
    return undo(recordName_, errno);
  }
  if (journaled) ::unlinkat(dirFd_, kJournalName, 0);
  for (const Target& target : targets) {
    ::close(target.fd);
    ::close(target.staged);
  }
  for (const auto& [folder, fd] : places) ::close(fd);
  committed_ = true;
  removeStage(dirFd_, stage_);
  return true;
}

}  // namespace zazir

#include "platform/fileset.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/setjournal.h"

namespace zazir {
namespace {

constexpr unsigned kDirectoryMode = 0777;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr char kStagedJournal[] = "+journal";
constexpr char kStagedRecord[] = "+record";
// A journal larger than this was not written by a set.
constexpr off_t kJournalLimit = 16 << 20;

std::string problemOf(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

FileIdentity identityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

FileFacts factsOf(const struct stat& info) {
  return {identityOf(info), static_cast<std::uint64_t>(info.st_size)};
}

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

// The name of the private directory: hidden, and new.
std::string stageName(std::mt19937_64& random) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = kStagePrefix;
  for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
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

// The file `name` of `dirFd`, read whole when it is a regular file of at
// most `limit` bytes.
std::optional<std::string> readSmall(int dirFd, const char* name, off_t limit) {
  const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> bytes;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= limit) {
    bytes.emplace(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes->size()) {
      const ssize_t read = ::pread(fd, bytes->data() + got, bytes->size() - got, static_cast<off_t>(got));
      if (read < 0 && errno == EINTR) continue;
      if (read <= 0) break;
      got += static_cast<std::size_t>(read);
    }
    bytes->resize(got);
  }
  ::close(fd);
  return bytes;
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

FileSet::FileSet(std::string dir, int dirFd, std::vector<std::string> made)
    : dir_(std::move(dir)), dirFd_(dirFd), madeDirs_(std::move(made)) {}

FileSet::~FileSet() {
  if (!committed_) takeBack();
  for (const auto& [name, fd] : folders_) ::close(fd);
  if (stageFd_ >= 0) ::close(stageFd_);
  if (dirFd_ >= 0) ::close(dirFd_);
}

std::unique_ptr<FileSet> FileSet::open(const std::string& dir, std::string& problem) {
  std::vector<std::string> made;
  // The directory named, as the user named it; those made here are opened
  // without following a link that took their place since.
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string upTo = dir.substr(0, slash);
    if (!upTo.empty() && upTo.back() != '/') {
      if (::mkdir(upTo.c_str(), kDirectoryMode) == 0) {
        made.push_back(upTo);
      } else if (errno != EEXIST) {
        problem = problemOf(upTo, errno);
        for (auto at = made.rbegin(); at != made.rend(); ++at) ::rmdir(at->c_str());
        return nullptr;
      }
    }
    if (slash == std::string::npos) break;
  }
  std::string whole = dir;
  while (whole.size() > 1 && whole.back() == '/') whole.pop_back();
  const bool madeIt = !made.empty() && made.back() == whole;
  const int fd = ::open(dir.c_str(), madeIt ? kFolderFlags : O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    problem = errno == ENOTDIR ? dir + ": not a directory" : problemOf(dir, errno);
    for (auto at = made.rbegin(); at != made.rend(); ++at) ::rmdir(at->c_str());
    return nullptr;
  }
  std::unique_ptr<FileSet> set(new FileSet(dir, fd, std::move(made)));
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  // Under the lock no other set is at work here: a journal is a commit cut
  // short, a private directory one that was never committed.
  if (const std::optional<std::string> text = zazir::readSmall(fd, kJournalName, kJournalLimit)) {
    const std::optional<SetJournal> journal = decodeJournal(*text);
    if (!journal) {
      problem = set->shown(kJournalName) +
                ": left by an export that did not finish, and unreadable; remove it once the "
                "files it names are checked";
      set->committed_ = true;  // nothing of the set's own to take back
      return nullptr;
    }
    set->tookBack_ = rollBack(fd, *journal);
    removeStage(fd, journal->stage);
    ::unlinkat(fd, kJournalName, 0);
  }
  for (const std::string& name : set->namesIn("", true)) {
    if (name.starts_with(kStagePrefix)) removeStage(fd, name);
  }
  return set;
}

std::string FileSet::shown(const std::string& name) const {
  return dir_.empty() || dir_.back() == '/' ? dir_ + name : dir_ + "/" + name;
}

bool FileSet::survey(const std::vector<std::string>& names, std::map<std::string, FileFacts>& found,
                     std::string& problem) const {
  struct stat info {};
  for (const std::string& name : names) {
    const std::string folder = splitName(name).first;
    if (!folder.empty() && ::fstatat(dirFd_, folder.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISDIR(info.st_mode)) {
      problem = shown(folder) + ": not a directory";
      return false;
    }
    if (::fstatat(dirFd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) continue;
      problem = problemOf(shown(name), errno);
      return false;
    }
    if (!S_ISREG(info.st_mode)) {
      problem = shown(name) + ": exists and is not a regular file";
      return false;
    }
    found[name] = factsOf(info);
  }
  return true;
}

std::vector<std::string> FileSet::namesIn(const std::string& folder, bool directories) const {
  std::vector<std::string> names;
  const int fd = openFolder(dirFd_, folder);
  const int copy = fd < 0 ? -1 : ::dup(fd);
  DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
  if (dir == nullptr && copy >= 0) ::close(copy);
  struct stat info {};
  while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || (folder.empty() && name.front() == '.' && !directories)) {
      continue;
    }
    if (::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        (directories ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode))) {
      names.push_back(name);
    }
  }
  if (dir) ::closedir(dir);
  if (fd >= 0) ::close(fd);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> FileSet::filesIn(const std::string& folder) const {
  return namesIn(folder, false);
}

int FileSet::openToRead(const std::string& name) const {
  const auto [folder, file] = splitName(name);
  const int in = openFolder(dirFd_, folder);
  if (in < 0) return -1;
  const int fd = ::openat(in, file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  ::close(in);
  struct stat info {};
  if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::optional<std::string> FileSet::readSmall(const std::string& name, std::uint64_t limit) const {
  return zazir::readSmall(dirFd_, name.c_str(), static_cast<off_t>(std::min<std::uint64_t>(limit, INT64_MAX)));
}

int FileSet::stage() {
  if (stageFd_ >= 0) return stageFd_;
  std::mt19937_64 random(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = stageName(random);
    if (::mkdirat(dirFd_, name.c_str(), 0700) != 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    stage_ = name;
    stageFd_ = ::openat(dirFd_, name.c_str(), kFolderFlags);
    return stageFd_;
  }
  return -1;
}

int FileSet::stagedFolder(const std::string& folder) {
  if (stage() < 0) return -1;
  if (folder.empty()) return stageFd_;
  if (const auto known = folders_.find(folder); known != folders_.end()) return known->second;
  if (::mkdirat(stageFd_, folder.c_str(), 0700) != 0) return -1;
  const int fd = ::openat(stageFd_, folder.c_str(), kFolderFlags);
  if (fd >= 0) folders_.emplace(folder, fd);
  return fd;
}

int FileSet::open(const std::string& name, unsigned mode) {
  const auto [folder, file] = splitName(name);
  const int in = stagedFolder(folder);
  if (in < 0) return -1;
  const auto made = files_.find(name);
  const int fd =
      made == files_.end()
          ? ::openat(in, file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     static_cast<mode_t>(mode))
          : ::openat(in, file.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || (made != files_.end() && identityOf(info) != made->second)) {
    ::close(fd);
    errno = EEXIST;
    return -1;
  }
  files_.emplace(name, identityOf(info));
  return fd;
}

int FileSet::openAddition(const std::string& name, const FileFacts& was) {
  if (stage() < 0) return -1;
  auto known = additions_.find(name);
  if (known != additions_.end()) {
    return ::openat(stageFd_, known->second.staged.c_str(),
                    O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  }
  const std::string staged = "+add-" + std::to_string(additions_.size());
  const int fd = ::openat(stageFd_, staged.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) additions_.emplace(name, Addition{staged, was});
  return fd;
}

void FileSet::setRecord(const std::string& name, RecordMaker make) {
  recordName_ = name;
  makeRecord_ = std::move(make);
}

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
  const auto undo = [&](const std::string& failed, int error) {
    problem = problemOf(shown(failed), error);
    for (const std::string& name : moved) {
      const auto [folder, file] = splitName(name);
      const int from = folder.empty() ? dirFd_ : places[folder];
      ::renameat(from, file.c_str(), folder.empty() ? stageFd_ : folders_[folder], file.c_str());
    }
    for (Target& target : targets) {
      if (target.written) [[maybe_unused]] int cut = ::ftruncate(target.fd, target.end);
    }
    if (journaled) ::unlinkat(dirFd_, kJournalName, 0);
    for (const Target& target : targets) {
      ::close(target.fd);
      ::close(target.staged);
    }
    for (const auto& [folder, fd] : places) ::close(fd);
    return false;
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
      return undo(name, error == ELOOP ? EEXIST : error);
    }
    targets.push_back({name, fd, 0, staged, bytes});
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        identityOf(info) != addition.was.identity) {
      return undo(name, ESTALE);
    }
    if (bytes > 0) {
      lockForAdding(fd);
      if (::fstat(fd, &info) != 0) return undo(name, errno);
    }
    targets.back().end = info.st_size;
    facts[name] = {identityOf(info), static_cast<std::uint64_t>(info.st_size + bytes)};
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
    journal.record = identityOf(info);
  }
  for (const Target& target : targets) {
    if (target.bytes == 0) continue;
    journal.cuts.push_back({target.name, facts[target.name].identity,
                            static_cast<std::uint64_t>(target.end)});
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
        const int fd = ::openat(dirFd_, folder.c_str(), kFolderFlags);
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

void FileSet::takeBack() {
  if (!stage_.empty()) removeStage(dirFd_, stage_);
  // Directories made for the set go when they are empty again.
  for (auto at = madeDirs_.rbegin(); at != madeDirs_.rend(); ++at) ::rmdir(at->c_str());
}

}  // namespace zazir

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

// A journal larger than this was not written by a set.
constexpr off_t kJournalLimit = 16 << 20;

// The name of the private directory: hidden, and new.
std::string stageName(std::mt19937_64& random) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = kStagePrefix;
  for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
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
      const ssize_t read =
          ::pread(fd, bytes->data() + got, bytes->size() - got, static_cast<off_t>(got));
      if (read < 0 && errno == EINTR) continue;
      if (read <= 0) break;
      got += static_cast<std::size_t>(read);
    }
    bytes->resize(got);
  }
  ::close(fd);
  return bytes;
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
  const int fd =
      ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (madeIt ? O_NOFOLLOW : 0));
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
  return zazir::readSmall(dirFd_, name.c_str(),
                          static_cast<off_t>(std::min<std::uint64_t>(limit, INT64_MAX)));
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
    stageFd_ = openFolder(dirFd_, name);
    return stageFd_;
  }
  return -1;
}

int FileSet::stagedFolder(const std::string& folder) {
  if (stage() < 0) return -1;
  if (folder.empty()) return stageFd_;
  if (const auto known = folders_.find(folder); known != folders_.end()) return known->second;
  if (::mkdirat(stageFd_, folder.c_str(), 0700) != 0) return -1;
  const int fd = openFolder(stageFd_, folder);
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
  if (::fstat(fd, &info) != 0 || (made != files_.end() && factsOf(info).identity != made->second)) {
    ::close(fd);
    errno = EEXIST;
    return -1;
  }
  files_.emplace(name, factsOf(info).identity);
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

void FileSet::takeBack() {
  if (!stage_.empty()) removeStage(dirFd_, stage_);
  // Directories made for the set go when they are empty again.
  for (auto at = madeDirs_.rbegin(); at != madeDirs_.rend(); ++at) ::rmdir(at->c_str());
}

}  // namespace zazir

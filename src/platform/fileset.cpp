#include "platform/fileset.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace zazir {
namespace {

constexpr unsigned kDirectoryMode = 0777;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::string problemOf(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

// "boards/x.mbox" as its folder ("boards", or "" for none) and its name.
std::pair<std::string, std::string> split(const std::string& name) {
  const std::size_t slash = name.find('/');
  if (slash == std::string::npos) return {"", name};
  return {name.substr(0, slash), name.substr(slash + 1)};
}

FileIdentity identityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
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
  std::string name = ".zazir-export-";
  for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
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
  return std::unique_ptr<FileSet>(new FileSet(dir, fd, std::move(made)));
}

std::string FileSet::shown(const std::string& name) const {
  return dir_.empty() || dir_.back() == '/' ? dir_ + name : dir_ + "/" + name;
}

bool FileSet::allMissing(const std::vector<std::string>& names, std::string& problem) const {
  struct stat info {};
  for (const std::string& name : names) {
    const std::string folder = split(name).first;
    if (!folder.empty() && ::fstatat(dirFd_, folder.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISDIR(info.st_mode)) {
      problem = shown(folder) + ": not a directory; nothing was written";
      return false;
    }
    if (::fstatat(dirFd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
      problem = shown(name) + ": exists; nothing was written";
      return false;
    }
    if (errno != ENOENT && errno != ENOTDIR) {
      problem = problemOf(shown(name), errno);
      return false;
    }
  }
  return true;
}

int FileSet::stagedFolder(const std::string& folder) {
  if (stageFd_ < 0) {
    std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100 && stageFd_ < 0; ++attempt) {
      const std::string name = stageName(random);
      if (::mkdirat(dirFd_, name.c_str(), 0700) != 0) {
        if (errno == EEXIST) continue;
        return -1;
      }
      stage_ = name;
      stageFd_ = ::openat(dirFd_, name.c_str(), kFolderFlags);
      if (stageFd_ < 0) return -1;
    }
    if (stageFd_ < 0) return -1;
  }
  if (folder.empty()) return stageFd_;
  if (const auto known = folders_.find(folder); known != folders_.end()) return known->second;
  if (::mkdirat(stageFd_, folder.c_str(), 0700) != 0) return -1;
  const int fd = ::openat(stageFd_, folder.c_str(), kFolderFlags);
  if (fd >= 0) folders_.emplace(folder, fd);
  return fd;
}

int FileSet::open(const std::string& name, unsigned mode) {
  const auto [folder, file] = split(name);
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

bool FileSet::commit(std::string& problem) {
  std::map<std::string, int> places;  // the folders in the directory named
  std::vector<std::string> moved;
  const auto undo = [&](const std::string& failed, int error) {
    problem = problemOf(shown(failed), error);
    for (const std::string& name : moved) {
      const auto [folder, file] = split(name);
      const int from = folder.empty() ? dirFd_ : places[folder];
      ::renameat(from, file.c_str(), folder.empty() ? stageFd_ : folders_[folder], file.c_str());
    }
    for (const auto& [folder, fd] : places) ::close(fd);
    return false;
  };
  for (const auto& [name, identity] : files_) {
    const auto [folder, file] = split(name);
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
  for (const auto& [folder, fd] : places) ::close(fd);
  committed_ = true;
  // Only the empty private directory is left to go.
  for (const auto& [folder, fd] : folders_) ::unlinkat(stageFd_, folder.c_str(), AT_REMOVEDIR);
  ::unlinkat(dirFd_, stage_.c_str(), AT_REMOVEDIR);
  return true;
}

void FileSet::takeBack() {
  for (const auto& [name, identity] : files_) {
    const auto [folder, file] = split(name);
    const auto in = folders_.find(folder);
    ::unlinkat(folder.empty() ? stageFd_ : in == folders_.end() ? -1 : in->second, file.c_str(), 0);
  }
  for (const auto& [folder, fd] : folders_) ::unlinkat(stageFd_, folder.c_str(), AT_REMOVEDIR);
  if (!stage_.empty()) ::unlinkat(dirFd_, stage_.c_str(), AT_REMOVEDIR);
  // Directories made for the set go when they are empty again.
  for (auto at = madeDirs_.rbegin(); at != madeDirs_.rend(); ++at) ::rmdir(at->c_str());
}

}  // namespace zazir

#include "platform/setjournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstring>

namespace zazir {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr std::string_view kHeading = "zazir-journal 1";

FileIdentity identityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// A name the journal may hold: a file, or a file in one folder, never
// above the directory.
bool isSetName(std::string_view name) {
  const std::size_t slash = name.find('/');
  const std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
  const auto plain = [](std::string_view part) {
    return !part.empty() && part != "." && part != ".." &&
           part.find_first_of(std::string_view("/\n\0", 3)) == std::string_view::npos;
  };
  return plain(last) && (slash == std::string_view::npos || plain(name.substr(0, slash)));
}

// Reads a decimal number and the blank after it from `line`.
bool take(std::string_view& line, std::uint64_t& value) {
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc() || end == line.data() + line.size() || *end != ' ') return false;
  line.remove_prefix(static_cast<std::size_t>(end - line.data()) + 1);
  return true;
}

std::string numbers(std::initializer_list<std::uint64_t> values) {
  std::string out;
  for (const std::uint64_t value : values) out += std::to_string(value) + " ";
  return out;
}

// The names in a directory, "." and ".." left out.
std::vector<std::string> entriesOf(int fd) {
  std::vector<std::string> names;
  const int copy = ::dup(fd);
  DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
  if (dir == nullptr) {
    if (copy >= 0) ::close(copy);
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names.emplace_back(entry->d_name);
    }
  }
  ::closedir(dir);
  return names;
}

}  // namespace

std::pair<std::string, std::string> splitName(const std::string& name) {
  const std::size_t slash = name.find('/');
  if (slash == std::string::npos) return {"", name};
  return {name.substr(0, slash), name.substr(slash + 1)};
}

FileFacts factsOf(const struct stat& info) {
  return {identityOf(info), static_cast<std::uint64_t>(info.st_size)};
}

std::string problemOf(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

int openFolder(int dirFd, const std::string& folder) {
  return ::openat(dirFd, folder.empty() ? "." : folder.c_str(), kFolderFlags);
}

std::string encodeJournal(const SetJournal& journal) {
  std::string out = std::string(kHeading) + "\nstage " + journal.stage + "\nrecord " +
                    numbers({journal.record.device, journal.record.inode}) + journal.recordName +
                    "\n";
  for (const SetJournal::Cut& cut : journal.cuts) {
    out += "cut " + numbers({cut.identity.device, cut.identity.inode, cut.end}) + cut.name + "\n";
  }
  for (const SetJournal::Placed& placed : journal.placed) {
    out += "new " + numbers({placed.identity.device, placed.identity.inode}) + placed.name + "\n";
  }
  return out + "end\n";
}

std::optional<SetJournal> decodeJournal(std::string_view text) {
  SetJournal journal;
  bool ended = false;
  if (!text.starts_with(kHeading) || !text.substr(kHeading.size()).starts_with("\n")) {
    return std::nullopt;
  }
  text.remove_prefix(kHeading.size() + 1);
  while (!text.empty() && !ended) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    const std::size_t blank = line.find(' ');
    const std::string_view word = line.substr(0, blank);
    line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
    std::uint64_t device = 0, inode = 0, at = 0;
    if (word == "stage" && journal.stage.empty() && line.starts_with(kStagePrefix) &&
        line.find('/') == std::string_view::npos && isSetName(line)) {
      journal.stage = line;
    } else if (word == "record" && journal.recordName.empty() && take(line, device) &&
               take(line, inode) && isSetName(line)) {
      journal.record = {device, inode};
      journal.recordName = line;
    } else if (word == "cut" && take(line, device) && take(line, inode) && take(line, at) &&
               isSetName(line)) {
      journal.cuts.push_back({std::string(line), {device, inode}, at});
    } else if (word == "new" && take(line, device) && take(line, inode) && isSetName(line)) {
      journal.placed.push_back({std::string(line), {device, inode}});
    } else if (word == "end" && line.empty()) {
      ended = true;
    } else {
      return std::nullopt;
    }
  }
  if (!ended || !text.empty() || journal.stage.empty() || journal.recordName.empty()) {
    return std::nullopt;
  }
  return journal;
}

bool rollBack(int dirFd, const SetJournal& journal) {
  struct stat info {};
  if (::fstatat(dirFd, journal.recordName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
      identityOf(info) == journal.record) {
    return false;  // the commit was done but for the journal's removal
  }
  bool took = false;
  for (const SetJournal::Cut& cut : journal.cuts) {
    const auto [folder, file] = splitName(cut.name);
    const int in = openFolder(dirFd, folder);
    const int fd =
        in < 0 ? -1 : ::openat(in, file.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in >= 0) ::close(in);
    if (fd < 0) continue;
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && identityOf(info) == cut.identity &&
        static_cast<std::uint64_t>(info.st_size) > cut.end) {
      took = ::ftruncate(fd, static_cast<off_t>(cut.end)) == 0 || took;
    }
    ::close(fd);
  }
  for (const SetJournal::Placed& placed : journal.placed) {
    const auto [folder, file] = splitName(placed.name);
    const int in = openFolder(dirFd, folder);
    if (in < 0) continue;
    if (::fstatat(in, file.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        identityOf(info) == placed.identity) {
      took = ::unlinkat(in, file.c_str(), 0) == 0 || took;
    }
    ::close(in);
  }
  return took;
}

void removeStage(int dirFd, const std::string& name) {
  const int stage = openFolder(dirFd, name);
  if (stage < 0) return;
  struct stat info {};
  for (const std::string& entry : entriesOf(stage)) {
    if (::fstatat(stage, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode)) {
      if (const int folder = openFolder(stage, entry); folder >= 0) {
        for (const std::string& file : entriesOf(folder)) ::unlinkat(folder, file.c_str(), 0);
        ::close(folder);
      }
      ::unlinkat(stage, entry.c_str(), AT_REMOVEDIR);
    } else {
      ::unlinkat(stage, entry.c_str(), 0);
    }
  }
  ::close(stage);
  ::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR);
}

}  // namespace zazir

#include "export/logset.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/directory.h"

namespace zazir {

namespace {

// A buffer that large lets the export read a log at the speed of the disk.
constexpr std::size_t kLogBuffer = 256 << 10;

bool isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool expandLogs(const std::vector<std::string>& args, std::vector<std::string>& logs,
                std::string& problem, const std::function<bool(const std::string&)>& keep) {
  for (const std::string& arg : args) {
    if (!isDirectory(arg)) {
      logs.push_back(arg);
      continue;
    }
    const auto entries = listDirectory(arg);
    if (!entries) {
      problem = arg + ": " + std::strerror(errno);
      return false;
    }
    const std::string dir = arg.back() == '/' ? arg : arg + "/";
    std::vector<std::string> names;
    // Only files: a device or a pipe in a directory of logs is no log.
    for (const DirectoryEntry& entry : *entries) {
      if (isRegularFile(dir + entry.name)) names.push_back(dir + entry.name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      if (!keep || keep(name)) logs.push_back(name);
    }
  }
  return true;
}

std::unique_ptr<FileLineStream> openLog(const std::string& osPath, std::string& problem) {
  if (auto log = FileLineStream::open(osPath, kLogBuffer)) return log;
  // Asked again, for the reason.
  struct stat info {};
  const int fd = ::open(osPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  const int error = errno;
  const bool regular = fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (fd >= 0) ::close(fd);
  problem = osPath + ": " +
            (fd < 0    ? std::strerror(error)
             : regular ? "cannot be read"
                       : "not a regular file");
  return nullptr;
}

std::uint64_t fileSize(const std::string& osPath) {
  struct stat info {};
  return ::stat(osPath.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

}  // namespace zazir

#include "platform/directory.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

namespace zazir {

std::optional<std::vector<DirectoryEntry>> listDirectory(const std::string& osDir) {
  const std::string dir = osDir.empty() ? "." : osDir;
  std::unique_ptr<DIR, int (*)(DIR*)> handle(opendir(dir.c_str()), closedir);
  if (!handle) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  while (const dirent* entry = readdir(handle.get())) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    DirectoryEntry item{entry->d_name, false};
    std::string full = dir;
    if (full.back() != '/') full += '/';
    full += entry->d_name;
    struct stat info {};
    if (::stat(full.c_str(), &info) == 0) item.isDirectory = S_ISDIR(info.st_mode);
    entries.push_back(std::move(item));
  }
  return entries;
}

}  // namespace zazir

#include "platform/fileidentity.h"

#include <sys/stat.h>

#include "platform/encoding.h"

namespace zazir {
namespace {

FileIdentity identityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> identityOfPath(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
  struct stat info {};
  if (::stat(toOsName(path).c_str(), &info) != 0) return std::nullopt;
  return identityOf(info);
}

std::optional<FileIdentity> identityOfDescriptor(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::nullopt;
  return identityOf(info);
}

}  // namespace zazir

#include "export/outputfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zazir {

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool OutputFile::create(const std::string& osPath, unsigned mode) {
  // O_EXCL refuses a link too, even one that leads nowhere.
  fd_ = ::open(osPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd_ < 0) {
    error_ = errno;
    return false;
  }
  identity_ = identityOfDescriptor(fd_).value_or(FileIdentity{});
  return true;
}

bool OutputFile::reopen(const std::string& osPath, const FileIdentity& made) {
  fd_ = ::open(osPath.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = errno;
    return false;
  }
  identity_ = identityOfDescriptor(fd_).value_or(FileIdentity{});
  if (identity_ == made) return true;
  error_ = EEXIST;
  ::close(fd_);
  fd_ = -1;
  return false;
}

void OutputFile::flush() {
  std::size_t done = 0;
  while (error_ == 0 && fd_ >= 0 && done < buffer_.size()) {
    const ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) error_ = wrote < 0 ? errno : EIO;
    if (wrote > 0) done += static_cast<std::size_t>(wrote);
  }
  buffer_.clear();
}

bool OutputFile::close() {
  flush();
  if (fd_ >= 0 && ::close(fd_) != 0 && error_ == 0) error_ = errno;
  fd_ = -1;
  return error_ == 0;
}

}  // namespace zazir

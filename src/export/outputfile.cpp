#include "export/outputfile.h"

#include <unistd.h>

#include <cerrno>

namespace zazir {

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool OutputFile::use(int fd) {
  fd_ = fd;
  if (fd_ < 0) error_ = errno;
  return fd_ >= 0;
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

// What the platform's file code shares: a descriptor closed on every way
// out, and the name a path is handed to the system as.
#pragma once

#include <unistd.h>

#include <string>

#include "platform/encoding.h"

namespace zazir {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes it now; false when the close failed (a write not made after all).
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  // Hands the descriptor on: it is no longer closed here.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The name handed to the operating system. A path that holds a NUL byte
// (a name taken from the log may) would reach it cut short and name another
// file: it becomes the empty name, which names none.
inline std::string osName(const std::string& path) {
  return path.find('\0') == std::string::npos ? toOsName(path) : std::string();
}

}  // namespace zazir

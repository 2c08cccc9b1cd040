#include "platform/linestream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zazir {

std::unique_ptr<FileLineStream> FileLineStream::open(const std::string& osPath,
                                                     std::size_t bufferSize) {
  // Only a regular file: a device such as /dev/zero never ends, and a FIFO
  // (opened without waiting for a writer) cannot be read at an offset.
  const int fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileLineStream>(
      new FileLineStream(fd, std::max<std::size_t>(bufferSize, 2048)));
}

std::unique_ptr<FileLineStream> FileLineStream::adopt(int fd, std::size_t bufferSize) {
  return std::unique_ptr<FileLineStream>(
      new FileLineStream(fd, std::max<std::size_t>(bufferSize, 2048)));
}

// The buffer is not cleared: only the bytes read are ever looked at, and a
// search opens several large ones for each log.
FileLineStream::FileLineStream(int fd, std::size_t bufferSize)
    : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(bufferSize)), capacity_(bufferSize) {}

FileLineStream::~FileLineStream() {
  ::close(fd_);
}

void FileLineStream::seek(LogOffset offset) {
  if (offset < 0) offset = 0;
  if (offset >= bufferStart_ && offset <= bufferStart_ + static_cast<LogOffset>(length_)) {
    position_ = static_cast<std::size_t>(offset - bufferStart_);
    if (position_ < length_) endOfFile_ = false;
    return;
  }
  bufferStart_ = offset;
  position_ = 0;
  length_ = 0;
  endOfFile_ = false;
}

namespace {

constexpr std::size_t kLookBehindFrom = 64 << 10;

}  // namespace

bool FileLineStream::fill(std::size_t wanted) {
  if (endOfFile_) return false;
  // A large buffer keeps some bytes before the position: a reader that
  // looks back a little (to a line's start, to the item it is in) finds
  // them without reading a whole buffer again. A small one is read through
  // once, and each read costs more when it brings less.
  const std::size_t lookBehind = capacity_ >= kLookBehindFrom ? capacity_ / 8 : 0;
  const std::size_t behind =
      std::min({position_, lookBehind, capacity_ - std::min(wanted, capacity_)});
  if (position_ > behind) {
    const std::size_t drop = position_ - behind;
    std::memmove(buffer_.get(), buffer_.get() + drop, length_ - drop);
    length_ -= drop;
    bufferStart_ += static_cast<LogOffset>(drop);
    position_ = behind;
  }
  if (length_ == capacity_) return true;
  while (true) {
    const ssize_t got = pread(fd_, buffer_.get() + length_, capacity_ - length_,
                              bufferStart_ + static_cast<LogOffset>(length_));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      endOfFile_ = true;
      return false;
    }
    length_ += static_cast<std::size_t>(got);
    return true;
  }
}

bool FileLineStream::readLineView(std::string_view& line, std::size_t maxBytes) {
  if (maxBytes == 0) return false;
  // Fast path: the whole line is already in the buffer.
  const std::size_t available = length_ - position_;
  const std::size_t window = std::min(available, maxBytes);
  const char* start = buffer_.get() + position_;
  if (const void* lf = std::memchr(start, '\n', window)) {
    const std::size_t size = static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1;
    line = std::string_view(start, size);
    position_ += size;
    return true;
  }
  if (window == maxBytes) {
    line = std::string_view(start, window);
    position_ += window;
    return true;
  }
  // The line runs past the buffered bytes: gather it in the scratch buffer.
  scratch_.clear();
  while (scratch_.size() < maxBytes) {
    if (position_ == length_ && !fill(1)) break;
    const std::size_t want = std::min(length_ - position_, maxBytes - scratch_.size());
    const char* from = buffer_.get() + position_;
    if (const void* lf = std::memchr(from, '\n', want)) {
      const std::size_t size = static_cast<std::size_t>(static_cast<const char*>(lf) - from) + 1;
      scratch_.append(from, size);
      position_ += size;
      break;
    }
    scratch_.append(from, want);
    position_ += want;
  }
  if (scratch_.empty()) return false;
  line = scratch_;
  return true;
}

std::string_view FileLineStream::buffered(std::size_t atLeast) {
  atLeast = std::min(atLeast, capacity_);
  while (length_ - position_ < atLeast && fill(atLeast)) {
  }
  return std::string_view(buffer_.get() + position_, length_ - position_);
}

void MemoryLineStream::seek(LogOffset offset) {
  position_ = static_cast<std::size_t>(std::clamp<LogOffset>(offset, 0, data_.size()));
}

bool MemoryLineStream::readLineView(std::string_view& line, std::size_t maxBytes) {
  if (position_ >= data_.size() || maxBytes == 0) return false;
  const std::size_t window = std::min(data_.size() - position_, maxBytes);
  const char* start = data_.data() + position_;
  std::size_t size = window;
  if (const void* lf = std::memchr(start, '\n', window)) {
    size = static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1;
  }
  line = std::string_view(start, size);
  position_ += size;
  return true;
}

}  // namespace zazir

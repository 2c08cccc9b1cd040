#include "platform/windowstream.h"

#include <cstring>

namespace zazir {

void WindowStream::show(std::string_view bytes, LogOffset start, bool toEnd) {
  bytes_ = bytes;
  start_ = start;
  toEnd_ = toEnd;
}

bool WindowStream::rest(std::string_view& bytes) const {
  const LogOffset end = start_ + static_cast<LogOffset>(bytes_.size());
  if (bytes_.empty() || position_ < start_ || position_ > end) return false;
  bytes = bytes_.substr(static_cast<std::size_t>(position_ - start_));
  return true;
}

bool WindowStream::readLineView(std::string_view& line, std::size_t maxBytes) {
  std::string_view bytes;
  if (rest(bytes)) {
    const std::size_t window = std::min(bytes.size(), maxBytes);
    const void* feed = std::memchr(bytes.data(), '\n', window);
    // The line is the window's when it ends in it, or cannot go on past it.
    if (feed || window == maxBytes || toEnd_) {
      if (window == 0) return false;
      const std::size_t size =
          feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - bytes.data()) + 1
               : window;
      line = bytes.substr(0, size);
      position_ += static_cast<LogOffset>(size);
      return true;
    }
  }
  elsewhere_.seek(position_);
  const bool read = elsewhere_.readLineView(line, maxBytes);
  position_ = elsewhere_.tell();
  return read;
}

std::string_view WindowStream::buffered(std::size_t atLeast) {
  std::string_view bytes;
  if (!rest(bytes) || (bytes.size() < atLeast && !toEnd_)) {
    elsewhere_.seek(position_);
    bytes = elsewhere_.buffered(atLeast);
  }
  given_ = bytes.size();
  return bytes;
}

}  // namespace zazir

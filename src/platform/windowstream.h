// A stream that reads from bytes another stream holds (a scan's block of
// the log) while they hold its position, and from a stream of its own
// elsewhere: what is read near the scan is not read from the file again.
#pragma once

#include <string_view>

#include "platform/linestream.h"

namespace zazir {

class WindowStream : public LineStream {
 public:
  // `elsewhere`: the same file, read where the window does not reach.
  explicit WindowStream(LineStream& elsewhere) : elsewhere_(elsewhere) {}

  // The bytes of the file from `start` on; `toEnd`: the file ends with
  // them. They must stay as they are until hide() or the next show().
  void show(std::string_view bytes, LogOffset start, bool toEnd);
  void hide() { bytes_ = {}; }

  LogOffset tell() const override { return position_; }
  void seek(LogOffset offset) override { position_ = std::max<LogOffset>(offset, 0); }
  bool readLineView(std::string_view& line, std::size_t maxBytes) override;
  std::string_view buffered(std::size_t atLeast) override;
  void skip(std::size_t bytes) override {
    position_ += static_cast<LogOffset>(std::min(bytes, given_));
  }

 private:
  // The window's bytes from the position on; false when it does not hold
  // the position.
  bool rest(std::string_view& bytes) const;

  LineStream& elsewhere_;
  std::string_view bytes_;
  LogOffset start_ = 0;
  bool toEnd_ = false;
  LogOffset position_ = 0;
  std::size_t given_ = 0;  // by the last buffered(), for skip()
};

}  // namespace zazir

// Line reading with fgets semantics over a file or a memory block: a read
// takes at most a given number of bytes and stops after a line feed, so a
// longer physical line arrives as several pieces. Offsets are byte offsets.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fileidentity.h"

namespace zazir {

using LogOffset = std::int64_t;

// The longest line one read returns, as a 1024-byte line buffer holds.
inline constexpr std::size_t kLineLimit = 1023;

class LineStream {
 public:
  virtual ~LineStream() = default;

  virtual LogOffset tell() const = 0;
  virtual void seek(LogOffset offset) = 0;
  // Reads up to `maxBytes` bytes, stopping after a line feed. The view stays
  // valid until the next call. Returns false when nothing is left.
  virtual bool readLineView(std::string_view& line, std::size_t maxBytes) = 0;

  // Bulk access for scanners that look at many lines at once: the bytes
  // buffered from the read position on, at least `atLeast` of them unless
  // the data ends first or the buffer is smaller. Empty for a stream without
  // such a buffer (scanners then read line by line). Valid until the next
  // call; `skip` moves on over at most the bytes it gave.
  virtual std::string_view buffered(std::size_t atLeast) {
    (void)atLeast;
    return {};
  }
  virtual void skip(std::size_t bytes) { seek(tell() + static_cast<LogOffset>(bytes)); }
  // Every byte the stream holds now, read or not, and the offset of the
  // first in `start`; empty when it holds none. Valid until the next call.
  virtual std::string_view held(LogOffset& start) const {
    start = 0;
    return {};
  }

  bool readLine(std::string& line, std::size_t maxBytes = kLineLimit) {
    std::string_view view;
    if (!readLineView(view, maxBytes)) {
      line.clear();
      return false;
    }
    line.assign(view);
    return true;
  }
};

// A file read in binary mode through a buffer of its own.
class FileLineStream : public LineStream {
 public:
  // `path` is handed to the operating system as it stands. Returns null when
  // it names no regular file that can be opened for reading.
  static std::unique_ptr<FileLineStream> open(const std::string& osPath,
                                              std::size_t bufferSize = 10000);
  // The same over a descriptor opened for reading, which it then owns.
  static std::unique_ptr<FileLineStream> adopt(int fd, std::size_t bufferSize = 10000);
  ~FileLineStream() override;

  LogOffset tell() const override { return bufferStart_ + static_cast<LogOffset>(position_); }
  void seek(LogOffset offset) override;
  bool readLineView(std::string_view& line, std::size_t maxBytes) override;
  std::string_view buffered(std::size_t atLeast) override;
  void skip(std::size_t bytes) override { position_ += std::min(bytes, length_ - position_); }
  std::string_view held(LogOffset& start) const override {
    start = bufferStart_;
    return std::string_view(buffer_.get(), length_);
  }

  // The file read, so that no file written can be this one.
  std::optional<FileIdentity> identity() const { return identityOfDescriptor(fd_); }

 private:
  FileLineStream(int fd, std::size_t bufferSize);
  // Moves the unread rest (and a little before it) to the front and reads
  // more; `wanted` bytes from the position on fit.
  bool fill(std::size_t wanted);

  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t position_ = 0;   // next unread byte in buffer_
  std::size_t length_ = 0;     // bytes held in buffer_
  LogOffset bufferStart_ = 0;  // file offset of buffer_[0]
  bool endOfFile_ = false;
  std::string scratch_;
};

class MemoryLineStream : public LineStream {
 public:
  explicit MemoryLineStream(std::string data) : data_(std::move(data)) {}

  LogOffset tell() const override { return static_cast<LogOffset>(position_); }
  void seek(LogOffset offset) override;
  bool readLineView(std::string_view& line, std::size_t maxBytes) override;
  std::string_view buffered(std::size_t) override {
    return std::string_view(data_).substr(std::min(position_, data_.size()));
  }
  void skip(std::size_t bytes) override { position_ = std::min(position_ + bytes, data_.size()); }
  std::string_view held(LogOffset& start) const override {
    start = 0;
    return data_;
  }

 private:
  std::string data_;
  std::size_t position_ = 0;
};

}  // namespace zazir

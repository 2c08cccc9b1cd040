// A file of an export's set, written through the set (which creates it
// new, never over an existing file nor through a link, so the export can
// never write over the log or anything else); text gathered in a buffer
// and written in large pieces.
#pragma once

#include <cstddef>
#include <string>

#include "platform/fileset.h"

namespace zazir {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens `name` of the set to add at its end: created with `mode` (the
  // umask applies) the first time.
  bool open(FileSet& set, const std::string& name, unsigned mode);

  // Text to write goes here; spill() writes it once it is large.
  std::string& buffer() { return buffer_; }
  void spill() {
    if (buffer_.size() >= kSpillAt) flush();
  }
  // Writes what is left and closes the file; false when anything failed.
  bool close();
  // The errno of the first failure, 0 for none.
  int error() const { return error_; }

 private:
  static constexpr std::size_t kSpillAt = 256 * 1024;
  void flush();

  int fd_ = -1;
  std::string buffer_;
  int error_ = 0;
};

}  // namespace zazir

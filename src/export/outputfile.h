// A file of an export's set, written through the set (which creates it
// new or stages what is added to it, never over an existing file nor
// through a link, so the export can never write over the log or anything
// else); text gathered in a buffer and written in large pieces.
#pragma once

#include <cstddef>
#include <string>

namespace zazir {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Writes to `fd`, a descriptor of the set's (FileSet::open or
  // openAddition); -1 is the failure to open it, errno set.
  bool use(int fd);

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

// The files an export writes: always created new, never an existing file
// nor one reached through a link, so the export can never write over the
// log or anything else; text gathered in a buffer and written in large
// pieces.
#pragma once

#include <cstddef>
#include <string>

#include "platform/fileidentity.h"

namespace zazir {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates `osPath` new with `mode` (the umask applies).
  bool create(const std::string& osPath, unsigned mode);
  // Opens a file this export created, `made`, to add at its end; a file
  // put in its place since is refused.
  bool reopen(const std::string& osPath, const FileIdentity& made);
  FileIdentity identity() const { return identity_; }

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
  FileIdentity identity_;
  std::string buffer_;
  int error_ = 0;
};

}  // namespace zazir

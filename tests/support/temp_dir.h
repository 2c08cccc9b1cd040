// Files of the tests: a fresh directory of their own, written and read
// byte for byte.
#pragma once

#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace zazir::testing {

// A fresh directory of its own for each test (ctest runs tests in parallel
// processes), removed with everything in it.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  std::string path(std::string_view name) const { return dir + std::string(name); }

  const std::string dir;  // with its trailing "/"
};

// Runs the test inside a directory (the chat back-logs are in the current
// one) and goes back afterwards.
class InDirectory {
 public:
  explicit InDirectory(const std::filesystem::path& directory);
  ~InDirectory();

 private:
  std::filesystem::path previous_;
};

// Files may grow to `limit` bytes while it lives, as on a file system that
// fills up; a write beyond fails instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit);
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit();

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

// Writes `bytes` to `path` exactly as given.
void writeBytes(const std::string& path, std::string_view bytes);
// The bytes of `path`; "<none>" when it cannot be read.
std::string fileBytes(const std::string& path);

}  // namespace zazir::testing

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <csignal>
#include <cstdio>
#include <stdexcept>

#include "platform/textfile.h"

namespace zazir::testing {

namespace {

std::string freshDirectory() {
  // Short: the log chooser's paths must stay far from its 79-byte limit.
  std::string pattern = ::testing::TempDir() + "zt_XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary directory");
  return pattern + "/";
}

}  // namespace

TempDir::TempDir() : dir(freshDirectory()) {}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

InDirectory::InDirectory(const std::filesystem::path& directory)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(directory);
}

InDirectory::~InDirectory() {
  std::filesystem::current_path(previous_);
}

FileSizeLimit::FileSizeLimit(rlim_t limit) {
  getrlimit(RLIMIT_FSIZE, &saved_);
  previous_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved_;
  limited.rlim_cur = limit;
  setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &saved_);
  std::signal(SIGXFSZ, previous_);
}

void writeBytes(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string fileBytes(const std::string& path) {
  return readBinaryFile(path).value_or("<none>");
}

}  // namespace zazir::testing

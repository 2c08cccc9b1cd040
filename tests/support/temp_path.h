// Temporary file names of one test process: ctest runs tests in parallel
// processes, and a name shared between them makes tests fail by chance.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace zazir::testing {

inline std::string tempPath(std::string_view name) {
  return ::testing::TempDir() + "zazir_" + std::to_string(::getpid()) + "_" + std::string(name);
}

}  // namespace zazir::testing

// An App for driver tests: a scripted console whose command runner records
// the commands, a configuration whose upload file lies in a fresh
// temporary directory, a hand-filled LogIndex and a log in memory. The
// test runs inside that directory, where the chat back-logs are.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/console.h"
#include "driver/app.h"
#include "platform/linestream.h"
#include "platform/textfile.h"
#include "support/scripted_backend.h"

namespace zazir::testing {

class AppTest : public ::testing::Test {
 protected:
  AppTest() {
    std::string pattern = ::testing::TempDir() + "zazir_driver_XXXXXX";
    const char* made = mkdtemp(pattern.data());
    if (made == nullptr) throw std::runtime_error("no temporary directory");
    directory_ = made;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
    config_.uploadfileDir = directory_ + "/";
    config_.uploadfile = "UPLOAD.TXT";
    config_.editor = "edit";
  }
  ~AppTest() override {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  // Replaces the log (the App refers to the stream, so it is refilled).
  void setLog(std::string bytes) { log_ = MemoryLineStream(std::move(bytes)); }

  std::string uploadBytes() const {
    return readBinaryFile(directory_ + "/UPLOAD.TXT").value_or("<none>");
  }

  ScriptedBackend backend_;
  std::vector<std::string> commands_;
  Console console_{backend_, [this](const std::string& line) {
                     commands_.push_back(line);
                     return 0;
                   }};
  Config config_;
  LogIndex index_;
  RunState state_;
  MemoryLineStream log_{""};
  App app_{console_, config_, index_, state_, log_};
  std::string directory_;
  std::filesystem::path previous_;
};

}  // namespace zazir::testing

#include "addressbook/test_app.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/textfile.h"

namespace zazir::testing {

TestApp::TestApp(std::string logBytes, LogIndex logIndex)
    : console(backend,
              [this](const std::string& commandLine) {
                commands.push_back(commandLine);
                if (editor) editor(commandLine);
                return 0;
              }),
      index(std::move(logIndex)),
      log(std::move(logBytes)),
      app{console, config, index, state, log} {
  std::string pattern = ::testing::TempDir() + "zazir_app_XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary directory");
  dir_ = pattern + "/";
  config.idfile = path("ID.TXT");
  config.grouplistfile = path("GROUP.TXT");
  config.cutfileDir = dir_;
  config.temporaryDir = dir_;
  config.uploadfileDir = dir_;
  config.uploadfile = "UPLOAD.TXT";
  config.editor = "edit";
}

TestApp::~TestApp() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string readBytes(const std::string& path) {
  return readBinaryFile(path).value_or("<none>");
}

}  // namespace zazir::testing

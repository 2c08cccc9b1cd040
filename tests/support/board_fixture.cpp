#include "support/board_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "compose/compose.h"
#include "compose/uploadfile.h"
#include "platform/textfile.h"

namespace zazir::testing {

LogOffset LogBuilder::add(std::string_view line) {
  const LogOffset at = size();
  bytes_ += line;
  bytes_ += "\r\n";
  return at;
}

LogOffset LogBuilder::addRaw(std::string_view bytes) {
  const LogOffset at = size();
  bytes_ += bytes;
  return at;
}

FakeEditor& FakeEditor::then(Edit edit) {
  edits_.push_back(std::move(edit));
  return *this;
}

FakeEditor& FakeEditor::writes(std::string bytes) {
  return then([bytes](const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  });
}

FakeEditor& FakeEditor::appends(std::string bytes) {
  return then([bytes](const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  });
}

FakeEditor& FakeEditor::keeps() {
  return then([](const std::string&) {});
}

FakeEditor& FakeEditor::deletes() {
  return then([](const std::string& path) { std::filesystem::remove(path); });
}

int FakeEditor::run(const std::string& commandLine) {
  commandLines.push_back(commandLine);
  found.push_back(fileBytes(tempPath_));
  if (!edits_.empty()) {
    const Edit edit = std::move(edits_.front());
    edits_.pop_front();
    edit(tempPath_);
  }
  return 0;
}

namespace {

std::string freshDirectory() {
  std::string pattern = ::testing::TempDir() + "zazir_boards_XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern + "/";
}

}  // namespace

BoardFixture::BoardFixture()
    : dir(freshDirectory()),
      editor(dir + "ZQ2OFF.TMP"),
      console(keys, [this](const std::string& line) { return editor.run(line); }) {
  config.editor = "myedit";
  config.editorOpt1 = "-a";
  config.temporaryDir = dir;
  config.uploadfileDir = dir;
  config.uploadfile = "TESTLOG.UPL  ";
  config.signature = dir + "signature.txt";  // absent unless a test writes it
  config.quotation = "%s> ";
  config.headReplyNews = sj("%sさんの#%s「%s」へ");
  config.headReplyNewsTitleChange = sj("%sさん(#%s)「%s」について");
}

BoardFixture::~BoardFixture() {
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

App& BoardFixture::app(const std::string& log) {
  log_ = std::make_unique<MemoryLineStream>(log);
  app_.emplace(App{console, config, index, state, *log_});
  return *app_;
}

void BoardFixture::addMessageBoard(LogOffset listOffset, int number, std::string name,
                                   std::string label) {
  index.messageBoards.push_back(BoardEntry{listOffset, number, std::move(name), std::move(label)});
}

void BoardFixture::addFileBoard(LogOffset listOffset, int number, std::string name,
                                std::string label) {
  index.fileBoards.push_back(BoardEntry{listOffset, number, std::move(name), std::move(label)});
}

std::string BoardFixture::tempPath() const {
  return tempFileName(config);
}
std::string BoardFixture::uploadPath() const {
  return uploadFileDiskPath(config);
}
std::string BoardFixture::uploadBytes() const {
  return fileBytes(uploadPath());
}
std::string BoardFixture::tempBytes() const {
  return fileBytes(tempPath());
}

std::string fileBytes(const std::string& path) {
  return readBinaryFile(path).value_or("<none>");
}

}  // namespace zazir::testing

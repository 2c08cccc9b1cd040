#include "support/test_app.h"

#include <filesystem>

#include "compose/compose.h"
#include "platform/textfile.h"
#include "services/uploadfile.h"
#include "text/format.h"

namespace zazir::testing {

std::string arrowRow(bool left, std::string_view bar, bool right) {
  std::string row = sj(left ? "←" : "　") + sj(bar);
  row.resize(76, ' ');
  return utf8(row + sj(right ? "→" : "　"));
}

std::string exampleLog() {
  return fileBytes(ZAZIR_SOURCE_DIR "/examples/DEMO.LOG");
}

std::vector<std::string> numbered(int count, const std::string& stem) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back(stem + std::to_string(i));
  return lines;
}

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

FakeEditor& FakeEditor::then(Edit edit, CommandResult result) {
  steps_.push_back({std::move(edit), result});
  return *this;
}

FakeEditor& FakeEditor::writes(std::string bytes) {
  return then([bytes](const std::string& path) { writeBytes(path, bytes); });
}

FakeEditor& FakeEditor::keeps() {
  return then([](const std::string&) {});
}

FakeEditor& FakeEditor::deletes() {
  return then([](const std::string& path) { std::filesystem::remove(path); });
}

FakeEditor& FakeEditor::ends(CommandResult result) {
  return then([](const std::string&) {}, result);
}

CommandResult FakeEditor::run(const std::string& commandLine) {
  commandLines.push_back(commandLine);
  // The names tests use need no quoting: the file runs to the next blank.
  const std::size_t at = commandLine.find(dir_);
  const std::string path =
      at == std::string::npos ? "" : commandLine.substr(at, commandLine.find(' ', at) - at);
  paths.push_back(path);
  found.push_back(fileBytes(path));
  if (steps_.empty()) return {};
  const Step step = std::move(steps_.front());
  steps_.pop_front();
  step.edit(path);
  return step.result;
}

TestApp::TestApp(std::string logBytes, LogIndex logIndex)
    : editor(dir),
      console(backend, [this](const std::string& line) { return editor.run(line); }),
      index(std::move(logIndex)),
      logBytes_(std::move(logBytes)),
      log_(logBytes_),
      openLog_{log_, "TEST.LOG", static_cast<LogOffset>(logBytes_.size()),
               [this](std::size_t) { return std::make_unique<MemoryLineStream>(logBytes_); }},
      app{console, config, index, state, openLog_, marks} {
  config.editor = "myedit";
  config.editorOpt1 = "-a";
  config.temporaryDir = dir;
  config.uploadfileDir = dir;
  config.cutfileDir = dir;
  config.uploadfile = "TESTLOG.UPL  ";  // the blanks are cut off
  state.uploadPath = uploadFileDiskPath(config);
  config.idfile = path("ID.TXT");
  config.grouplistfile = path("GROUP.TXT");
  config.signature = path("signature.txt");  // absent unless a test writes it
  config.quotation = "%s> ";
  config.headReplyNews = sj("%sさんの#%s「%s」へ");
  config.headReplyNewsTitleChange = sj("%sさん(#%s)「%s」について");
  // The editor takes the program's own bytes, so that what it finds reads
  // as the log does; the codeset tests choose otherwise.
  config.editorCode = EditorCode::Sjis;
}

App& TestApp::withLog(std::string bytes) {
  logBytes_ = std::move(bytes);
  log_ = MemoryLineStream(logBytes_);
  openLog_.size = static_cast<LogOffset>(logBytes_.size());
  return app;
}

void TestApp::addMessageBoard(LogOffset listOffset, int number, std::string name,
                              std::string label) {
  index.messageBoards.push_back(BoardEntry{listOffset, number, std::move(name), std::move(label)});
}

void TestApp::addFileBoard(LogOffset listOffset, int number, std::string name, std::string label) {
  index.fileBoards.push_back(BoardEntry{listOffset, number, std::move(name), std::move(label)});
}

void TestApp::messageBoard(int number, const std::string& name) {
  const std::string listing = formatText("%4i: %s", number, name);
  addMessageBoard(log.add(listing), number, name, listing);
}

void TestApp::fileBoard(int number, const std::string& name) {
  const std::string listing = formatText("%4i: %s", number, name);
  addFileBoard(log.add(listing), number, name, listing);
}

LogOffset TestApp::message(int number, std::string_view handle,
                           const std::vector<std::string>& body) {
  // The host writes four digits, so that the poster's ID starts at byte 24.
  const LogOffset at =
      log.add(formatText("Message  #%04i is from: ID%04i %s", number, number, handle));
  log.add("Date: 96/01/01");
  log.add(formatText("Title:message %i", number));
  for (const std::string& line : body) log.add(line);
  return at;
}

std::string TestApp::tempPath() const {
  return tempFileName(config);
}
std::string TestApp::uploadPath() const {
  return uploadFileDiskPath(config);
}
std::string TestApp::uploadBytes() const {
  return fileBytes(uploadPath());
}
std::string TestApp::tempBytes() const {
  return fileBytes(tempPath());
}

}  // namespace zazir::testing

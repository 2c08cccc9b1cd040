// Shared pieces of the screen tests: a log built line by line, an editor
// replaced by a script, and a whole App over them in a fresh directory.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/navigation.h"
#include "platform/linestream.h"
#include "services/app.h"
#include "support/scripted_backend.h"
#include "support/temp_dir.h"

namespace zazir::testing {

// A reader's status row as shown (UTF-8): the left arrow's place, `bar`,
// blanks up to column 76 and the right arrow's place.
std::string arrowRow(bool left, std::string_view bar, bool right);

// The bundled example log, examples/DEMO.LOG.
std::string exampleLog();

// "<stem>1", "<stem>2", ... "<stem><count>".
std::vector<std::string> numbered(int count, const std::string& stem = "line ");

// A log built line by line; each line gets CR LF.
class LogBuilder {
 public:
  // Appends `line` and CR LF; returns the line's offset.
  LogOffset add(std::string_view line);
  // Appends bytes as they stand; returns their offset.
  LogOffset addRaw(std::string_view bytes);
  LogOffset size() const { return static_cast<LogOffset>(bytes_.size()); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// The editor: every run records its command line and what the file it was
// given held, then does the next scripted edit and ends as scripted (none
// left: the file is left alone and the editor succeeds). The file is the
// one in `dir` that the command line names.
class FakeEditor {
 public:
  using Edit = std::function<void(const std::string& path)>;
  explicit FakeEditor(std::string dir) : dir_(std::move(dir)) {}

  FakeEditor& then(Edit edit, CommandResult result = {});
  // The file holds exactly `bytes` afterwards.
  FakeEditor& writes(std::string bytes);
  FakeEditor& keeps();
  FakeEditor& deletes();
  // The file is left alone and the editor ends with `result`.
  FakeEditor& ends(CommandResult result);

  CommandResult run(const std::string& commandLine);

  std::vector<std::string> commandLines;
  // The file each run was given, and its bytes as the run found them
  // ("<none>": missing).
  std::vector<std::string> paths;
  std::vector<std::string> found;

 private:
  struct Step {
    Edit edit;
    CommandResult result;
  };
  std::string dir_;
  std::deque<Step> steps_;
};

// A whole App: scripted keys, a configuration whose every file lies in a
// fresh temporary directory, a log in memory and a FakeEditor.
class TestApp : public TempDir {
 public:
  explicit TestApp(std::string logBytes = {}, LogIndex logIndex = {});

  // The App over `bytes` (by default the log built): the stream it reads
  // is refilled.
  App& withLog(std::string bytes);
  App& withLog() { return withLog(log.bytes()); }

  // Adds a message board or a file board to the index.
  void addMessageBoard(LogOffset listOffset, int number, std::string name, std::string label);
  void addFileBoard(LogOffset listOffset, int number, std::string name, std::string label);
  // A board's listing line ("   3: NAME") in `log`, and the board in the index.
  void messageBoard(int number, const std::string& name);
  void fileBoard(int number, const std::string& name);
  // A message in `log`: "Message  #0012 is from: ID0012 <handle>", a date,
  // "Title:message 12" and `body`. Returns its offset.
  LogOffset message(int number, std::string_view handle, const std::vector<std::string>& body);

  // ZQ2OFF.TMP, the temporary file's usual name.
  std::string tempPath() const;
  std::string uploadPath() const;
  // The upload file's bytes; "<none>" when it does not exist.
  std::string uploadBytes() const;
  std::string tempBytes() const;

  LogBuilder log;
  ScriptedBackend backend;
  FakeEditor editor;
  Console console;
  Config config;
  LogIndex index;
  RunState state;
  ReadMarks marks;  // kept nowhere unless a test loads them from a directory

 private:
  std::string logBytes_;
  MemoryLineStream log_;
  OpenLog openLog_;

 public:
  App app;
  Reading reading{app};  // what the readers keep across the run
};

}  // namespace zazir::testing

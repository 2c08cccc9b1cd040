// An App for the board writer and reader tests: a scripted console whose
// editor is a function acting on the temporary file, a configuration whose
// temporary and upload directories lie in a fresh directory, an index
// filled by hand and a log in memory.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/app.h"
#include "support/scripted_backend.h"

namespace zazir::testing {

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

// The editor: every run records its command line and what the temporary
// file held, then does the next scripted edit (none left: the file is left
// alone).
class FakeEditor {
 public:
  using Edit = std::function<void(const std::string& path)>;
  explicit FakeEditor(std::string tempPath) : tempPath_(std::move(tempPath)) {}

  FakeEditor& then(Edit edit);
  // The file holds exactly `bytes` afterwards.
  FakeEditor& writes(std::string bytes);
  // `bytes` added at the end.
  FakeEditor& appends(std::string bytes);
  FakeEditor& keeps();
  FakeEditor& deletes();

  int run(const std::string& commandLine);

  std::vector<std::string> commandLines;
  // The temporary file's bytes as each run found it ("<none>": missing).
  std::vector<std::string> found;

 private:
  std::string tempPath_;
  std::deque<Edit> edits_;
};

class BoardFixture {
 public:
  BoardFixture();
  ~BoardFixture();

  // The App over `log` (call once the index and configuration are set).
  App& app(const std::string& log);
  App& app(const LogBuilder& log) { return app(log.bytes()); }

  // Adds a message board or a file board to the index.
  void addMessageBoard(LogOffset listOffset, int number, std::string name, std::string label);
  void addFileBoard(LogOffset listOffset, int number, std::string name, std::string label);

  std::string tempPath() const;
  std::string uploadPath() const;
  // The upload file's bytes; "<none>" when it does not exist.
  std::string uploadBytes() const;
  std::string tempBytes() const;

  std::string dir;  // a fresh directory, with a trailing "/"
  ScriptedBackend keys;
  Config config;
  LogIndex index;
  RunState state;
  FakeEditor editor;
  Console console;

 private:
  std::unique_ptr<MemoryLineStream> log_;
  std::optional<App> app_;
};

// The bytes of a file; "<none>" when it cannot be read.
std::string fileBytes(const std::string& path);

}  // namespace zazir::testing

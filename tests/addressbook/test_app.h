// A whole App for screen tests of the address book, mail reader and mail
// sending: scripted keys, a configuration whose files live in a fresh
// temporary directory, a log in memory and an editor replaced by a
// function.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "driver/app.h"
#include "support/scripted_backend.h"

namespace zazir::testing {

class TestApp {
 public:
  explicit TestApp(std::string logBytes = {}, LogIndex logIndex = {});
  TestApp(const TestApp&) = delete;
  TestApp& operator=(const TestApp&) = delete;
  ~TestApp();

  // The directory (with its trailing "/") that every configured file is in.
  const std::string& dir() const { return dir_; }
  std::string path(const std::string& name) const { return dir_ + name; }

  ScriptedBackend backend;
  // Acts as the editor: gets the command line, and usually writes the
  // temporary file.
  std::function<void(const std::string& commandLine)> editor;
  std::vector<std::string> commands;  // every command line run
  Console console;
  Config config;
  LogIndex index;
  RunState state;
  MemoryLineStream log;
  App app;

 private:
  std::string dir_;
};

// Writes `bytes` to `path` exactly as given.
void writeBytes(const std::string& path, const std::string& bytes);
// The bytes of `path`, or "<none>" when it cannot be read.
std::string readBytes(const std::string& path);

}  // namespace zazir::testing

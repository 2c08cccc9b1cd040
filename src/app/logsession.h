// A log opened as the program opens the one it was started on: its
// settings derived from its name, its index, its read marks and the
// start-up questions. The main menu runs on one; the log chooser's search
// opens one for each log a hit is read in.
#pragma once

#include <memory>
#include <string>

#include "chooser/chooser.h"
#include "services/app.h"

namespace zazir {

struct StartupOptions;

class LogSession {
 public:
  // Opens `chosen` with `config` (read from `configPath`; empty: none);
  // a log that cannot be opened is fatal. A `firstRun` (no configuration
  // anywhere) is told where the files go.
  LogSession(Console& console, const StartupOptions& options, const Config& config,
             const std::string& configPath, const ChosenLog& chosen, bool firstRun);
  ~LogSession();
  LogSession(const LogSession&) = delete;
  LogSession& operator=(const LogSession&) = delete;

  App& app() { return app_; }
  // Keeps what the run leaves behind: the read marks, and the files marked
  // for download (written as a quit writes them) when `downloads`.
  void close(bool downloads);

 private:
  RunState state_;
  Config config_;
  LogIndex index_;
  ReadMarks marks_;
  std::unique_ptr<FileLineStream> log_;
  App app_;
};

}  // namespace zazir

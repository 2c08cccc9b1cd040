// A log opened as the program opens the one it was started on: its
// settings derived from its name, its index, its read marks and the
// start-up questions. The main menu runs on one; the log chooser's search
// opens one for each log a hit is read in.
#pragma once

#include <memory>
#include <string>

#include "app/navigation.h"
#include "chooser/chooser.h"
#include "console/dialogs.h"
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
  Reading& reading() { return reading_; }
  // Leaving the log: the quit's question about the files marked for
  // download, then the read marks kept.
  void leave();
  // The run ended by `exit` while the log was open: what the run keeps.
  void end(const ProgramExit& exit);

 private:
  RunState state_;
  Config config_;
  LogIndex index_;
  ReadMarks marks_;
  std::unique_ptr<FileLineStream> stream_;
  OpenLog log_;
  App app_;
  Reading reading_;
};

}  // namespace zazir

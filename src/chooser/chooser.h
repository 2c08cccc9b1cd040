// The communication log chooser: turns a pattern or a directory into one
// log file picked from a grid of names.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "console/keymap.h"

namespace zazir {

class Console;

// The log to open: its path as the program shows it (CP932), and as the
// operating system names it. They differ for a file name that has no CP932
// form, which is shown with a replacement mark.
struct ChosenLog {
  std::string path;
  std::string osPath;
};

// Searches the logs the chooser lists (`/`), from a layer above.
using LogsSearch = std::function<void(const std::vector<ChosenLog>& listed)>;

// `osArgument` is the log, pattern or directory as the operating system
// names it (as typed on the command line); `logfileDir` is CP932, from the
// configuration. A name without "*" or "?" that is not a directory (a
// trailing "/", or an existing directory) comes back without a screen. Otherwise the
// matching files are listed, in `logfileDir` when the name has no directory
// part, and the chosen one comes back. Leaving with Esc or Q ends the
// program with status 0; no matching file ends it with status 1. `/` hands
// the listed logs to `searchLogs`, when given.
ChosenLog chooseLogFile(Console& console, const std::string& osArgument,
                        const std::string& logfileDir, const LogsSearch& searchLogs = {});

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows chooserKeyRows();

}  // namespace zazir

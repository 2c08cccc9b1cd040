// The communication log chooser: turns a pattern or a directory into one
// log file picked from a grid of names.
#pragma once

#include <string>

namespace zazir {

class Console;

// Returns the path of the log to open (CP932). A name without "*" or "?"
// that is not a directory (a trailing "/", or an existing directory) comes
// back unchanged without a screen. Otherwise the matching files are listed,
// in `logfileDir` when the name has no directory part, and the chosen one's
// path is returned. Leaving with Esc or Q ends the program with status 0;
// no matching file ends it with status 1.
std::string chooseLogFile(Console& console, const std::string& logPath,
                          const std::string& logfileDir);

}  // namespace zazir

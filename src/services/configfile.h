// Reading the configuration file at start-up, where a file that cannot be
// used ends the run, and what start-up tells of the configuration.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/config.h"

namespace zazir {

class Console;

// Reads and parses the file at `path` over the built-in settings, so that
// a file naming a few settings leaves the others as a run without any file
// has them. A file that cannot be read or an invalid policy ends the
// program through fatalError, naming the values the policy takes. A name
// that is not quite a setting's (see NameNote) is told on the status row
// of the first screen; the lines returned tell every such name for
// standard error at the exit (CP932).
std::vector<std::string> loadConfiguration(Console& console, const std::string& path,
                                           Config& config);

// The status row of a first run (CP932): that there is no configuration
// file, where the user's own would go, and where the upload file is
// written, the paths shortened to fit.
std::string firstRunNotice(std::string_view configPlace, std::string_view uploadPath);

}  // namespace zazir

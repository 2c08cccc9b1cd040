// Reading the configuration file at start-up, where a file that cannot be
// used ends the run.
#pragma once

#include <string>

#include "formats/config.h"

namespace zazir {

class Console;

// Reads and parses the file at `path`; a file that cannot be read or an
// invalid policy ends the program through fatalError.
void loadConfiguration(Console& console, const std::string& path, Config& config);

}  // namespace zazir

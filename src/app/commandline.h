// What the command line asks for: the reader on a log, pattern or
// directory, or one of the commands that need no terminal.
#pragma once

#include <string>
#include <vector>

namespace zazir {

enum class CommandMode { Read, List, Export, Search, Help, Version, Usage };

struct CommandLine {
  CommandMode mode = CommandMode::Read;
  std::string logArgument;        // Read: the log, pattern or directory; empty for none
  std::string exportDirectory;    // Export: where the files go
  std::string searchText;         // Search: what to find
  std::vector<std::string> logs;  // List, Export and Search: logs or directories of logs
  std::string problem;            // Usage: what is wrong with the arguments
};

// `args` are the arguments after the program's name. For the reader only
// the first one counts, options after it included; "--" ends the options.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The one line that says how the program is called, for standard error.
extern const char kUsageLine[];

}  // namespace zazir

// Start-up: from the configuration to the main menu.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zazir {

class Console;
class LineStream;
struct Config;
struct LogIndex;

struct StartupOptions {
  std::string programPath;                       // argument zero, for the configuration file's name
  std::optional<std::string> logArgument;        // the log, a pattern or a directory, as typed
  const char* (*getenv)(const char*) = nullptr;  // the environment (replaceable in tests)
  std::string installedConfigDir;                // where the sample configuration is installed
  // Where the run leaves what is told on standard error after it (CP932
  // lines), when given.
  std::vector<std::string>* notesAtExit = nullptr;
};

// Runs ZAZIR until the user quits. Ends by throwing ProgramExit.
[[noreturn]] void runProgram(Console& console, const StartupOptions& options);

// The log file's base name: the part after its last "/", and its directory:
// the part up to it, "/" included (empty for none).
std::string logBaseName(const std::string& logPath);
std::string logDirectory(const std::string& logPath);

// Rewrites UPLOADFILE (cut and padded to 13 characters), IDFILE and
// GROUPLISTFILE with the log's base name, and puts the upload file beside
// the log when the configuration asks for that.
void deriveFileNames(Config& config, const std::string& logPath);

// Indexes the log; running out of memory on the way is fatal.
void indexLogAtStartup(Console& console, LineStream& log, LogIndex& index);

// Ends the program: the screen cleared, then ProgramExit with `status`.
[[noreturn]] void endProgram(Console& console, int status);

}  // namespace zazir

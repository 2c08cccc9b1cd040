// Running an external command through the command interpreter.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zazir {

// Runs a command line and waits for it; returns its exit status (or -1).
// The console hands the terminal over around every call; tests replace the
// runner by a function.
using CommandRunner = std::function<int(const std::string& commandLine)>;

// Runs `commandLine` (in the locale's codeset) with /bin/sh -c and waits.
int runShellCommand(const std::string& commandLine);

// `word` quoted for /bin/sh when it holds characters the shell would split
// or interpret; unchanged otherwise.
std::string shellQuote(std::string_view word);

}  // namespace zazir

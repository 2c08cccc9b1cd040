// Running an external command through the command interpreter.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zazir {

// How a command ended.
struct CommandResult {
  enum class End : std::uint8_t { Exited, NotStarted, Killed };
  End end = End::Exited;
  int code = 0;  // the exit status, or the signal that ended the command

  bool succeeded() const { return end == End::Exited && code == 0; }
  bool operator==(const CommandResult&) const = default;
};

// Runs a command line and waits for it. The console hands the terminal
// over around every call; tests replace the runner by a function.
using CommandRunner = std::function<CommandResult(const std::string& commandLine)>;

// Runs `commandLine` (in the locale's codeset) with /bin/sh -c and waits.
// The shell's own statuses are read as it means them: 127 and 126 (not
// found, not executable) as a command that never started, 128 + n as one
// killed by signal n.
CommandResult runShellCommand(const std::string& commandLine);

// `word` quoted for /bin/sh when it holds characters the shell would split
// or interpret; unchanged otherwise.
std::string shellQuote(std::string_view word);

}  // namespace zazir

#include "platform/command.h"

#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>
#include <cerrno>
#include <csignal>

namespace zazir {

namespace {

CommandResult resultOf(int status) {
  using End = CommandResult::End;
  if (WIFSIGNALED(status)) return {End::Killed, WTERMSIG(status)};
  if (!WIFEXITED(status)) return {End::NotStarted, -1};
  const int code = WEXITSTATUS(status);
  if (code == 126 || code == 127) return {End::NotStarted, code};
  if (code > 128 && code < 128 + NSIG) return {End::Killed, code - 128};
  return {End::Exited, code};
}

}  // namespace

CommandResult runShellCommand(const std::string& commandLine) {
  // As system() does: the keyboard's signals belong to the command while it
  // runs, not to the program waiting for it.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  struct sigaction savedInt {};
  struct sigaction savedQuit {};
  sigaction(SIGINT, &ignore, &savedInt);
  sigaction(SIGQUIT, &ignore, &savedQuit);
  struct Restore {
    const struct sigaction& interrupt;
    const struct sigaction& quit;
    ~Restore() {
      sigaction(SIGINT, &interrupt, nullptr);
      sigaction(SIGQUIT, &quit, nullptr);
    }
  } restore{savedInt, savedQuit};

  const pid_t child = fork();
  if (child < 0) return {CommandResult::End::NotStarted, -1};
  if (child == 0) {
    // The child gets the signal dispositions a shell expects.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGQUIT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    std::signal(SIGWINCH, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return {CommandResult::End::NotStarted, -1};
  }
  return resultOf(status);
}

std::string shellQuote(std::string_view word) {
  const bool plain = !word.empty() && word.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_-./+,:@%=") == std::string_view::npos;
  if (plain) return std::string(word);
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  quoted += '\'';
  return quoted;
}

}  // namespace zazir

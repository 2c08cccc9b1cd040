#include "platform/command.h"

#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>
#include <cerrno>
#include <csignal>

namespace zazir {

int runShellCommand(const std::string& commandLine) {
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
  if (child < 0) return -1;
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
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

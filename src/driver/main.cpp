#include <clocale>
#include <cstdio>

#include "console/console.h"
#include "console/dialogs.h"
#include "console/terminal.h"
#include "platform/encoding.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::setlocale(LC_ALL, "");
  auto terminal = zazir::PosixTerminal::open();
  if (!terminal) {
    std::fprintf(stderr, "zazir: standard input and output must be a terminal\n");
    return 1;
  }
  int status = 0;
  std::string message;
  try {
    zazir::Console console(*terminal);
    console.clearScreen();
    console.getKey();
  } catch (const zazir::ProgramExit& exit) {
    status = exit.status;
    message = exit.message;
  }
  terminal.reset();
  if (!message.empty()) std::fprintf(stderr, "%s\n", zazir::fromOsName(message).c_str());
  return status;
}

// The entry point: the terminal is taken here and given back on every way
// out, whatever ends the program.
#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/startup.h"
#include "console/console.h"
#include "console/dialogs.h"
#include "console/terminal.h"
#include "export/commandline.h"
#include "export/exporter.h"
#include "export/listing.h"
#include "platform/encoding.h"

namespace {

const char kUsage[] =
    "Usage: zazir [LOG | PATTERN | DIRECTORY]\n"
    "       zazir --list LOG...\n"
    "       zazir --export DIR LOG...\n"
    "\n"
    "Reads the communication log of a visit to a bulletin-board host and\n"
    "turns what you write into commands of the upload file.\n"
    "\n"
    "  LOG        the communication log to read\n"
    "  PATTERN    a wildcard pattern (\"*.LOG\"): pick the log from a list\n"
    "  DIRECTORY  pick the log from the files of a directory\n"
    "  (none)     pick the log from the files of LOGFILE_DIR\n"
    "\n"
    "  --list LOG...        print one tab-separated line for each mail, board,\n"
    "                       file board, chat board and the Notewall of the logs\n"
    "  --export DIR LOG...  write the logs' mail (DIR/mail.mbox), message boards\n"
    "                       (DIR/boards/NAME.mbox), file boards (DIR/files/NAME.txt),\n"
    "                       chat (DIR/chat/NAME.txt) and Notewall (DIR/notewall.txt)\n"
    "                       in UTF-8, merged in log order, each message once;\n"
    "                       an existing file is never overwritten\n"
    "  A directory among the logs stands for its files, in name order. Both\n"
    "  commands run without a terminal and without a configuration file.\n"
    "\n"
    "  -h, --help     show this text and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "The configuration is read from ZAZIR.CFG (see zazir(1)).\n"
    "Exit status: 0 after a quit, 1 when no log can be chosen, 50 after a\n"
    "fatal error. --list and --export: 0 when done, 1 when the logs hold\n"
    "nothing to export, 2 on bad arguments, 50 on a file error.\n";

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  // A file that reaches the size limit (ulimit -f) fails its write, which
  // is told and undone, instead of ending the program mid-command with the
  // terminal left raw.
  std::signal(SIGXFSZ, SIG_IGN);
  zazir::StartupOptions options;
  options.programPath = argc > 0 ? argv[0] : "zazir";
  const zazir::CommandLine command =
      zazir::parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
  switch (command.mode) {
    case zazir::CommandMode::Help:
      std::fputs(kUsage, stdout);
      return 0;
    case zazir::CommandMode::Version:
      std::printf("zazir %s\n", ZAZIR_VERSION);
      return 0;
    case zazir::CommandMode::Usage:
      std::fprintf(stderr, "zazir: %s\n%s", command.problem.c_str(), zazir::kUsageLine);
      return zazir::kExitUsage;
    case zazir::CommandMode::List:
      return zazir::runList(command.logs, stdout, stderr);
    case zazir::CommandMode::Export:
      return zazir::runExport(command.exportDirectory, command.logs, stderr);
    case zazir::CommandMode::Read:
      if (!command.logArgument.empty())
        options.logArgument = zazir::fromOsName(command.logArgument);
      break;
  }

  auto terminal = zazir::PosixTerminal::open();
  if (!terminal) {
    std::fprintf(stderr, "zazir: standard input and output must be a terminal\n");
    return 1;
  }
  int status = 0;
  std::string message;
  try {
    zazir::Console console(*terminal);
    zazir::runProgram(console, options);
  } catch (const zazir::ProgramExit& exit) {
    status = exit.status;
    message = exit.message;
  } catch (const std::exception& error) {
    status = zazir::kExitFatal;
    message = error.what();
  }
  terminal.reset();  // the terminal is the user's again before anything is printed
  if (!message.empty()) std::fprintf(stderr, "%s\n", zazir::toOsName(message).c_str());
  return status;
}

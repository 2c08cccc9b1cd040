// The entry point: the terminal is taken here and given back on every way
// out, whatever ends the program.
#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "app/commandline.h"
#include "app/startup.h"
#include "console/console.h"
#include "console/dialogs.h"
#include "console/terminal.h"
#include "export/exporter.h"
#include "export/listing.h"
#include "export/logset.h"
#include "export/searchcommand.h"
#include "platform/encoding.h"

namespace {

const char kUsage[] =
    "Usage: zazir [LOG | PATTERN | DIRECTORY]\n"
    "       zazir --list LOG...\n"
    "       zazir --export DIR LOG...\n"
    "       zazir --search TEXT LOG...\n"
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
    "                       into an earlier export, only what is new is added\n"
    "  --search TEXT LOG... print one tab-separated line for each place the text\n"
    "                       is found (log, section, board, number, ID, title, line),\n"
    "                       matched as the search in the reader matches it\n"
    "  A directory among the logs stands for its files, in name order (for\n"
    "  --search, those that read as logs). These commands run without a\n"
    "  terminal and without a configuration file.\n"
    "\n"
    "  -h, --help     show this text and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "The configuration is read from ZAZIR.CFG (see zazir(1)).\n"
    "Exit status: 0 after a quit, 1 when no log can be chosen or the terminal\n"
    "cannot be used, 50 after a fatal error. --list and --export: 0 when done,\n"
    "1 when the logs hold nothing to export, 2 on bad arguments, 50 on a file\n"
    "error. --search: 0 when found, 1 when not, 2 and 50 as above.\n";

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Terminals that cannot place the cursor: a full screen would come out as
// a stream of escape sequences.
bool canPlaceCursor(const std::string& term) {
  for (std::string_view incapable : {"", "dumb", "unknown", "network", "dialup", "lpr", "printer"}) {
    if (term == incapable) return false;
  }
  return true;
}

// A message of the program (CP932) as the terminal shows it.
std::string forTerminal(const std::string& cp932, const std::string& codeset) {
  if (zazir::isCp932Codeset(codeset)) return cp932;
  return zazir::Converter(codeset, "CP932").convert(cp932).value_or(cp932);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  // A file that reaches the size limit (ulimit -f) fails its write, which
  // is told and undone, instead of ending the program mid-command with the
  // terminal left raw.
  std::signal(SIGXFSZ, SIG_IGN);
  zazir::StartupOptions options;
  options.programPath = argc > 0 ? argv[0] : "zazir";
  options.installedConfigDir = ZAZIR_SYSCONFDIR "/xdg";
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
    case zazir::CommandMode::Search:
      return zazir::runSearch(command.searchText, command.logs, stdout, stderr);
    case zazir::CommandMode::Read:
      if (!command.logArgument.empty()) options.logArgument = command.logArgument;
      break;
  }

  const std::string forced = environment("ZAZIR_CHARSET");
  const std::optional<std::string> codeset =
      zazir::terminalCodeset(zazir::localeCodeset(), forced);
  if (!codeset) {
    std::fprintf(stderr, "zazir: ZAZIR_CHARSET=%s: use UTF-8 or SJIS\n", forced.c_str());
    return 1;
  }
  const std::string term = environment("TERM");
  if (!canPlaceCursor(term)) {
    std::fprintf(stderr,
                 "zazir: the terminal (TERM=%s) cannot place the cursor; run zazir in a\n"
                 "full-screen terminal such as xterm, or set TERM to its type\n",
                 term.c_str());
    return 1;
  }
  const zazir::Colours colours =
      environment("NO_COLOR").empty() ? zazir::Colours::On : zazir::Colours::Off;
  auto terminal = zazir::PosixTerminal::open(*codeset, colours);
  if (!terminal) {
    std::fprintf(stderr, "zazir: standard input and output must be a terminal\n");
    return 1;
  }
  std::vector<std::string> notes;
  options.notesAtExit = &notes;
  int status = 0;
  std::string message;
  std::string detail;
  try {
    zazir::Console console(*terminal);
    zazir::runProgram(console, options);
  } catch (const zazir::ProgramExit& exit) {
    status = exit.status;
    message = exit.message;
    detail = exit.detail;
  } catch (const std::exception& error) {
    status = zazir::kExitFatal;
    message = error.what();
  }
  terminal.reset();  // the terminal is the user's again before anything is printed
  for (const std::string& note : notes) {
    std::fprintf(stderr, "zazir: %s\n", forTerminal(note, *codeset).c_str());
  }
  if (!message.empty()) std::fprintf(stderr, "%s\n", forTerminal(message, *codeset).c_str());
  if (!detail.empty()) std::fprintf(stderr, "zazir: %s\n", detail.c_str());
  return status;
}

// The entry point: the terminal is taken here and given back on every way
// out, whatever ends the program.
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "console/console.h"
#include "console/dialogs.h"
#include "console/terminal.h"
#include "platform/encoding.h"

namespace {

const char kUsage[] =
    "Usage: zazir [LOG | PATTERN | DIRECTORY]\n"
    "\n"
    "Reads the communication log of a visit to a bulletin-board host and\n"
    "turns what you write into commands of the upload file.\n"
    "\n"
    "  LOG        the communication log to read\n"
    "  PATTERN    a wildcard pattern (\"*.LOG\"): pick the log from a list\n"
    "  DIRECTORY  pick the log from the files of a directory\n"
    "  (none)     pick the log from the files of LOGFILE_DIR\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "The configuration is read from ZAZIR.CFG (see zazir(1)).\n"
    "Exit status: 0 after a quit, 1 when no log can be chosen or the terminal\n"
    "cannot be used, 50 after a fatal error.\n";

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
  // Only the first argument is used; further ones are ignored, options
  // included.
  if (argc > 1) {
    if (std::strcmp(argv[1], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
      std::printf("zazir %s\n", ZAZIR_VERSION);
      return 0;
    }
    options.logArgument = zazir::fromOsName(argv[1]);
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
  if (!message.empty()) std::fprintf(stderr, "%s\n", forTerminal(message, *codeset).c_str());
  if (!detail.empty()) std::fprintf(stderr, "zazir: %s\n", detail.c_str());
  return status;
}

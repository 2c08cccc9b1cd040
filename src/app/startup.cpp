#include "app/startup.h"

#include <cstdlib>
#include <new>

#include "app/logsearchscreen.h"
#include "app/logsession.h"
#include "app/mainmenu.h"
#include "chooser/chooser.h"
#include "console/dialogs.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/configfile.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

std::string logBaseName(const std::string& logPath) {
  const std::size_t slash = logPath.rfind('/');
  return slash == std::string::npos ? logPath : logPath.substr(slash + 1);
}

std::string logDirectory(const std::string& logPath) {
  const std::size_t slash = logPath.rfind('/');
  return slash == std::string::npos ? std::string() : logPath.substr(0, slash + 1);
}

void deriveFileNames(Config& config, const std::string& logPath) {
  const std::string base = logBaseName(logPath);
  config.uploadfile = formatText("%-13.13s", formatConfigured(config.uploadfile, {base}));
  config.idfile = formatConfigured(config.idfile, {base});
  config.grouplistfile = formatConfigured(config.grouplistfile, {base});
  if (config.uploadBesideLog) config.uploadfileDir = logDirectory(logPath);
}

void endProgram(Console& console, int status) {
  console.clearScreen();
  console.present();
  throw ProgramExit{status, {}};
}

void indexLogAtStartup(Console& console, LineStream& log, LogIndex& index) {
  try {
    indexLog(log, index);
    return;
  } catch (const std::bad_alloc&) {
    index = LogIndex{};  // its room may be what telling the failure needs
  }
  // The mail table is what grows with the log.
  fatalError(console, "メール用にメモリを確保できませんでした。"_sj);
}

void runProgram(Console& console, const StartupOptions& options) {
  Config config = builtInConfiguration();
  const std::optional<std::string> configPath =
      findConfigurationFile(options.programPath, options.getenv, options.installedConfigDir);
  if (configPath) {
    const std::vector<std::string> notes = loadConfiguration(console, *configPath, config);
    if (options.notesAtExit) {
      options.notesAtExit->insert(options.notesAtExit->end(), notes.begin(), notes.end());
    }
  }
  const std::string configFile = configPath.value_or("");
  const LogsSearch searchLogs = [&](const std::vector<ChosenLog>& listed) {
    searchListedLogs(console, listed, [&](const ChosenLog& log) {
      return std::make_unique<LogSession>(console, options, config, configFile, log, false);
    });
  };
  const ChosenLog chosen =
      chooseLogFile(console, options.logArgument.value_or("*.*"), config.logfileDir, searchLogs);
  LogSession session(console, options, config, configFile, chosen, !configPath);
  runMainMenu(session.reading());
}

}  // namespace zazir

#include "driver/startup.h"

#include <new>

#include "chooser/chooser.h"
#include "compose/uploadfile.h"
#include "console/cp932.h"
#include "console/dialogs.h"
#include "driver/app.h"
#include "driver/chat.h"
#include "driver/logguard.h"
#include "driver/mainmenu.h"
#include "platform/encoding.h"

namespace zazir {

using namespace literals;

std::string logBaseName(const std::string& logPath) {
  const std::size_t slash = logPath.rfind('/');
  return slash == std::string::npos ? logPath : logPath.substr(slash + 1);
}

void deriveFileNames(Config& config, const std::string& logPath) {
  const std::string base = logBaseName(logPath);
  config.uploadfile = formatText("%-13.13s", formatConfigured(config.uploadfile, {base}));
  config.idfile = formatConfigured(config.idfile, {base});
  config.grouplistfile = formatConfigured(config.grouplistfile, {base});
}

void endProgram(Console& console, int status) {
  console.clearScreen();
  console.present();
  throw ProgramExit{status, {}};
}

void runProgram(Console& console, const StartupOptions& options) {
  RunState state;
  Config config;
  const std::optional<std::string> configPath =
      findConfigurationFile(options.programPath, options.getenv);
  if (!configPath) fatalError(console, "設定ファイルが開けません。"_sj);
  state.configPath = *configPath;
  loadConfiguration(console, state.configPath, config);

  state.logPath = chooseLogFile(console, options.logArgument.value_or("*.*"), config.logfileDir);
  std::unique_ptr<FileLineStream> log = FileLineStream::open(toOsName(state.logPath), 10000);
  if (!log) fatalError(console, "通信ログファイルが開けません。"_sj);
  state.logIdentity = log->identity();

  LogIndex index;
  const int mailCount = countMails(*log);
  try {
    index.mails.reserve(static_cast<std::size_t>(mailCount));
  } catch (const std::bad_alloc&) {
    fatalError(console, "メール用にメモリを確保できませんでした。"_sj);
  }

  deriveFileNames(config, state.logPath);
  App app{console, config, index, state, *log};
  refuseSettingsNamingTheLog(app);
  applyUploadFilePolicy(app);
  indexLog(*log, index, mailCount);
  applyLineChatPolicy(app);
  runMainMenu(app);
}

}  // namespace zazir

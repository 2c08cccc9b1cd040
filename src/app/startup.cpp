#include "app/startup.h"

#include <cstdlib>
#include <new>

#include "app/mainmenu.h"
#include "chat/chatrecord.h"
#include "chooser/chooser.h"
#include "console/dialogs.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "readers/series.h"
#include "readers/unread.h"
#include "services/app.h"
#include "services/configfile.h"
#include "services/logguard.h"
#include "services/uploadfile.h"
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

namespace {

// The read marks of the log at `logOsPath`, known by its index, from the
// state directory the environment names; marks for this run only when
// there is none.
ReadMarks loadReadMarks(const StartupOptions& options, const std::string& logOsPath,
                        const LogIndex& index, LogOffset logBytes) {
  const auto environment = [&](const char* name) -> const char* {
    return options.getenv ? options.getenv(name) : std::getenv(name);
  };
  const std::optional<std::string> directory =
      stateDirectory(environment("XDG_STATE_HOME"), environment("HOME"));
  return directory
             ? ReadMarks::load(*directory, index, static_cast<std::uint64_t>(logBytes), logOsPath)
             : ReadMarks{};
}

}  // namespace

void runProgram(Console& console, const StartupOptions& options) {
  RunState state;
  Config config = builtInConfiguration();
  const std::optional<std::string> configPath =
      findConfigurationFile(options.programPath, options.getenv, options.installedConfigDir);
  if (configPath) {
    state.configPath = *configPath;
    const std::vector<std::string> notes = loadConfiguration(console, state.configPath, config);
    if (options.notesAtExit) {
      options.notesAtExit->insert(options.notesAtExit->end(), notes.begin(), notes.end());
    }
  }

  const ChosenLog chosen =
      chooseLogFile(console, options.logArgument.value_or("*.*"), config.logfileDir);
  std::unique_ptr<FileLineStream> stream = FileLineStream::open(chosen.osPath, 10000);
  if (!stream) {
    fatalError(console, "通信ログファイルが開けません。"_sj, osOpenProblem(chosen.osPath));
  }
  state.logIdentity = stream->identity();
  OpenLog log{*stream, chosen.path, 0, [osPath = chosen.osPath](std::size_t bufferBytes) {
                return std::unique_ptr<LineStream>(FileLineStream::open(osPath, bufferBytes));
              }};

  deriveFileNames(config, log.path);
  state.uploadPath = uploadFileDiskPath(config);
  // A first run needs no file; the first screen tells where one would go.
  if (!configPath) {
    console.showOnce(
        firstRunNotice(userConfigurationFile(options.getenv), uploadFileDiskPath(config)));
  }
  LogIndex index;
  ReadMarks marks;  // known once the index is
  App app{console, config, index, state, log, marks};
  chooseSettingFiles(app);
  refuseSettingsNamingTheLog(app);
  applyUploadFilePolicy(app);
  indexLogAtStartup(console, *stream, index);
  log.size = stream->tell();
  marks = loadReadMarks(options, chosen.osPath, index, log.size);
  trackSeries(app, mailSeries(index));
  applyLineChatPolicy(app);
  Reading reading{app};
  runMainMenu(reading);
}

}  // namespace zazir

#include "app/logsession.h"

#include <cstdlib>

#include "app/mainmenu.h"
#include "app/startup.h"
#include "chat/chatrecord.h"
#include "console/dialogs.h"
#include "formats/hostcommands.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "readers/series.h"
#include "readers/unread.h"
#include "services/configfile.h"
#include "services/logguard.h"
#include "services/uploadfile.h"

namespace zazir {

using namespace literals;

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

std::unique_ptr<FileLineStream> openOrEnd(Console& console, const std::string& osPath) {
  std::unique_ptr<FileLineStream> log = FileLineStream::open(osPath, 10000);
  if (!log) fatalError(console, "通信ログファイルが開けません。"_sj, osOpenProblem(osPath));
  return log;
}

}  // namespace

LogSession::LogSession(Console& console, const StartupOptions& options, const Config& config,
                       const std::string& configPath, const ChosenLog& chosen, bool firstRun)
    : config_(config),
      stream_(openOrEnd(console, chosen.osPath)),
      log_{*stream_, chosen.path, 0,
           [osPath = chosen.osPath](std::size_t bufferBytes) {
             return std::unique_ptr<LineStream>(FileLineStream::open(osPath, bufferBytes));
           }},
      app_{console, config_, index_, state_, log_, marks_},
      reading_{app_} {
  state_.configPath = configPath;
  state_.logIdentity = stream_->identity();
  deriveFileNames(config_, log_.path);
  state_.uploadPath = uploadFileDiskPath(config_);
  // A first run needs no file; the first screen tells where one would go.
  if (firstRun) {
    console.showOnce(
        firstRunNotice(userConfigurationFile(options.getenv), uploadFileDiskPath(config_)));
  }
  chooseSettingFiles(app_);
  refuseSettingsNamingTheLog(app_);
  applyUploadFilePolicy(app_);
  indexLogAtStartup(console, *stream_, index_);
  log_.size = stream_->tell();
  marks_ = loadReadMarks(options, chosen.osPath, index_, log_.size);
  trackSeries(app_, mailSeries(index_));
  applyLineChatPolicy(app_);
}

LogSession::~LogSession() = default;

void LogSession::leave() {
  offerDownloads(app_, reading_.downloads);
  saveReadMarks(app_.console, marks_);
}

void LogSession::end(const ProgramExit& exit) {
  keepWhatTheRunLeaves(reading_, exit);
}

}  // namespace zazir

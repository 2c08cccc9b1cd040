#include "services/logguard.h"

#include <vector>

#include "console/dialogs.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/format.h"

namespace zazir {

using namespace literals;

std::string theLogRefusedText(std::string_view file) {
  return refusedFileText(AppendOutcome::IsTheLog, file);
}

std::string refusedFileText(AppendOutcome outcome, std::string_view file) {
  switch (outcome) {
    case AppendOutcome::IsTheLog:
      return formatText(
          "　%sは通信ログファイルそのものです。\n"
          "　通信ログファイルには書き込みません。"_sj,
          file);
    case AppendOutcome::IsALog:
      return formatText(
          "　%sは、\n"
          "　通信ログファイル（通信の記録）と読めます。\n"
          "　通信ログファイルには書き込みません。"_sj,
          file);
    case AppendOutcome::IsALink:
      return formatText(
          "　%sは、\n"
          "　シンボリックリンクです。選んだ後に置かれたリンクや、\n"
          "　他のユーザーのリンクの先には書き込みません。"_sj,
          file);
    case AppendOutcome::NotAFile:
      return formatText(
          "　%sは、\n"
          "　通常のファイルではありません。\n"
          "　装置やパイプ、ディレクトリには書き込みません。"_sj,
          file);
    case AppendOutcome::NotYours:
      return formatText(
          "　%sは、\n"
          "　ほかのユーザーのファイルです。\n"
          "　メールなど、人に読まれてはならない内容は書き込みません。"_sj,
          file);
    case AppendOutcome::CommandsOnly:
      return formatText(
          "　%sは、\n"
          "　アップロードファイルです。ホストへのコマンドのほかは\n"
          "　書き込みません（ホストでコマンドとして読まれます）。"_sj,
          file);
    case AppendOutcome::Written:
    case AppendOutcome::NotOpened:
    case AppendOutcome::NotWritten:
      break;
  }
  return formatText("　%sに書き込めませんでした。"_sj, file);
}

namespace {

struct SettingFile {
  const char* setting;
  std::string path;
};

std::vector<SettingFile> settingFiles(const Config& config) {
  return {{"UPLOADFILE", uploadFileDiskPath(config)},
          {"IDFILE", config.idfile},
          {"GROUPLISTFILE", config.grouplistfile}};
}

}  // namespace

void chooseSettingFiles(App& app) {
  for (const auto& [setting, path] : settingFiles(app.config)) {
    if (std::optional<std::string> target = ownLinkTarget(path)) {
      app.state.settledLinks[path] = std::move(*target);
    }
  }
}

void refuseSettingsNamingTheLog(App& app) {
  const std::vector<SettingFile> settings = settingFiles(app.config);
  for (const auto& [setting, path] : settings) {
    if (app.state.isTheLog(path)) {
      fatalError(app.console, formatText("%s の指定[%s]は通信ログファイルそのものです。\n"
                                         "設定ファイル内の%s=の項を確認してください。"_sj,
                                         setting, path, setting));
    }
  }
  for (const auto& [setting, path] : settings) {
    if (refusalOf(path, app.state.commandGuard()) != AppendOutcome::IsALog) continue;
    noticeBox(app.console, "通信ログファイルには書き込みません"_sj,
              formatText("　%s の指定[%s]は、\n"
                         "　別の通信ログファイル（通信の記録）と読めます。\n"
                         "　このファイルには書き込まず、削除もしません。\n"
                         "　設定ファイル内の%s=の項を確認してください。"_sj,
                         setting, path, setting));
  }
}

}  // namespace zazir

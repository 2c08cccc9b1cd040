#include "services/uploadfile.h"

#include <cstdlib>

#include "console/dialogs.h"
#include "formats/hostcommands.h"
#include "platform/command.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/logguard.h"

namespace zazir {

using namespace literals;

namespace {

AppendOutcome appendCommand(App& app, const HostCommand& command) {
  // The commands carry replies to private mail. A command starts a line of
  // its own, and before any end mark, whatever an editor left (F).
  return appendText({uploadFileDiskPath(app.config), AppendRule::OwnLine,
                     AppendMode::CreateIfMissing, app.state.commandGuard(), NewFile::Private},
                    command.bytes());
}

std::string refusalText(const CommandRefusal& refusal) {
  switch (refusal.fault) {
    case CommandFault::BlankAnswer:
      return "　空白だけの答えは、ホストでは取り消しと読まれます。"_sj;
    case CommandFault::BadNumber:
      return formatText("　番号[%s]は、ホストでは番号として読まれません。"_sj, refusal.value);
    case CommandFault::BadId:
      return formatText(
          "　ID[%s]は、ホストでは一つのIDとして読まれません\n"
          "　（空白、；、制御文字、0だけのIDは送信先にできません）。"_sj,
          refusal.value);
    case CommandFault::NoRecipients:
      return "　送信先がありません。"_sj;
  }
  return {};
}

void reportUploadFailure(App& app, AppendOutcome outcome, std::string_view lost) {
  const std::string file = formatText("アップロードファイル[%s]"_sj, uploadFilePath(app.config));
  const std::string why =
      isRefusal(outcome)
          ? refusedFileText(outcome, file)
          : formatText(
                "　%sに書き込めませんでした。\n"
                "　ディレクトリと書き込みの許可、ディスクの空きを確認してください。"_sj,
                file);
  noticeBox(app.console, "アップロードファイルに書き込めません"_sj,
            formatText("%s\n\n%s", why, lost));
}

}  // namespace

std::string uploadFilePath(const Config& config) {
  return config.uploadfileDir + config.uploadfile;
}

std::string uploadFileDiskPath(const Config& config) {
  std::string name = config.uploadfile;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return config.uploadfileDir + name;
}

bool tellRefusal(Console& console, const HostCommand& command) {
  if (!command.refusal()) return false;
  noticeBox(console, "ホストへのコマンドにできません"_sj,
            formatText("%s\n\n　アップロードファイルには何も書き込んでいません。"_sj,
                       refusalText(*command.refusal())));
  return true;
}

bool appendToUploadFile(App& app, const HostCommand& command) {
  if (tellRefusal(app.console, command)) return false;
  const AppendOutcome outcome = appendCommand(app, command);
  if (outcome == AppendOutcome::Written) return true;
  reportUploadFailure(app, outcome, formatText("　書き込めなかった内容：\n%s"_sj, command.bytes()));
  return false;
}

bool appendComposedCommand(App& app, const HostCommand& firstLines, std::string_view body,
                           const std::string& keptPath) {
  const HostCommand command = composedCommand(firstLines, body);
  if (tellRefusal(app.console, command)) return false;
  const AppendOutcome outcome = appendCommand(app, command);
  if (outcome == AppendOutcome::Written) return true;
  reportUploadFailure(app, outcome,
                      formatText("　書いた文章はファイル[%s]に残してあります。"_sj, keptPath));
  return false;
}

std::string editorCommand(const Config& config) {
  if (!config.editor.empty()) return config.editor;
  for (const char* name : {"VISUAL", "EDITOR"}) {
    const char* value = std::getenv(name);
    if (value && *value) return fromOsName(value);
  }
  return "vi";
}

bool runEditorOn(App& app, const std::string& path, std::string_view afterFailure) {
  const Config& config = app.config;
  const std::string command = formatText("%s %s %s %s", editorCommand(config), config.editorOpt1,
                                         shellQuote(path), config.editorOpt2);
  const CommandResult result = app.console.runCommand(command);
  if (result.succeeded()) return true;
  std::string reason;
  switch (result.end) {
    case CommandResult::End::NotStarted:
      reason = "　エディタを起動できませんでした（見つからないか、実行できません）。"_sj;
      break;
    case CommandResult::End::Killed:
      reason = formatText("　エディタがシグナル%iで終了させられました。"_sj, result.code);
      break;
    case CommandResult::End::Exited:
      reason = formatText("　エディタが終了コード%iで終了しました。"_sj, result.code);
      break;
  }
  noticeBox(app.console, "エディタが正しく終了しませんでした"_sj,
            formatText("%s\n　コマンド：%s\n\n%s"_sj, reason, command, afterFailure));
  return false;
}

void applyUploadFilePolicy(App& app) {
  const std::string path = uploadFileDiskPath(app.config);
  const FileGuard guard = app.state.commandGuard();
  // A log, a link or a device is never offered for deletion, let alone
  // deleted (the start-up check has told of a log).
  if (refusalOf(path, guard)) return;
  switch (app.config.uploadFileExist) {
    case UploadFileExist::WriteAppend:
      return;
    case UploadFileExist::WriteKillout:
      removeFile(path, guard);
      return;
    case UploadFileExist::WriteQuestion: {
      // Asked only when there is a first byte to read.
      const std::optional<std::string> first = readBinaryFile(path, 1);
      if (!first || first->empty()) return;
      Console& console = app.console;
      console.clearScreen();
      console.setCursor(0, 11);
      console.putText("アップロードファイル[%s]が、すでに存在します。削除しますか？"_sj,
                      uploadFilePath(app.config));
      if (askYesNo(console, YesNoMode::NoDefault)) removeFile(path, guard);
      return;
    }
  }
}

}  // namespace zazir

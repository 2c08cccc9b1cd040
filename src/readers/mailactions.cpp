#include "readers/mailactions.h"

#include "console/dialogs.h"
#include "formats/addressfiles.h"
#include "formats/loglines.h"
#include "formats/maillog.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/logguard.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

void tellNotWritten(Console& console, std::string_view what, const std::string& path,
                    AppendOutcome outcome) {
  const std::string file = formatText("ファイル[%s]"_sj, path);
  noticeBox(
      console, "ファイルに書き込めません"_sj,
      isRefusal(outcome)
          ? refusedFileText(outcome, file)
          : formatText("　%sを%sに書き込めませんでした。\n"
                       "　ディレクトリと書き込みの許可、ディスクの空きを確認してください。"_sj,
                       what, file));
}

}  // namespace

void saveMail(App& app, const MailEntry& mail) {
  Console& console = app.console;
  const std::string path =
      promptBox(console, "メールを保存するファイルのファイル名 無入力：ｷｬﾝｾﾙ"_sj,
                formatText("%sMAILLOG.TXT", app.config.cutfileDir));
  if (path.empty()) return;
  app.log.stream.seek(mail.headerOffset);
  console.clearScreen();
  // Only the delete question or the end of the log ends a saved mail; the
  // mail is private.
  const AppendOutcome outcome = appendText(
      {path, AppendRule::OwnLine, AppendMode::CreateIfMissing, app.state.guard(), NewFile::Private,
       Links::FollowOwn},
      [&](const TextSink& put) { copyCleanLines(app.log.stream, -1, isDeleteQuestion, put); });
  if (outcome != AppendOutcome::Written) {
    tellNotWritten(console, "メール"_sj, path, outcome);
  }
}

void registerSender(App& app, const MailEntry& mail) {
  Console& console = app.console;
  // A sender's ID from the log that would not read back as itself.
  if (!idFileLine(mail.senderId, mail.senderName, {})) {
    noticeBox(console, "ＩＤを登録できません"_sj,
              formatText("　ID[%s]は、ＩＤファイルに一つのＩＤとして書けません\n"
                         "　（空白、，、；、制御文字を含むか、0だけのIDです）。"_sj,
                         mail.senderId));
    return;
  }
  const std::string comment = promptBox(
      console, "ＩＤを登録します。このＩＤへのコメントを入力してください。 無入力：キャンセル"_sj);
  if (comment.empty()) return;
  const std::string& path = app.config.idfile;
  const AppendOutcome outcome =
      appendText({path, AppendRule::OwnLine, AppendMode::MustExist, app.state.guard()},
                 *idFileLine(mail.senderId, mail.senderName, comment));
  if (outcome == AppendOutcome::NotOpened) {
    fatalError(console, "ＩＤファイルが開けません。"_sj, openProblem(path, OpenFor::Appending));
  }
  if (outcome != AppendOutcome::Written) {
    tellNotWritten(console, "ＩＤ"_sj, path, outcome);
    return;
  }
  console.setCursor(0, console.bottomRow());  // the reader's status row
  console.setBar();
  const std::string told = "ＩＤをＩＤファイル[%-20s]に登録しました。"_sj;
  // The path takes the rest of the row, its start left out when long.
  console.putText(told, shortenPath(path, kScreenWidth - (told.size() - 5)));
  console.clearToEndOfLine();
  console.setNormal();
  console.getKey();
}

}  // namespace zazir

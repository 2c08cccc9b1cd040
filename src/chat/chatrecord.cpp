#include "chat/chatrecord.h"

#include <string>

#include "console/dialogs.h"
#include "formats/chatlog.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/logguard.h"

namespace zazir {

using namespace literals;

namespace {

void reportBackLogFailure(Console& console, std::string_view name, AppendOutcome outcome) {
  noticeBox(
      console, "バックログファイルに書き込めません"_sj,
      isRefusal(outcome)
          ? refusedFileText(outcome, formatText("１行チャット[%s]のバックログファイル"_sj, name))
          : formatText("　１行チャットのバックログファイル[%s]に書き込めませんでした。\n"
                       "　ディレクトリと書き込みの許可、ディスクの空きを確認してください。"_sj,
                       name));
}

}  // namespace

bool askToRecordChat(Console& console, const std::string& logPath) {
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 11);
  console.putText("ﾛｸﾞﾌｧｲﾙ[%s]から１行ﾁｬｯﾄの内容をﾊﾞｯｸﾛｸﾞﾌｧｲﾙに記録してよいですか？\n"_sj, logPath);
  return askYesNo(console, YesNoMode::NoDefault);
}

void applyLineChatPolicy(App& app) {
  switch (app.config.lineChatQuote) {
    case LineChatQuote::Yes:
      recordChatBackLogs(app);
      return;
    case LineChatQuote::Question:
      if (askToRecordChat(app.console, app.log.path)) recordChatBackLogs(app);
      return;
    case LineChatQuote::No:
      return;
  }
}

void recordChatBackLogs(App& app) {
  const LogIndex& index = app.index;
  for (int i = 0; i < index.chatBoardCount(); ++i) {
    const ChatBoardEntry& board = index.chatBoards[i];
    if (!board.hasNew || !isUsableBackLogName(board.name)) continue;
    const std::string lines = newChatLines(app.log.stream, index, i);
    // A back-log that someone edited still gets each line on a line of its
    // own; with nothing to add, or with the same run again, the file is only
    // created.
    const std::string_view added = backLogHolds(board.name, lines) ? std::string_view() : lines;
    const AppendOutcome outcome =
        appendText({board.name, AppendRule::OwnLine, AppendMode::CreateIfMissing, app.state.guard(),
                    NewFile::Shared, Links::FollowOwn},
                   added);
    if (outcome != AppendOutcome::Written) reportBackLogFailure(app.console, board.name, outcome);
  }
}

}  // namespace zazir

#include "driver/chat.h"

#include "compose/uploadfile.h"
#include "console/cp932.h"
#include "console/dialogs.h"
#include "console/textutil.h"
#include "driver/app.h"
#include "driver/lists.h"
#include "driver/logguard.h"
#include "driver/loglines.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace zazir {

using namespace literals;

namespace {

// Copies every line when the count line cannot be read.
constexpr int kCountUnknown = 32767;

// The N of "新しいメッセージが N 個あります。", or kCountUnknown.
int newMessageCount(std::string_view line) {
  const std::string& lead = "新しいメッセージが"_sj;
  if (!startsWith(line, lead)) return kCountUnknown;
  std::string_view rest = line.substr(lead.size());
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  const std::size_t digitsAt = !rest.empty() && (rest.front() == '+' || rest.front() == '-');
  if (rest.size() <= digitsAt || !isDigitChar(rest[digitsAt])) return kCountUnknown;
  const int count = parseDecimal(rest);
  return count < 1 ? kCountUnknown : count;
}

// The new chat lines below a board's listing line, each ended by one CR LF
// on disk whatever its line end in the log.
std::string newChatLines(LineStream& log, LogOffset contentOffset) {
  std::string line;
  log.seek(contentOffset);
  readWholeLine(log, line);
  if (!readWholeLine(log, line)) return {};
  int count = newMessageCount(line);
  readWholeLine(log, line);
  std::string copied;
  for (; count > 0 && readWholeLine(log, line); --count) {
    // An empty line ends the chat lines, and so does one that begins with
    // a CR: kept, it would end the back-log's list for good.
    const std::string_view text = withoutLineEnd(line);
    if (text.empty() || text.front() == '\r') break;
    copied += text;
    copied += '\n';
  }
  return copied;
}

void reportBackLogFailure(Console& console, std::string_view name, AppendOutcome outcome) {
  noticeBox(
      console, "バックログファイルに書き込めません"_sj,
      outcome == AppendOutcome::IsTheLog
          ? theLogRefusedText(formatText("１行チャット[%s]のバックログファイル"_sj, name))
          : formatText("　１行チャットのバックログファイル[%s]に書き込めませんでした。\n"
                       "　ディレクトリと書き込みの許可、ディスクの空きを確認してください。"_sj,
                       name));
}

// The commands carry only what the user typed; an empty input cancels.
void appendChatCommand(App& app, int boardNumber, const std::string& typed) {
  if (!typed.empty()) appendToUploadFile(app, formatText("EW%i\n%s\nY\n", boardNumber, typed));
}

void appendNotewallCommand(App& app, const std::string& typed) {
  if (!typed.empty()) appendToUploadFile(app, formatText("P\n%s\n\n", typed));
}

std::string replyProposal(const std::string& line) {
  return formatText("＞ %sさん"_sj, replyName(line));
}

}  // namespace

bool askToRecordChat(App& app) {
  Console& console = app.console;
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 11);
  console.putText("ﾛｸﾞﾌｧｲﾙ[%s]から１行ﾁｬｯﾄの内容をﾊﾞｯｸﾛｸﾞﾌｧｲﾙに記録してよいですか？\n"_sj,
                  app.state.logPath);
  return askYesNo(console, YesNoMode::NoDefault);
}

void applyLineChatPolicy(App& app) {
  switch (app.config.lineChatQuote) {
    case LineChatQuote::Yes:
      recordChatBackLogs(app);
      return;
    case LineChatQuote::Question:
      if (askToRecordChat(app)) recordChatBackLogs(app);
      return;
    case LineChatQuote::No:
      return;
  }
}

void recordChatBackLogs(App& app) {
  const LogIndex& index = app.index;
  for (int i = 0; i < index.chatBoardCount(); ++i) {
    const ChatBoardEntry& board = index.chatBoards[i];
    if (!board.hasNew || i >= static_cast<int>(index.chatContentOffset.size())) continue;
    if (!isUsableBackLogName(board.name)) continue;
    const std::string lines = newChatLines(app.log, index.chatContentOffset[i]);
    // A back-log that someone edited still gets each line on a line of its
    // own; with nothing to add the file is only created.
    const AppendOutcome outcome = appendText(
        {board.name, AppendRule::OwnLine, AppendMode::CreateIfMissing, app.state.logIdentity},
        lines);
    if (outcome != AppendOutcome::Written) reportBackLogFailure(app.console, board.name, outcome);
  }
}

std::string replyName(std::string_view line) {
  std::string_view name = cutToBytes(withoutLineEnd(line), 79);
  name = name.substr(0, name.find(' '));
  name = name.substr(0, name.find(':'));
  return std::string(name);
}

void runChatLoop(App& app) {
  while (true) {
    const int board = chooseChatBoard(app);
    if (board < 0) return;
    const int number = app.index.chatBoards[board].number;
    while (const std::optional<std::string> line = chooseChatLine(app, board)) {
      switch (app.state.actionKey) {
        case ActionKey::Write:
          appendChatCommand(app, number,
                            promptBox(app.console, "１行チャットへの投稿 無入力：ｷｬﾝｾﾙ"_sj));
          break;
        case ActionKey::Reply:
          appendChatCommand(app, number,
                            promptBox(app.console, "１行チャットへのレス 無入力：ｷｬﾝｾﾙ"_sj,
                                      replyProposal(*line)));
          break;
        case ActionKey::Choose:
          break;
      }
    }
  }
}

void runNotewallLoop(App& app) {
  while (true) {
    const std::optional<std::string> line = chooseNotewallLine(app);
    if (!line) return;
    switch (app.state.actionKey) {
      case ActionKey::Write:
        postToNotewall(app);
        break;
      case ActionKey::Reply:
        appendNotewallCommand(
            app, promptBox(app.console, "Notewallへのレス 無入力：ｷｬﾝｾﾙ"_sj, replyProposal(*line)));
        break;
      case ActionKey::Choose:
        break;
    }
  }
}

void postToNotewall(App& app) {
  appendNotewallCommand(app, promptBox(app.console, "Notewallへの投稿 無入力：ｷｬﾝｾﾙ"_sj));
}

}  // namespace zazir

#include "driver/chat.h"

#include <memory>
#include <vector>

#include "compose/uploadfile.h"
#include "console/cp932.h"
#include "console/dialogs.h"
#include "console/textutil.h"
#include "driver/app.h"
#include "driver/lists.h"
#include "driver/logguard.h"
#include "driver/loglines.h"
#include "platform/encoding.h"
#include "search/chatcontent.h"
#include "platform/textfile.h"

namespace zazir {

using namespace literals;

namespace {

// A longer chat line is cut (on a character boundary), and a board's run
// of new lines ends before it grows past kRunBytes.
constexpr std::size_t kChatLineBytes = kLineLimit;
constexpr std::size_t kRunBytes = 8 << 20;

// The new chat lines of a board, each ended by "\n".
std::string newChatLines(LineStream& log, const LogIndex& index, int board) {
  std::string copied;
  forEachNewChatLine(log, index, board, [&](LogOffset, std::string_view line) {
    if (copied.size() + line.size() + 1 > kRunBytes) return false;
    copied += line;
    copied += '\n';
    return true;
  });
  return copied;
}

// Whether the back-log already holds `run` (lines ended by "\n") as
// consecutive whole lines: the same log recorded again adds nothing. The
// back-log is read line by line, never loaded.
bool backLogHolds(const std::string& name, std::string_view run) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < run.size();) {
    const std::size_t end = run.find('\n', at);
    lines.push_back(run.substr(at, end - at));
    at = end + 1;
  }
  // Where to go on after a mismatch, as string searching does it.
  std::vector<std::size_t> fallback(lines.size(), 0);
  for (std::size_t i = 1, k = 0; i < lines.size(); ++i) {
    while (k > 0 && lines[i] != lines[k]) k = fallback[k - 1];
    if (lines[i] == lines[k]) ++k;
    fallback[i] = k;
  }
  const std::unique_ptr<FileLineStream> backLog = FileLineStream::open(toOsName(name));
  if (!backLog || lines.empty()) return false;
  std::size_t matched = 0;
  std::string line;
  while (readWholeLine(*backLog, line, kChatLineBytes)) {
    const std::string_view text = withoutLineEnd(line);
    while (matched > 0 && text != lines[matched]) matched = fallback[matched - 1];
    if (text == lines[matched] && ++matched == lines.size()) return true;
  }
  return false;
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
    if (!board.hasNew || !isUsableBackLogName(board.name)) continue;
    const std::string lines = newChatLines(app.log, index, i);
    // A back-log that someone edited still gets each line on a line of its
    // own; with nothing to add, or with the same run again, the file is only
    // created.
    const std::string_view added = backLogHolds(board.name, lines) ? std::string_view() : lines;
    const AppendOutcome outcome = appendText(
        {board.name, AppendRule::OwnLine, AppendMode::CreateIfMissing, app.state.logIdentity},
        added);
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

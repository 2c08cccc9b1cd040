#include "chat/chat.h"

#include <memory>
#include <vector>

#include "console/dialogs.h"
#include "formats/loglines.h"
#include "lists/lists.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/logguard.h"
#include "services/uploadfile.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// Copies every line when the count line cannot be read.
constexpr int kCountUnknown = 32767;
// A longer chat line is cut (on a character boundary), and a board's run
// of new lines ends before it grows past kRunBytes.
constexpr std::size_t kChatLineBytes = kLineLimit;
constexpr std::size_t kRunBytes = 8 << 20;

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

// The first place after `from` where the index knows other content to
// begin; -1 when nothing follows.
LogOffset nextIndexedOffset(const LogIndex& index, LogOffset from) {
  LogOffset next = -1;
  const auto consider = [&](LogOffset at) {
    if (at > from && (next < 0 || at < next)) next = at;
  };
  for (const BoardEntry& board : index.messageBoards) consider(board.listOffset);
  for (const BoardEntry& board : index.fileBoards) consider(board.listOffset);
  for (const LogOffset at : index.chatContentOffset) consider(at);
  for (const MailEntry& mail : index.mails) consider(mail.headerOffset);
  consider(index.notewallOffset);
  return next;
}

// The next line of a board's chat content, without its line end; false
// where the content ends: at `end`, at a listing line or at the log's end.
bool readContentLine(LineStream& log, LogOffset end, std::string& line) {
  if (end >= 0 && log.tell() >= end) return false;
  if (!readWholeLine(log, line, kChatLineBytes)) return false;
  line.resize(withoutLineEnd(line).size());
  std::string cleaned = line;
  stripLineEnd(cleaned);
  return !isListingLine(cleaned);
}

// The new chat lines below a board's listing line, each ended by "\n".
std::string newChatLines(LineStream& log, LogOffset contentOffset, LogOffset end) {
  std::string line;
  log.seek(contentOffset);
  if (!readContentLine(log, end, line) || !readContentLine(log, end, line)) return {};
  int count = newMessageCount(line);
  if (!readContentLine(log, end, line)) return {};
  std::string copied;
  for (; count > 0 && readContentLine(log, end, line); --count) {
    // An empty line ends the chat lines, and so does one that begins with
    // a CR: kept, it would end the back-log's list for good.
    if (line.empty() || line.front() == '\r') break;
    if (copied.size() + line.size() + 1 > kRunBytes) break;
    copied += line;
    copied += '\n';
  }
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
    if (!board.hasNew || i >= static_cast<int>(index.chatContentOffset.size())) continue;
    if (!isUsableBackLogName(board.name)) continue;
    const LogOffset start = index.chatContentOffset[i];
    const std::string lines = newChatLines(app.log, start, nextIndexedOffset(index, start));
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
  while (const std::optional<int> board = chooseChatBoard(app)) {
    const int number = app.index.chatBoards[*board].number;
    while (const auto line = chooseChatLine(app, *board)) {
      switch (line->action) {
        case ListAction::Write:
          appendChatCommand(app, number,
                            promptBox(app.console, "１行チャットへの投稿 無入力：ｷｬﾝｾﾙ"_sj));
          break;
        case ListAction::Reply:
          appendChatCommand(app, number,
                            promptBox(app.console, "１行チャットへのレス 無入力：ｷｬﾝｾﾙ"_sj,
                                      replyProposal(line->value)));
          break;
        default:
          break;
      }
    }
  }
}

void runNotewallLoop(App& app) {
  while (const auto line = chooseNotewallLine(app)) {
    switch (line->action) {
      case ListAction::Write:
        postToNotewall(app);
        break;
      case ListAction::Reply:
        appendNotewallCommand(app, promptBox(app.console, "Notewallへのレス 無入力：ｷｬﾝｾﾙ"_sj,
                                             replyProposal(line->value)));
        break;
      default:
        break;
    }
  }
}

void postToNotewall(App& app) {
  appendNotewallCommand(app, promptBox(app.console, "Notewallへの投稿 無入力：ｷｬﾝｾﾙ"_sj));
}

}  // namespace zazir

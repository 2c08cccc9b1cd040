#include "chat/chat.h"

#include <utility>

#include "console/dialogs.h"
#include "formats/hostcommands.h"
#include "formats/loglines.h"
#include "lists/lists.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/hostanswer.h"
#include "services/uploadfile.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

// The commands carry only what the user typed; an empty input cancels.
void appendChatCommand(App& app, int boardNumber, const std::string& typed) {
  if (!typed.empty()) appendToUploadFile(app, chatLineCommand(boardNumber, typed));
}

void appendNotewallCommand(App& app, const std::string& typed) {
  if (!typed.empty()) appendToUploadFile(app, notewallLineCommand(typed));
}

std::string replyProposal(const std::string& line) {
  return formatText("＞ %sさん"_sj, replyName(line));
}

}  // namespace

std::string replyName(std::string_view line) {
  std::string_view name = cutToBytes(withoutLineEnd(line), 79);
  name = name.substr(0, name.find(' '));
  name = name.substr(0, name.find(':'));
  return std::string(name);
}

void runChatLoop(App& app, ListPositions& lists) {
  while (const std::optional<int> board = chooseChatBoard(app, lists)) {
    runChatBoard(app, lists, *board);
  }
}

void runChatBoard(App& app, ListPositions& lists, int board, std::optional<int> openAt) {
  const int number = app.index.chatBoards[static_cast<std::size_t>(board)].number;
  while (const auto line = chooseChatLine(app, lists, board, std::exchange(openAt, std::nullopt))) {
    switch (line->action) {
      case ListAction::Write:
        appendChatCommand(app, number,
                          promptHostAnswer(app.console, "１行チャットへの投稿 無入力：ｷｬﾝｾﾙ"_sj));
        break;
      case ListAction::Reply:
        appendChatCommand(app, number,
                          promptHostAnswer(app.console, "１行チャットへのレス 無入力：ｷｬﾝｾﾙ"_sj,
                                           replyProposal(line->value)));
        break;
      default:
        break;
    }
  }
}

void runNotewallLoop(App& app, ListPositions& lists, std::optional<int> openAt) {
  while (const auto line = chooseNotewallLine(app, lists, std::exchange(openAt, std::nullopt))) {
    switch (line->action) {
      case ListAction::Write:
        postToNotewall(app);
        break;
      case ListAction::Reply:
        appendNotewallCommand(app,
                              promptHostAnswer(app.console, "Notewallへのレス 無入力：ｷｬﾝｾﾙ"_sj,
                                               replyProposal(line->value)));
        break;
      default:
        break;
    }
  }
}

void postToNotewall(App& app) {
  appendNotewallCommand(app, promptHostAnswer(app.console, "Notewallへの投稿 無入力：ｷｬﾝｾﾙ"_sj));
}

}  // namespace zazir

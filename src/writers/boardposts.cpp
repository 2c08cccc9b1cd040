#include "writers/boardposts.h"

#include <optional>
#include <string>

#include "console/dialogs.h"
#include "console/keys.h"
#include "formats/boardlog.h"
#include "formats/hostcommands.h"
#include "formats/quote.h"
#include "lists/lists.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/compose.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// An upload title is at most this long on the host.
constexpr std::size_t kUploadTitleBytes = 36;
constexpr std::size_t kFieldBytes = 79;

// A reply's quote ends where the message ends, and at a line of four
// digits and a colon (the host's prompt).
bool endsReplyQuote(std::string_view head) {
  return hasNumberColonPrefix(head) || isMessageEnd(head);
}

std::string quoteBody(App& app, LogOffset start, LogOffset end, std::string_view handle,
                      bool dropEmptyLines) {
  const QuoteRule rule{quotePrefix(app.config, handle), end, endsReplyQuote, dropEmptyLines};
  return quoteMessage(app.log, start, rule) + "\n";
}

// The composition from the temporary file on, and the command on success.
// False when the temporary file could not be made.
bool composeAndWrite(App& app, std::string_view prepared, const std::string& firstLines) {
  std::optional<Composition> composition = startComposition(app, prepared);
  if (!composition) return false;
  if (composeText(app, *composition)) writeComposedCommand(app, *composition, firstLines);
  return true;
}

enum class TitleChoice { Keep, Change, Leave };

TitleChoice askTitleChange(Console& console) {
  console.setCursor(0, 23);
  console.setBar();
  console.writeText("メッセージボードへのレス；タイトルを変更しますか？ (Y/[Ｎ]/Q)"_sj);
  console.setNormal();
  console.clearToEndOfLine();
  while (true) {
    switch (console.getKey()) {
      case 'Y':
      case 'y':
        return TitleChoice::Change;
      case 'N':
      case 'n':
      case key::kEnter:
        return TitleChoice::Keep;
      case 'Q':
      case 'q':
        return TitleChoice::Leave;
      default:
        console.bell();
        break;
    }
  }
}

}  // namespace

bool writeNewPost(App& app, int board, std::string_view prepared, std::string_view proposedTitle) {
  Console& console = app.console;
  const BoardEntry& entry = app.index.messageBoards[static_cast<std::size_t>(board)];
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 2);
  console.putText("%s\nのメッセージボードに書き込みを作成します。"_sj, entry.label);
  const std::string title = promptBox(
      console, "メッセージボードへの書き込み；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj, proposedTitle);
  if (title.empty()) {
    console.clearScreen();
    return true;
  }
  return composeAndWrite(app, prepared, newPostCommand(entry.number, title));
}

void writeUpload(App& app, int fileBoard) {
  Console& console = app.console;
  const BoardEntry& entry = app.index.fileBoards[static_cast<std::size_t>(fileBoard)];
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 2);
  console.putText("%s\nのファイルボードにアップロードします。"_sj, entry.label);
  const std::string fileName = promptBox(console, "アップロード；ファイル名入力 無入力：ｷｬﾝｾﾙ"_sj);
  if (fileName.empty()) {
    console.clearScreen();
    return;
  }
  // Cut on a character boundary, so that no double-byte character is split
  // whatever the bytes before the cut are.
  const std::string title(cutToBytes(
      promptBox(console, "アップロード；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj), kUploadTitleBytes));
  if (title.empty()) {
    console.clearScreen();
    return;
  }
  composeAndWrite(app, {}, uploadCommand(entry.number, fileName, title));
}

void writeReply(App& app, int board, LogOffset start, LogOffset end, std::string_view handle) {
  Console& console = app.console;
  const TitleChoice choice = askTitleChange(console);
  if (choice == TitleChoice::Leave) return;
  const AnsweredMessage message = readAnsweredMessage(
      app.log, app.index.messageBoards[static_cast<std::size_t>(board)], start, end);
  // The reply command names the message by its number; without one the
  // host would take the text that follows for keystrokes of its menus.
  if (choice == TitleChoice::Keep && message.number <= 0) {
    console.bell();
    noticeBox(console, "レスできません"_sj,
              "　この書き込みには番号がないため、タイトルを変えないレスは書けません。\n"
              "　タイトルを変更するレスか、別ボードへのレスで書いてください。"_sj);
    return;
  }
  std::string newTitle;
  if (choice == TitleChoice::Change) {
    newTitle = promptBox(console,
                         "メッセージボードへのレスポンスの書き込み；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj);
    if (newTitle.empty()) return;
  }
  const std::string& heading = choice == TitleChoice::Change ? app.config.headReplyNewsTitleChange
                                                             : app.config.headReplyNews;
  std::string text =
      formatConfigured(heading, {handle, formatText("%i", message.number), message.title});
  text += "\n\n";
  text += quoteBody(app, start, end, handle, app.config.deleteNullLine);
  const int boardNumber = app.index.messageBoards[static_cast<std::size_t>(board)].number;
  composeAndWrite(app, text,
                  choice == TitleChoice::Change ? newPostCommand(boardNumber, newTitle)
                                                : replyCommand(boardNumber, message.number));
}

void writeMovedReply(App& app, int board, LogOffset start, LogOffset end, std::string_view handle) {
  Console& console = app.console;
  const std::optional<Picked<int>> target = chooseBoard(app, app.index.messageBoards);
  if (!target) {
    console.clearScreen();
    return;
  }
  const AnsweredMessage message = readAnsweredMessage(
      app.log, app.index.messageBoards[static_cast<std::size_t>(board)], start, end);
  const std::string proposal(
      cutToBytes(formatText("%s-#%iより移動:%s"_sj,
                            app.index.messageBoards[static_cast<std::size_t>(board)].name,
                            message.number, message.title),
                 kFieldBytes));
  const std::string title = promptBox(
      console, "メッセージボードへの別ボードへのレスの書き込み；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj,
      proposal);
  if (title.empty()) return;

  const std::string text = quoteBody(app, start, end, handle, false);
  composeAndWrite(
      app, text,
      movedReplyCommand(app.index.messageBoards[static_cast<std::size_t>(target->value)].number,
                        title));
}

}  // namespace zazir

#include "writers/boardposts.h"

#include <optional>
#include <string>

#include "compose/compose.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "formats/boardlog.h"
#include "formats/hostcommands.h"
#include "formats/quote.h"
#include "lists/lists.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/hostanswer.h"
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

std::string quoteBody(App& app, const AnsweredMessage& message, bool dropEmptyLines) {
  const QuoteRule rule{quotePrefix(app.config, message.handle), message.end, endsReplyQuote,
                       dropEmptyLines};
  return quoteMessage(app.log.stream, message.start, rule) + "\n";
}

// A post on message board `board` whose text starts as `prepared`.
bool writePost(App& app, const BoardEntry& board, std::string_view prepared,
               std::string_view proposedTitle) {
  Console& console = app.console;
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 2);
  console.putText("%s\nのメッセージボードに書き込みを作成します。"_sj, board.label);
  const std::string title = promptHostAnswer(
      console, "メッセージボードへの書き込み；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj, proposedTitle);
  if (title.empty()) {
    console.clearScreen();
    return true;
  }
  return composeAndWrite(app, prepared, newPostCommand(board.number, title));
}

enum class TitleChoice { Keep, Change, Leave };

TitleChoice askTitleChange(Console& console) {
  console.setCursor(0, console.bottomRow());  // the reader's status row
  console.setBar();
  console.writeText("メッセージボードへのレス；タイトルを変更しますか？ (Y/[Ｎ]/Q)"_sj);
  console.setNormal();
  console.clearToEndOfLine();
  static const Binding<TitleChoice> kKeys[] = {
      {{'Y', 'y'}, TitleChoice::Change},
      {{'N', 'n', key::kEnter}, TitleChoice::Keep},
      {{'Q', 'q'}, TitleChoice::Leave},
  };
  return waitForAction<TitleChoice>(console, kKeys, true);
}

}  // namespace

void writeNewPost(App& app, const BoardEntry& board) {
  writePost(app, board, {}, {});
}

bool writeBatchPost(App& app, const BoardEntry& board, std::string_view quotes,
                    std::string_view title) {
  return writePost(app, board, quotes, title);
}

void writeUpload(App& app, const BoardEntry& fileBoard) {
  Console& console = app.console;
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 2);
  console.putText("%s\nのファイルボードにアップロードします。"_sj, fileBoard.label);
  const std::string fileName =
      promptHostAnswer(console, "アップロード；ファイル名入力 無入力：ｷｬﾝｾﾙ"_sj);
  if (fileName.empty()) {
    console.clearScreen();
    return;
  }
  // Cut on a character boundary, so that no double-byte character is split
  // whatever the bytes before the cut are.
  const std::string title(cutToBytes(
      promptHostAnswer(console, "アップロード；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj), kUploadTitleBytes));
  if (title.empty()) {
    console.clearScreen();
    return;
  }
  composeAndWrite(app, {}, uploadCommand(fileBoard.number, fileName, title));
}

void writeReply(App& app, const AnsweredMessage& message) {
  Console& console = app.console;
  const TitleChoice choice = askTitleChange(console);
  if (choice == TitleChoice::Leave) return;
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
    newTitle = promptHostAnswer(
        console, "メッセージボードへのレスポンスの書き込み；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj);
    if (newTitle.empty()) return;
  }
  const std::string& heading = choice == TitleChoice::Change ? app.config.headReplyNewsTitleChange
                                                             : app.config.headReplyNews;
  std::string text =
      formatConfigured(heading, {message.handle, formatText("%i", message.number), message.title});
  text += "\n\n";
  text += quoteBody(app, message, app.config.deleteNullLine);
  composeAndWrite(app, text,
                  choice == TitleChoice::Change
                      ? newPostCommand(message.boardNumber, newTitle)
                      : replyCommand(message.boardNumber, message.number));
}

void writeMovedReply(App& app, ListPositions& lists, const AnsweredMessage& message) {
  Console& console = app.console;
  const std::vector<BoardEntry>& boards = app.index.messageBoards;
  const std::optional<Picked<int>> target =
      chooseBoard(app, lists, boards, MarkSection::MessageBoard);
  if (!target) {
    console.clearScreen();
    return;
  }
  const std::string proposal(cutToBytes(
      formatText("%s-#%iより移動:%s"_sj, message.boardName, message.number, message.title),
      kFieldBytes));
  const std::string title = promptHostAnswer(
      console, "メッセージボードへの別ボードへのレスの書き込み；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj,
      proposal);
  if (title.empty()) return;

  // Every line is quoted: DELETENULLLINE is for replies on the same board.
  composeAndWrite(app, quoteBody(app, message, /*dropEmptyLines=*/false),
                  movedReplyCommand(boards[static_cast<std::size_t>(target->value)].number, title));
}

}  // namespace zazir

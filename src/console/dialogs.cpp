#include "console/dialogs.h"

#include "console/keys.h"
#include "console/lineeditor.h"
#include "platform/encoding.h"

namespace zazir {

using namespace literals;

namespace {

struct MessageEntry {
  const std::string& title;
  const std::string& text;
  bool bell = false;  // sounds as the text is shown
};

MessageEntry messageEntry(MessageId id) {
  switch (id) {
    case MessageId::NoPosts:
      return {"書き込みがありません"_sj, "　該当するボードへの書き込みがありません。"_sj};
    case MessageId::MenuHelp:
      return {"メニュー選択"_sj,
              "　以下のキーが使用できます。\n\nカーソルキー，テンキー：カーソル移動\n"
              "リターンキー：決定\nＦ：アップロードファイルの参照\nＷ：書き込み\n\n"
              "【以下、メッセージを読んでいるとき】\n\nＲ：返答の書き込み\n"
              "Ｖ：ボードを飛び越えたレス\nＳ：書き込みを保存\nＭ：一括レスのためのマーク\n"
              "Ｃ：マークした書き込みに対して一括レス\nＤ：ダウンロードをするマークを付ける"_sj};
    case MessageId::NothingWritten:
      return {"書き込みできません"_sj,
              "　編集されたファイルに書き込み内容がありません。\n"
              "　書き込みをせずに戻ります。"_sj,
              true};
    case MessageId::NoMarks:
      return {"一つ以上のマークをしてください。"_sj,
              "　一括レスを書くためのマークがされていません。"_sj};
    case MessageId::MailHelp:
      return {"メール読み出し"_sj,
              "　以下のキーが使用できます。\n\nカーソルキー，テンキー：カーソル移動\n"
              "Ｆ：アップロードファイルの参照\nＷ：メール送信\n"
              "Ｒ：読んでいるメールに返事を書く\nＳ：メールの保存\n"
              "Ｉ：今読んでいるメールの差出人をＩＤリストに登録"_sj};
  }
  return messageEntry(MessageId::NoPosts);
}

void showNotice(Console& console, std::string_view title, std::string_view text, bool bell) {
  console.clearScreen();
  console.putText("【%s】"_sj, title);
  console.setCursor(0, 2);
  console.writeText(text);
  if (bell) console.bell();
  console.setCursor(0, 23);
  console.writeText("[何かキーを押すと戻ります]"_sj);
  console.getKey();
  console.clearScreen();
}

}  // namespace

std::string frameLine() {
  return "+" + std::string(78, '-') + "+";
}

std::string inputLine(Console& console, int x, int y, std::size_t maxBytes,
                      std::string_view initial) {
  console.moveTo(x, y);
  const int column = console.cursorColumn();
  const int row = console.cursorRow();
  const Attribute behind = console.getAttribute();
  LineEditor editor(maxBytes, initial, console.inputCodeset());
  std::size_t drawn = 0;
  while (true) {
    const std::string& text = editor.text();
    console.setCursor(column, row);
    console.setAttribute(attr::kTyped);
    console.writeText(text);
    console.setAttribute(behind);
    if (drawn > text.size()) console.writeText(std::string(drawn - text.size(), ' '));
    drawn = text.size();
    console.setCursor(column + static_cast<int>(text.size()), row);

    const LineEditor::Step step = editor.feed(console.getKey());
    if (step.refused) console.bell();
    if (step.outcome != LineEditor::Outcome::Editing) break;
  }
  console.setAttribute(attr::kNormal);
  return editor.text();
}

std::string promptBox(Console& console, std::string_view message, std::string_view proposal) {
  console.setCursor(0, 10);
  console.putText("%s%80.80s%s", frameLine(), "", frameLine());
  const int column = (80 - static_cast<int>(message.size())) / 2;
  console.setCursor(column < 0 ? 0 : column, 10);
  console.writeText(message);
  return inputLine(console, 1, 12, 79, proposal);
}

bool askYesNo(Console& console, YesNoMode mode) {
  switch (mode) {
    case YesNoMode::DefaultYes:
      console.writeText("([Ｙ]/N)"_sj);
      break;
    case YesNoMode::DefaultNo:
      console.writeText("(Y/[Ｎ])"_sj);
      break;
    case YesNoMode::NoDefault:
      console.writeText("(Y/N)");
      break;
  }
  while (true) {
    const int key = console.getKey();
    if (key == 'Y' || key == 'y') return true;
    if (key == 'N' || key == 'n' || key == key::kEscape) return false;
    if (key == key::kEnter && mode != YesNoMode::NoDefault) return mode == YesNoMode::DefaultYes;
  }
}

void messageBox(Console& console, MessageId id) {
  const MessageEntry entry = messageEntry(id);
  showNotice(console, entry.title, entry.text, entry.bell);
}

void noticeBox(Console& console, std::string_view title, std::string_view text) {
  showNotice(console, title, text, false);
}

void fatalError(Console& console, std::string_view message, std::string_view detail) {
  console.clearScreen();
  console.setForeground(0);
  console.setBackground(9);
  console.writeText("致命的エラーが発生しました。"_sj);
  console.setBackground(0);
  console.setForeground(15);
  console.putText("\n\n%s\n", message);
  console.present();
  throw ProgramExit{kExitFatal, std::string(message), 0, std::string(detail)};
}

}  // namespace zazir

#include "console/dialogs.h"

#include <algorithm>

#include "console/keymap.h"
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
    case MessageId::NothingWritten:
      return {"書き込みできません"_sj,
              "　編集されたファイルに書き込み内容がありません。\n"
              "　書き込みをせずに戻ります。"_sj,
              true};
    case MessageId::NoMarks:
      return {"一つ以上のマークをしてください。"_sj,
              "　一括レスを書くためのマークがされていません。"_sj};
  }
  return messageEntry(MessageId::NoPosts);
}

constexpr int kNoticeTextRow = 2;
constexpr int kNoticeLastRow = 23;

// The title, and the text from row 2.
void drawNotice(Console& console, std::string_view title, std::string_view text) {
  console.clearScreen();
  console.putText("【%s】"_sj, title);
  console.setCursor(0, kNoticeTextRow);
  console.writeText(text);
}

Key waitOnNotice(Console& console, std::string_view prompt) {
  console.setCursor(0, kNoticeLastRow);
  console.writeText(prompt);
  return console.getKey();
}

void showNotice(Console& console, std::string_view title, std::string_view text, bool bell) {
  drawNotice(console, title, text);
  if (bell) console.bell();
  waitOnNotice(console, "[何かキーを押すと戻ります]"_sj);
  console.clearScreen();
}

}  // namespace

void helpBox(Console& console, std::string_view title, const std::vector<std::string_view>& lines) {
  std::vector<std::string_view> text{"　以下のキーが使用できます。"_sj, ""};
  text.insert(text.end(), lines.begin(), lines.end());
  // What the console does alike on every screen (keymap.h, Console::getKey).
  text.push_back("Ctrl+K，Ctrl+J，Ctrl+H：↑↓←と同じ　Ctrl+L：画面の描き直し"_sj);
  // A text longer than the rows above the prompt goes on on further pages.
  const std::size_t perPage = kNoticeLastRow - kNoticeTextRow;
  for (std::size_t first = 0; first < text.size(); first += perPage) {
    std::string page;
    for (std::size_t at = first; at < std::min(text.size(), first + perPage); ++at) {
      page.append(text[at]).append("\n");
    }
    drawNotice(console, title, page);
    if (first + perPage >= text.size()) {
      waitOnNotice(console, "[何かキーを押すと戻ります]"_sj);
    } else if (waitOnNotice(console, "[何かキーを押すと次のページ Esc:戻る]"_sj) == key::kEscape) {
      break;
    }
  }
  console.clearScreen();
}

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
    console.setCursor(column + static_cast<int>(editor.cursor()), row);

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
  enum class Answer { Yes, No, Default };
  static const Binding<Answer> kKeys[] = {
      {{'Y', 'y'}, Answer::Yes},
      {{'N', 'n', key::kEscape}, Answer::No},
      {{key::kEnter}, Answer::Default},
  };
  while (true) {
    switch (waitForAction<Answer>(console, kKeys)) {
      case Answer::Yes:
        return true;
      case Answer::No:
        return false;
      case Answer::Default:
        if (mode != YesNoMode::NoDefault) return mode == YesNoMode::DefaultYes;
        break;
    }
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

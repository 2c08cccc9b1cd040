#include "console/dialogs.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/lineeditor.h"
#include "console/render.h"
#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::ScriptedBackend;
using testing::sj;
using testing::utf8;

class DialogTest : public ::testing::Test {
 protected:
  ScriptedBackend keys_;
  Console console_{keys_};
};

TEST(LineInput, KeepsWholeCp932CharactersWithin79Bytes) {
  struct Case {
    const char* name;
    std::string keys;  // UTF-8 text and key bytes
    std::string line;
    int bells;
  } cases[] = {
      {"backspace removes a whole double-byte character", "a漢\bb\r", "ab", 0},
      // The kanji (2 bytes) and the 'z' do not fit.
      {"at most 79 bytes", std::string(78, 'x') + "漢yz\r", std::string(78, 'x') + "y", 2},
      {"a character without a CP932 form is refused", "a\U0001F600b\r", "ab", 1},  // an emoji
  };
  for (const Case& c : cases) {
    ScriptedBackend keys;
    Console console(keys);
    keys.type(c.keys);
    EXPECT_EQ(inputLine(console, 1, 12, 79), c.line) << c.name;
    EXPECT_EQ(keys.bells(), c.bells) << c.name;
    EXPECT_EQ(keys.pendingKeys(), 0u) << c.name;
  }
}

TEST_F(DialogTest, TypedTextIsShownInGreenAndConvertedToCp932) {
  keys_.type("ｱｲう").press(key::kEnter);
  EXPECT_EQ(inputLine(console_, 1, 12, 79), sj("ｱｲう"));
  const Screen& shown = keys_.screenAtKey(9);
  EXPECT_EQ(rowToUtf8(shown, 11), "ｱｲう");
  EXPECT_EQ(shown.at(0, 11).attribute, attr::kTyped);
  EXPECT_EQ(console_.getAttribute(), attr::kNormal);
}

TEST_F(DialogTest, EscCancelsAndAProposalIsEditable) {
  keys_.type("abc").press(key::kEscape);
  EXPECT_EQ(promptBox(console_, "m", "proposed"), "");
  keys_.press(key::kBackspace).type("X").press(key::kEnter);
  EXPECT_EQ(promptBox(console_, "m", "Re:title"), "Re:titlX");
  keys_.press(key::kEnter);
  EXPECT_EQ(promptBox(console_, "m", sj("ＭＡＩＬ")), sj("ＭＡＩＬ"));
  keys_.press(key::kEnter);
  EXPECT_EQ(promptBox(console_, "m"), "");
}

TEST_F(DialogTest, TypingGoesWhereTheCursorIsShown) {
  keys_.type("abc").press(key::kLeft).type("X").press(key::kEnter);
  EXPECT_EQ(inputLine(console_, 1, 12, 79), "abXc");
  EXPECT_EQ(keys_.screenAtKey(4).cursorColumn, 2);  // on the "c"
  EXPECT_EQ(keys_.rowAtKey(5, 11), "abXc");
  EXPECT_EQ(keys_.screenAtKey(5).cursorColumn, 3);
}

TEST_F(DialogTest, PromptBoxCentresItsMessageInTheTopBorder) {
  const std::string message(56, 'm');
  keys_.press(key::kEnter);
  promptBox(console_, message);
  EXPECT_EQ(keys_.row(10), std::string("+") + std::string(11, '-') + message + std::string(11, '-') + "+");
  EXPECT_EQ(keys_.row(11), "");
  EXPECT_EQ(keys_.row(12), "+" + std::string(78, '-') + "+");
}

TEST_F(DialogTest, AskYesNoModes) {
  struct Case {
    YesNoMode mode;
    std::vector<Key> keys;
    bool yes;
    const char* hint;
  } cases[] = {
      {YesNoMode::DefaultYes, {key::kEnter}, true, "([Ｙ]/N)"},
      {YesNoMode::DefaultYes, {key::kEscape}, false, "([Ｙ]/N)"},
      {YesNoMode::DefaultNo, {key::kEnter}, false, "(Y/[Ｎ])"},
      {YesNoMode::DefaultNo, {'x', 'y'}, true, "(Y/[Ｎ])"},
      {YesNoMode::NoDefault, {key::kEnter, ' ', '5', 'N'}, false, "(Y/N)"},
      {YesNoMode::NoDefault, {key::kEnter, 'Y'}, true, "(Y/N)"},
      {YesNoMode::NoDefault, {key::kEscape}, false, "(Y/N)"},
  };
  for (const Case& c : cases) {
    ScriptedBackend keys;
    Console console(keys);
    console.clearScreen();
    keys.press(c.keys);
    EXPECT_EQ(askYesNo(console, c.mode), c.yes);
    EXPECT_EQ(keys.pendingKeys(), 0u);  // every key up to the answer was read
    EXPECT_EQ(keys.row(0), c.hint);
  }
}

TEST_F(DialogTest, MessageBoxShowsItsEntryAndReturnsOnAnyKey) {
  keys_.type("5");
  messageBox(console_, MessageId::NothingWritten);
  const Screen& shown = keys_.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(shown, 0), "【書き込みできません】");
  EXPECT_EQ(rowToUtf8(shown, 2), "　編集されたファイルに書き込み内容がありません。");
  EXPECT_EQ(rowToUtf8(shown, 3), "　書き込みをせずに戻ります。");
  EXPECT_EQ(rowToUtf8(shown, 23), "[何かキーを押すと戻ります]");
  EXPECT_EQ(keys_.bells(), 1);                     // its text ends with the bell
  EXPECT_EQ(rowToUtf8(console_.screen(), 0), "");  // cleared for the caller
}

TEST_F(DialogTest, AHelpBoxLongerThanTheScreenGoesOnOnAnotherPage) {
  std::vector<std::string> texts;
  for (int k = 1; k <= 25; ++k) texts.push_back("key " + std::to_string(k));
  const std::vector<std::string_view> lines(texts.begin(), texts.end());
  keys_.type("x").type("y");
  helpBox(console_, "T", lines);
  EXPECT_EQ(keys_.rowAtKey(0, 0), "【T】");
  EXPECT_EQ(keys_.rowAtKey(0, 2), "　以下のキーが使用できます。");
  EXPECT_EQ(keys_.rowAtKey(0, 22), "key 19");
  EXPECT_EQ(keys_.rowAtKey(0, 23), "[何かキーを押すと次のページ Esc:戻る]");
  EXPECT_EQ(keys_.rowAtKey(1, 0), "【T】");
  EXPECT_EQ(keys_.rowAtKey(1, 2), "key 20");
  EXPECT_EQ(keys_.rowAtKey(1, 7), "key 25");
  EXPECT_EQ(keys_.rowAtKey(1, 23), "[何かキーを押すと戻ります]");
  EXPECT_EQ(keys_.pendingKeys(), 0u);
  keys_.press(key::kEscape);  // Esc leaves on the first page
  helpBox(console_, "T", lines);
  EXPECT_EQ(keys_.pendingKeys(), 0u);
  EXPECT_EQ(keys_.keysRead(), 3u);
}

TEST_F(DialogTest, FatalErrorShowsItsScreenAndEndsWithStatus50) {
  const ProgramExit exit =
      testing::exitOf([&] { fatalError(console_, sj("設定ファイルが開けません。")); });
  EXPECT_EQ(exit.status, 50);
  EXPECT_EQ(utf8(exit.message), "設定ファイルが開けません。");
  EXPECT_EQ(keys_.row(0), "致命的エラーが発生しました。");
  EXPECT_EQ(keys_.screen().at(0, 0).attribute, attr::kFatal);
  EXPECT_EQ(keys_.row(2), "設定ファイルが開けません。");
  EXPECT_EQ(keys_.screen().at(0, 2).attribute, attr::kNormal);
}

TEST(LineEditor, FedKeyByKey) {
  LineEditor editor(5, "ab", "UTF-8");
  EXPECT_EQ(editor.feed('c').outcome, LineEditor::Outcome::Editing);
  editor.feed('d');
  EXPECT_TRUE(editor.feed('\xe6').refused == false);  // first byte of 漢 waits
  editor.feed('\xbc');
  EXPECT_TRUE(editor.feed('\xa2').refused);  // 漢 would make 6 bytes
  EXPECT_EQ(editor.text(), "abcd");
  EXPECT_EQ(editor.feed(key::kCtrlU).outcome, LineEditor::Outcome::Editing);
  EXPECT_EQ(editor.text(), "");
  EXPECT_TRUE(editor.feed(key::kBackspace).refused);
  EXPECT_EQ(editor.feed(key::kEnter).outcome, LineEditor::Outcome::Accepted);
}

TEST(LineEditor, CursorKeys) {
  struct Case {
    const char* name;
    std::string initial;
    std::vector<Key> keys;
    std::string text;
    std::size_t cursor;
    int refused;
  } cases[] = {
      {"backspace deletes before the cursor", "abc", {key::kLeft, key::kBackspace}, "ac", 1, 0},
      {"home and delete", "abc", {key::kHome, key::kDelete, 'x'}, "xbc", 1, 0},
      {"end after home", "abc", {key::kHome, key::kEnd, 'd'}, "abcd", 4, 0},
      {"a double-byte character is passed whole",
       sj("あい"),
       {key::kLeft, key::kLeft, key::kRight, 'x', key::kDelete},
       sj("あ") + "x",
       3,
       0},
      {"right at the end and left at the start stay",
       "ab",
       {key::kRight, key::kHome, key::kLeft},
       "ab",
       0,
       0},
      {"nothing to delete is refused",
       "ab",
       {key::kDelete, key::kHome, key::kBackspace},
       "ab",
       0,
       2},
      {"other named keys type nothing",
       "ab",
       {key::kInsert, Key::function(1), key::kPageUp},
       "ab",
       2,
       0},
  };
  for (const Case& c : cases) {
    LineEditor editor(79, c.initial, "UTF-8");
    int refused = 0;
    for (Key key : c.keys) refused += editor.feed(key).refused ? 1 : 0;
    EXPECT_EQ(editor.text(), c.text) << c.name;
    EXPECT_EQ(editor.cursor(), c.cursor) << c.name;
    EXPECT_EQ(refused, c.refused) << c.name;
  }
}

TEST(LineEditor, ACp932TerminalTypesCp932Bytes) {
  LineEditor editor(79, "", "SHIFT_JIS");
  for (char c : sj("あｱ")) editor.feed(Key(c));
  EXPECT_EQ(editor.text(), sj("あｱ"));
  editor.feed(key::kBackspace);
  EXPECT_EQ(editor.text(), sj("あ"));
}

TEST(LineEditor, AProposalLongerThanTheLimitIsCutOnACharacterBoundary) {
  LineEditor editor(5, sj("あいう"), "UTF-8");
  EXPECT_EQ(editor.text(), sj("あい"));
}

}  // namespace
}  // namespace zazir

#include "console/console.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::ScriptedBackend;
using testing::sj;

class ConsoleTest : public ::testing::Test {
 protected:
  ScriptedBackend backend_;
  Console console_{backend_};
  const Screen& screen() { return console_.screen(); }
};

TEST_F(ConsoleTest, TextWrapsAfterColumn79AndNewlineGoesToColumn0) {
  console_.clearScreen();
  console_.setCursor(78, 3);
  console_.putText("%s\n%s", "abc", "d");
  EXPECT_EQ(screen().at(78, 3).byte, 'a');
  EXPECT_EQ(screen().at(79, 3).byte, 'b');
  EXPECT_EQ(screen().at(0, 4).byte, 'c');
  EXPECT_EQ(screen().at(0, 5).byte, 'd');
  // A double-byte character never straddles the wrap; one whose second
  // byte looks like a first byte still ends the row.
  console_.setCursor(78, 6);
  console_.writeText("x" + sj("漢字"));
  console_.setCursor(78, 8);
  console_.writeText(sj("ぁい"));
  console_.present();
  EXPECT_EQ(backend_.row(6), std::string(78, ' ') + "x");
  EXPECT_EQ(backend_.row(7), "漢字");
  EXPECT_EQ(backend_.row(8), std::string(78, ' ') + "ぁ");
  EXPECT_EQ(backend_.row(9), "い");
}

TEST_F(ConsoleTest, BodyTextUsesTheStartupColoursAndTabStops) {
  console_.clearScreen();
  console_.setBar();
  console_.putText("bar");
  console_.setCursor(0, 1);
  console_.putBodyText("%s", "a\tb\t\tc");
  EXPECT_EQ(screen().at(0, 0).attribute, attr::kBar);
  EXPECT_EQ(screen().at(0, 1).attribute, attr::kStartup);
  EXPECT_EQ(screen().at(8, 1).byte, 'b');
  EXPECT_EQ(screen().at(24, 1).byte, 'c');
  EXPECT_EQ(console_.getAttribute(), attr::kBar);  // body text leaves it alone
}

TEST_F(ConsoleTest, ABodyRowNeverSpillsIntoTheNextRow) {
  console_.clearScreen();
  console_.setCursor(0, 4);
  console_.writeBody("below");
  console_.putBodyRow(3, "a\t\t\t\t\t\t\t\t\tz" + std::string(100, 'y'));
  console_.putBodyRow(5, "short");
  console_.present();
  EXPECT_EQ(backend_.row(3), "a" + std::string(71, ' ') + "z" + std::string(7, 'y'));
  EXPECT_EQ(backend_.row(4), "below");
  EXPECT_EQ(backend_.row(5), "short");
  EXPECT_EQ(screen().at(79, 5), (Cell{' ', attr::kStartup}));
}

TEST_F(ConsoleTest, ClearScreenUsesTheStartupColoursWhateverTheCurrentAttribute) {
  console_.setAttribute(0xF0);
  console_.setCursor(10, 10);
  console_.writeText("x");
  console_.clearScreen();
  EXPECT_EQ(console_.cursorColumn(), 0);
  EXPECT_EQ(console_.cursorRow(), 0);
  for (const Cell& cell : screen().cells) ASSERT_EQ(cell, (Cell{' ', attr::kStartup}));
}

TEST_F(ConsoleTest, AttributePairsChangeOneNibbleEach) {
  console_.setAttribute(0x07);
  console_.setForeground(0);
  console_.setBackground(15);
  EXPECT_EQ(console_.getAttribute(), attr::kBar);
  console_.setBackground(0);
  console_.setForeground(15);
  EXPECT_EQ(console_.getAttribute(), attr::kNormal);
  console_.setBackground(2);
  EXPECT_EQ(console_.getAttribute(), attr::kHighlight);
}

TEST_F(ConsoleTest, DeleteThenInsertBlanksOneRowOnly) {
  console_.clearScreen();
  for (int row = 0; row < 25; ++row) {
    console_.setCursor(0, row);
    console_.putText("row%02i", row);
  }
  console_.setCursor(0, 23);
  console_.deleteLine();
  console_.insertLine();
  console_.present();
  EXPECT_EQ(backend_.row(22), "row22");
  EXPECT_EQ(backend_.row(23), "");
  EXPECT_EQ(backend_.row(24), "row24");
}

TEST_F(ConsoleTest, OutputOutsideTheScreenDoesNotAppear) {
  console_.clearScreen();
  console_.setCursor(0, 31);
  console_.putText("%s", "hidden");
  console_.moveTo(0, 0);  // 1-based, outside: ignored
  EXPECT_EQ(console_.cursorRow(), 31);
  for (const Cell& cell : screen().cells) ASSERT_EQ(cell.byte, ' ');
}

TEST_F(ConsoleTest, ControlBytesInTextAreCellsAndNeverSound) {
  console_.putText("a\a\rb");
  console_.present();
  EXPECT_EQ(backend_.bells(), 0);
  EXPECT_EQ(screen().at(1, 0).byte, '\a');
  EXPECT_EQ(backend_.row(0), "a??b");
}

TEST_F(ConsoleTest, ANoticeShowsOnceOnTheStatusRowOverTheScreenThatWaits) {
  console_.showOnce(sj("設定ファイルなし"));
  console_.clearScreen();
  console_.setCursor(0, 23);
  console_.writeText("own status");
  console_.present();  // not a wait: no notice yet
  EXPECT_EQ(backend_.row(23), "own status");
  backend_.type("ab");
  console_.getKey();
  console_.getKey();
  EXPECT_EQ(backend_.rowAtKey(0, 23), "設定ファイルなし");
  EXPECT_EQ(backend_.screenAtKey(0).at(79, 23).attribute, attr::kBar);
  EXPECT_EQ(backend_.rowAtKey(1, 23), "own status");
  // On a taller terminal the status row, and the notice, are at the bottom.
  backend_.setRows(40);
  console_.clearScreen();
  console_.showOnce("tall");
  backend_.type("c");
  console_.getKey();
  EXPECT_EQ(backend_.rowAtKey(2, 39), "tall");
  EXPECT_EQ(backend_.rowAtKey(2, 23), "");
}

TEST_F(ConsoleTest, TheScreenTakesTheTerminalsHeightAndKeepsWhatIsDrawnWhenItChanges) {
  struct Case {
    int terminalRows, screenRows, bottomRow;
  } cases[] = {{20, 25, 23}, {24, 25, 23}, {25, 25, 23}, {26, 26, 25}, {40, 40, 39}};
  for (const Case& c : cases) {
    backend_.setRows(c.terminalRows);
    console_.clearScreen();
    EXPECT_EQ(screen().rows(), c.screenRows) << c.terminalRows;
    EXPECT_EQ(console_.bottomRow(), c.bottomRow) << c.terminalRows;
  }
  console_.setCursor(0, 2);
  console_.writeText("kept");
  // Absorbed: the screen is fitted and shown again until a key comes.
  backend_.resize(30).type("a");
  EXPECT_EQ(console_.getKey(), Key('a'));
  EXPECT_EQ(backend_.screenAtKey(1).rows(), 30);
  EXPECT_EQ(backend_.rowAtKey(1, 2), "kept");
  backend_.resize(26);
  EXPECT_EQ(console_.getKey(Resizes::Report), key::kResize);
  EXPECT_EQ(screen().rows(), 26);
  EXPECT_EQ(screen().at(0, 2).byte, 'k');
}

// Work that goes on without waiting looks for Esc; what was typed after it
// still reaches the screen that waits next, what came before is dropped.
// Ctrl+L shows the screen whole at once.
TEST_F(ConsoleTest, EscapeTypedDuringWorkKeepsOnlyTheKeysAfterIt) {
  EXPECT_FALSE(console_.escapeTyped());
  backend_.type("ab");
  EXPECT_FALSE(console_.escapeTyped());
  backend_.type("\x1b").type("\x0c").type("c");
  EXPECT_TRUE(console_.escapeTyped());
  EXPECT_FALSE(console_.escapeTyped());
  EXPECT_EQ(backend_.repaints(), 1);
  EXPECT_EQ(console_.getKey(), Key('c'));
  EXPECT_THROW(console_.getKey(), testing::ScriptExhausted);
}

}  // namespace
}  // namespace zazir

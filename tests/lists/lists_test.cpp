#include "lists/lists.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "formats/loglines.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

std::vector<BoardEntry> boards(int count) {
  std::vector<BoardEntry> table(count);
  for (int i = 0; i < count; ++i) table[i].label = "board " + std::to_string(i);
  return table;
}

// The screen rows whose first cell is highlighted.
std::vector<int> highlighted(const Screen& screen) {
  std::vector<int> rows;
  for (int row = 0; row < kScreenHeight; ++row) {
    if (screen.at(0, row).attribute == attr::kHighlight) rows.push_back(row);
  }
  return rows;
}

// A chat line: an ID padded to 14 bytes, the marker, the text, CR LF.
std::string listed(char marker, int number) {
  std::string id = "ID" + std::to_string(number);
  id.resize(14, ' ');
  return id + marker + "line " + std::to_string(number) + "\r\n";
}

std::string listedLines(char marker, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += listed(marker, i);
  return text;
}

class ListTest : public TestApp, public ::testing::Test {
 protected:
  testing::InDirectory inDirectory_{dir};  // where the back-logs are

  void addChatBoard(const std::string& name, const std::string& label) {
    ChatBoardEntry entry;
    entry.name = name;
    entry.label = label;
    index.chatBoards.push_back(entry);
  }
};

TEST_F(ListTest, TheScreenHasItsTitleBarRowsAtTheirOffsetAndAHighlightOnTheTextOnly) {
  ListRows rows{};
  rows[0] = "mail";
  rows[1] = "boards";
  backend.press(key::kDown).press(key::kEnter);
  EXPECT_EQ(selectListRow(app, rows, 0, 1, 8), 1);
  const Screen& first = backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(first, 0), "ZAZIR 8,2:移動 W:書込 R:返答 Q:戻る F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ");
  EXPECT_EQ(first.at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(first.at(6, 0).attribute, attr::kBar);
  EXPECT_EQ(rowToUtf8(first, 9), "mail");
  EXPECT_EQ(rowToUtf8(first, 10), "boards");
  EXPECT_EQ(highlighted(first), std::vector<int>{9});
  EXPECT_EQ(first.at(3, 9).attribute, attr::kHighlight);
  EXPECT_EQ(first.at(4, 9).attribute, attr::kStartup);  // not the rest of the row
  EXPECT_EQ(highlighted(backend.screenAtKey(1)), std::vector<int>{10});
}

TEST_F(ListTest, TheKeyDecidesTheActionKey) {
  ListRows rows{};
  for (int k = 0; k < 5; ++k) rows[k] = "item";
  struct Case {
    int key;
    int row;
    ActionKey action;
  } cases[] = {
      {'W', 0, ActionKey::Write},
      {'w', 0, ActionKey::Write},
      {'R', 0, ActionKey::Reply},
      {'r', 0, ActionKey::Reply},
      {key::kEnter, 0, ActionKey::Choose},
      {' ', 0, ActionKey::Choose},
      {'5', 0, ActionKey::Choose},
      {'q', kListLeave, ActionKey::Choose},
      {key::kEscape, kListLeave, ActionKey::Choose},
      {key::kCtrlN, kListPageForward, ActionKey::Choose},
      {key::kCtrlB, kListPageBack, ActionKey::Choose},
      {'8', kListPageBack, ActionKey::Choose},
  };
  for (const Case& c : cases) {
    state.actionKey = ActionKey::Reply;  // left over from an earlier choice
    backend.press(c.key);
    EXPECT_EQ(selectListRow(app, rows, 0, 4, 8), c.row) << c.key;
    EXPECT_EQ(state.actionKey, c.action) << c.key;
  }
}

TEST_F(ListTest, MovementStopsAtTheLastRowAndHelpReturnsAfterItsBox) {
  ListRows rows{};
  for (int k = 0; k < 3; ++k) rows[k] = "item";
  backend.type("2222").press(key::kEnter);
  EXPECT_EQ(selectListRow(app, rows, 0, 2), 2);
  backend.type("?").type("x");
  EXPECT_EQ(selectListRow(app, rows, 1, 2), kListHelpShown);
  EXPECT_EQ(backend.rowAtKey(6, 0), "【メニュー選択】");
}

TEST_F(ListTest, UploadFileViewRedrawsTheSameListWithTheSameRow) {
  const std::vector<BoardEntry> table = boards(30);
  backend.press(key::kDown).press(key::kDown).type("F").press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, table), 2);
  ASSERT_EQ(editor.commandLines.size(), 1u);
  EXPECT_EQ(editor.commandLines[0], "myedit -a " + uploadPath() + " ");
  EXPECT_EQ(backend.screenAtKey(3), backend.screenAtKey(2));
  EXPECT_EQ(highlighted(backend.screenAtKey(3)), std::vector<int>{3});
}

TEST_F(ListTest, TwentyThreeBoardsMakeOnePage) {
  const std::vector<BoardEntry> table = boards(23);
  backend.press(key::kDown, 23).press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, table), 22);
  EXPECT_EQ(backend.row(1), "board 0");
  EXPECT_EQ(highlighted(backend.screen()), std::vector<int>{23});
  EXPECT_EQ(state.listPositions.boardListPage, 0);
}

TEST_F(ListTest, TheTwentyFourthBoardIsOnTheSecondPage) {
  const std::vector<BoardEntry> table = boards(24);
  backend.press(key::kDown, 24).press(key::kUp).press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, table), 22);
  const Screen& secondPage = backend.screenAtKey(23);
  EXPECT_EQ(rowToUtf8(secondPage, 1), "board 23");
  EXPECT_EQ(rowToUtf8(secondPage, 2), "");
  EXPECT_EQ(highlighted(secondPage), std::vector<int>{1});
  EXPECT_EQ(highlighted(backend.screenAtKey(24)), std::vector<int>{1});  // Down stays
  EXPECT_EQ(highlighted(backend.screen()), std::vector<int>{23});
  EXPECT_EQ(backend.row(23), "board 22");
  // Ctrl+N on the last page keeps it, on its last row.
  backend.press(key::kCtrlN).press(key::kCtrlN).press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, table), 23);
}

TEST_F(ListTest, PagingBackOnTheFirstPageGoesToRowZero) {
  state.listPositions.boardListRow = 7;
  const std::vector<BoardEntry> table = boards(30);
  backend.press(key::kCtrlB).press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, table), 0);
  backend.press(key::kUp).press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, table), 0);
}

TEST_F(ListTest, TheSharedPositionIsNormalisedToTheTableOpened) {
  const std::vector<BoardEntry> messageBoards = boards(100);
  state.listPositions.boardListPage = 3;
  state.listPositions.boardListRow = 10;
  backend.press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, messageBoards), 79);
  backend.press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, boards(40)), 33);
  EXPECT_EQ(state.listPositions.boardListPage, 1);
  EXPECT_EQ(state.listPositions.boardListRow, 10);
  // A table shorter than the remembered row lowers the row itself.
  backend.press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, boards(4)), 3);
}

TEST_F(ListTest, HelpBringsTheHighlightBackToTheRowTheListOpenedOn) {
  state.listPositions.boardListRow = 3;
  backend.press(key::kDown).press(key::kDown).type("?").type("x").press(key::kEnter);
  EXPECT_EQ(chooseBoard(app, boards(10)), 3);
  EXPECT_EQ(backend.rowAtKey(3, 0), "【メニュー選択】");
}

TEST_F(ListTest, ChatBoardsAreMarkedByWhetherTheirBackLogExists) {
  addChatBoard("#talk", "#talk  talk");
  addChatBoard("#none", "#none  none");
  addChatBoard("a/b", "a/b  slash");
  addChatBoard("#empty", "");
  writeBytes("#talk", listedLines('>', 2));
  mkdir("a", 0755);
  writeBytes("a/b", listedLines('>', 2));
  backend.press(key::kDown).press(key::kEnter);
  EXPECT_EQ(chooseChatBoard(app), 1);
  EXPECT_EQ(backend.row(1), "#talk  talk [→]");
  EXPECT_EQ(backend.row(2), "#none  none [×]");
  EXPECT_EQ(backend.row(3), "a/b  slash [×]");
  EXPECT_EQ(backend.row(4), "");
  EXPECT_EQ(state.listPositions.chatBoardRow, 1);
  // Paging keys keep the single page and the remembered row.
  backend.press(key::kCtrlN).press(key::kEnter);
  EXPECT_EQ(chooseChatBoard(app), 1);

  // Neither the missing file nor the path through "a/" is opened.
  for (int board : {1, 2}) {
    const int bells = backend.bells();
    backend.type("x");
    EXPECT_FALSE(chooseChatLine(app, board).has_value());
    EXPECT_EQ(backend.bells(), bells + 1);
    EXPECT_EQ(backend.row(0), "【書き込みがありません】");
  }
}

TEST_F(ListTest, AChatLineIsReturnedWholeWithItsLineEnd) {
  addChatBoard("#talk", "talk");
  const std::string longLine = "ABC12345      >" + std::string(1500, 'x') + "\r\n";
  const std::string kanjiLine = "ABC12345      >" + std::string(63, 'y') + sj("漢字") + "\r\n";
  writeBytes("#talk",
             longLine + kanjiLine + listed('>', 2) + "not a chat line\r\n" + listed('>', 3));
  backend.press(key::kEnter);
  EXPECT_EQ(chooseChatLine(app, 0), longLine);
  EXPECT_EQ(backend.row(1), "ABC12345      >" + std::string(64, 'x'));
  // The double-byte character across byte 79 is left out whole.
  EXPECT_EQ(backend.row(2), "ABC12345      >" + std::string(63, 'y'));
  EXPECT_EQ(backend.row(3), utf8(listed('>', 2).substr(0, 21)));
  EXPECT_EQ(backend.row(4), "");  // the list ends at the first unmarked line
  backend.press(key::kDown).press(key::kEnter);
  EXPECT_EQ(chooseChatLine(app, 0), kanjiLine);
  EXPECT_EQ(state.listPositions.chatLineRow, 1);
}

TEST_F(ListTest, ExactlyTwentyThreeChatLinesHaveAnEmptySecondPage) {
  addChatBoard("#talk", "talk");
  writeBytes("#talk", listedLines('>', 23));
  // Onto the empty page, where Return pages back to the last row.
  backend.press(key::kCtrlN).press(key::kEnter).press(key::kEnter);
  EXPECT_EQ(chooseChatLine(app, 0), listed('>', 22));
  const Screen& emptyPage = backend.screenAtKey(1);
  EXPECT_EQ(rowToUtf8(emptyPage, 1), "");
  EXPECT_TRUE(highlighted(emptyPage).empty());
  // Neither movement nor 'W' returns a row that is not there.
  state.listPositions.chatLinePage = 1;
  backend.press(key::kDown).press(key::kCtrlN).type("W").press(key::kCtrlN);
  backend.press(key::kUp).press(key::kEnter);
  EXPECT_EQ(chooseChatLine(app, 0), listed('>', 22));
}

TEST_F(ListTest, ABackLogThatBeginsWithAnUnmarkedLineShowsAnEmptyPage) {
  addChatBoard("#talk", "talk");
  writeBytes("#talk", "header line\r\n" + listedLines('>', 3));
  backend.press(key::kEnter).press(key::kDown).type("r").type("q");
  EXPECT_FALSE(chooseChatLine(app, 0).has_value());
  EXPECT_EQ(backend.row(1), "");
  EXPECT_TRUE(highlighted(backend.screen()).empty());
}

TEST_F(ListTest, EveryChatLineIsReachableBeyondThirtyPages) {
  addChatBoard("#talk", "talk");
  const int count = 23 * 33 + 5;
  writeBytes("#talk", listedLines('>', count));
  backend.press(key::kCtrlN, 36).press(key::kUp).press(key::kEnter);
  EXPECT_EQ(chooseChatLine(app, 0), listed('>', 23 * 33 + 3));
  EXPECT_EQ(state.listPositions.chatLinePage, 33);
  // The page is remembered for every chat board, within its own pages.
  addChatBoard("#small", "small");
  writeBytes("#small", listedLines('>', 30));
  backend.press(key::kEnter);
  EXPECT_EQ(chooseChatLine(app, 1), listed('>', 23 + 3));
  EXPECT_EQ(state.listPositions.chatLinePage, 1);
}

TEST_F(ListTest, TheNotewallListReadsTheLogFromItsOffset) {
  const std::string before = "《 気軽な伝言板 》\r\n" + listedLines('>', 2);
  const int count = 23 * 31 + 2;
  withLog(before + listedLines(':', count) + "\r\nafter\r\n");
  index.notewallOffset = static_cast<LogOffset>(before.size());
  backend.press(key::kCtrlN, 31).press(key::kDown, 2).press(key::kEnter);
  EXPECT_EQ(chooseNotewallLine(app), listed(':', 23 * 31 + 1));
  EXPECT_EQ(app.log.tell(), index.notewallOffset);
  EXPECT_EQ(state.listPositions.notewallRow, 1);
  // It opens on its first page again, on the remembered row.
  backend.press('R');
  EXPECT_EQ(chooseNotewallLine(app), listed(':', 1));
  EXPECT_EQ(state.actionKey, ActionKey::Reply);
  index.notewallOffset = -1;
  EXPECT_FALSE(chooseNotewallLine(app).has_value());
}

// A line of any length costs little: it is listed, and chosen, by its
// start, cut on a character boundary, and the next line is still its own.
TEST_F(ListTest, AVeryLongNotewallLineIsKeptByItsStart) {
  const std::string lead = "ABC12345      :";  // 15 bytes: every kanji starts at an odd byte
  const std::string kanji = sj("漢");
  std::string text = lead;
  while (text.size() < (1u << 20)) text += kanji;
  withLog(text + "\r\n" + listedLines(':', 2));
  index.notewallOffset = 0;
  backend.press(key::kEnter);
  const std::optional<std::string> chosen = chooseNotewallLine(app);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->size(), kKeptLineBytes - 1);
  EXPECT_EQ(*chosen, text.substr(0, chosen->size()));
  EXPECT_EQ(backend.row(1), utf8(text.substr(0, 79)));
  EXPECT_EQ(backend.row(2), utf8(listed(':', 0).substr(0, 21)));
}

}  // namespace
}  // namespace zazir

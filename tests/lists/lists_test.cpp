#include "lists/lists.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "formats/loglines.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::highlightedRows;
using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

std::vector<BoardEntry> boards(int count) {
  std::vector<BoardEntry> table(count);
  for (int i = 0; i < count; ++i) table[i].label = "board " + std::to_string(i);
  return table;
}

// The index picked, or -1.
int picked(const std::optional<Picked<int>>& choice) {
  return choice ? choice->value : -1;
}

std::optional<std::string> line(const std::optional<Picked<std::string>>& choice) {
  if (!choice) return std::nullopt;
  return choice->value;
}

// A chat line: an ID padded to 14 bytes, the marker, the text, CR LF.
std::string listed(char marker, int number) {
  std::string id = "ID" + std::to_string(number);
  id.resize(14, ' ');
  return id + marker + "line " + std::to_string(number) + "\r\n";
}

// The same as the list shows it.
std::string shownLine(char marker, int number) {
  const std::string line = listed(marker, number);
  return line.substr(0, line.size() - 2);
}

std::string listedLines(char marker, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += listed(marker, i);
  return text;
}

class ListTest : public TestApp, public ::testing::Test {
 protected:
  testing::InDirectory inDirectory_{dir};  // where the back-logs are
  ListPositions positions;

  void addChatBoard(const std::string& name, const std::string& label) {
    ChatBoardEntry entry;
    entry.name = name;
    entry.label = label;
    index.chatBoards.push_back(entry);
  }
};

TEST_F(ListTest, UploadFileViewRedrawsTheSameListWithTheSameRow) {
  const std::vector<BoardEntry> table = boards(30);
  backend.press(key::kDown).press(key::kDown).type("F").press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, table, MarkSection::MessageBoard)), 2);
  ASSERT_EQ(editor.commandLines.size(), 1u);
  EXPECT_EQ(editor.commandLines[0], "myedit -a " + path("ZQ2UP.TMP") + " ");
  EXPECT_EQ(backend.screenAtKey(3), backend.screenAtKey(2));
  EXPECT_EQ(highlightedRows(backend.screenAtKey(3)), std::vector<int>{3});
}

TEST_F(ListTest, TwentyThreeBoardsMakeOnePage) {
  const std::vector<BoardEntry> table = boards(23);
  backend.press(key::kDown, 23).press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, table, MarkSection::MessageBoard)), 22);
  EXPECT_EQ(backend.row(1), "board 0");
  EXPECT_EQ(highlightedRows(backend.screen()), std::vector<int>{23});
  EXPECT_EQ(positions.boardListPage, 0);
}

TEST_F(ListTest, TheTwentyFourthBoardIsOnTheSecondPage) {
  const std::vector<BoardEntry> table = boards(24);
  backend.press(key::kDown, 24).press(key::kUp).press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, table, MarkSection::MessageBoard)), 22);
  const Screen& secondPage = backend.screenAtKey(23);
  EXPECT_EQ(rowToUtf8(secondPage, 1), "board 23");
  EXPECT_EQ(rowToUtf8(secondPage, 2), "");
  EXPECT_EQ(highlightedRows(secondPage), std::vector<int>{1});
  EXPECT_EQ(highlightedRows(backend.screenAtKey(24)), std::vector<int>{1});  // Down stays
  EXPECT_EQ(highlightedRows(backend.screen()), std::vector<int>{23});
  EXPECT_EQ(backend.row(23), "board 22");
  // Ctrl+N on the last page keeps it, on its last row.
  backend.press(key::kCtrlN).press(key::kCtrlN).press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, table, MarkSection::MessageBoard)), 23);
}

TEST_F(ListTest, PageKeysHomeAndEndReachEveryPage) {
  // Pages of 23: boards 0..22, 23..45, 46..49.
  struct Case {
    std::vector<Key> keys;
    int chosen;
  } cases[] = {
      {{key::kPageDown}, 23},        {{key::kPageDown, key::kPageDown, key::kPageUp}, 45},
      {{key::kDown, key::kEnd}, 49}, {{key::kEnd, key::kHome}, 0},
      {{key::kPageUp}, 0},
  };
  for (const Case& c : cases) {
    positions = {};
    backend.press(c.keys).press(key::kEnter);
    EXPECT_EQ(picked(chooseBoard(app, positions, boards(50), MarkSection::MessageBoard)), c.chosen)
        << c.keys.size() << " keys";
  }
}

TEST_F(ListTest, PagingBackOnTheFirstPageGoesToRowZero) {
  positions.boardListRow = 7;
  const std::vector<BoardEntry> table = boards(30);
  backend.press(key::kCtrlB).press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, table, MarkSection::MessageBoard)), 0);
  backend.press(key::kUp).press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, table, MarkSection::MessageBoard)), 0);
}

TEST_F(ListTest, TheSharedPositionIsNormalisedToTheTableOpened) {
  const std::vector<BoardEntry> messageBoards = boards(100);
  positions.boardListPage = 3;
  positions.boardListRow = 10;
  backend.press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, messageBoards, MarkSection::MessageBoard)), 79);
  backend.press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, boards(40), MarkSection::MessageBoard)), 33);
  EXPECT_EQ(positions.boardListPage, 1);
  EXPECT_EQ(positions.boardListRow, 10);
  // A table shorter than the remembered row lowers the row itself.
  backend.press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, boards(4), MarkSection::MessageBoard)), 3);
}

TEST_F(ListTest, HelpBringsTheHighlightBackToTheRowTheListOpenedOn) {
  positions.boardListRow = 3;
  backend.press(key::kDown).press(key::kDown).type("?").type("x").press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, boards(10), MarkSection::MessageBoard)), 3);
  EXPECT_EQ(backend.rowAtKey(3, 0), "【メニュー選択】");
}

TEST_F(ListTest, BoardRowsTellTheUnreadOfAllFoundAndTheHelpWhatThatMeans) {
  std::vector<BoardEntry> table = boards(3);
  table[0].label = sj("   2: pc98       相談室 ★未読あり(3件)");
  const std::vector<LogOffset> three{10, 20, 30}, five{10, 20, 30, 40, 50};
  marks.track(MarkSection::MessageBoard, 0, "pc98", three);
  for (int item = 0; item < 3; ++item) marks.markRead(MarkSection::MessageBoard, 0, item);
  marks.track(MarkSection::MessageBoard, 1, "b", five);
  marks.markRead(MarkSection::MessageBoard, 1, 4);
  backend.type("?").type("x").press(key::kEscape);
  EXPECT_EQ(picked(chooseBoard(app, positions, table, MarkSection::MessageBoard)), -1);
  EXPECT_EQ(backend.rowAtKey(0, 1), "   2: pc98       相談室 ★未読あり(3件) [未読 0/3]");
  EXPECT_EQ(backend.rowAtKey(0, 2), "board 1 [未読 4/5]");
  EXPECT_EQ(backend.rowAtKey(0, 3), "board 2");  // never opened
  std::string help;
  for (int row = 0; row < kScreenHeight; ++row) help += backend.rowAtKey(1, row) + "\n";
  EXPECT_NE(help.find("［未読 2/3］：ログにある3件のうち、まだ読んでいない件数"), std::string::npos)
      << help;
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
  EXPECT_EQ(chooseChatBoard(app, positions), 1);
  EXPECT_EQ(backend.row(1), "#talk  talk [→]");
  EXPECT_EQ(backend.row(2), "#none  none [×]");
  EXPECT_EQ(backend.row(3), "a/b  slash [×]");
  EXPECT_EQ(backend.row(4), "");
  EXPECT_EQ(positions.chatBoardRow, 1);
  // Paging keys keep the single page and the remembered row.
  backend.press(key::kCtrlN).press(key::kEnter);
  EXPECT_EQ(chooseChatBoard(app, positions), 1);

  // Neither the missing file nor the path through "a/" is opened.
  for (int board : {1, 2}) {
    const int bells = backend.bells();
    backend.type("x");
    EXPECT_FALSE(chooseChatLine(app, positions, board).has_value());
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
  EXPECT_EQ(line(chooseChatLine(app, positions, 0)), longLine);
  EXPECT_EQ(backend.row(1), "ABC12345      >" + std::string(64, 'x'));
  // The double-byte character across byte 79 is left out whole.
  EXPECT_EQ(backend.row(2), "ABC12345      >" + std::string(63, 'y'));
  EXPECT_EQ(backend.row(3), utf8(listed('>', 2).substr(0, 21)));
  EXPECT_EQ(backend.row(4), "");  // the list ends at the first unmarked line
  backend.press(key::kDown).press(key::kEnter);
  EXPECT_EQ(line(chooseChatLine(app, positions, 0)), kanjiLine);
  EXPECT_EQ(positions.chatLineRow, 1);
}

TEST_F(ListTest, ExactlyTwentyThreeChatLinesHaveAnEmptySecondPage) {
  addChatBoard("#talk", "talk");
  writeBytes("#talk", listedLines('>', 23));
  // Onto the empty page, where Return pages back to the last row.
  backend.press(key::kCtrlN).press(key::kEnter).press(key::kEnter);
  EXPECT_EQ(line(chooseChatLine(app, positions, 0)), listed('>', 22));
  const Screen& emptyPage = backend.screenAtKey(1);
  EXPECT_EQ(rowToUtf8(emptyPage, 1), "");
  EXPECT_TRUE(highlightedRows(emptyPage).empty());
  // Neither movement nor 'W' returns a row that is not there.
  positions.chatLinePage = 1;
  backend.press(key::kDown).press(key::kCtrlN).type("W").press(key::kCtrlN);
  backend.press(key::kUp).press(key::kEnter);
  EXPECT_EQ(line(chooseChatLine(app, positions, 0)), listed('>', 22));
}

TEST_F(ListTest, ABackLogThatBeginsWithAnUnmarkedLineShowsAnEmptyPage) {
  addChatBoard("#talk", "talk");
  writeBytes("#talk", "header line\r\n" + listedLines('>', 3));
  backend.press(key::kEnter).press(key::kDown).type("r").type("q");
  EXPECT_FALSE(chooseChatLine(app, positions, 0).has_value());
  EXPECT_EQ(backend.row(1), "");
  EXPECT_TRUE(highlightedRows(backend.screen()).empty());
}

TEST_F(ListTest, EveryChatLineIsReachableBeyondThirtyPages) {
  addChatBoard("#talk", "talk");
  const int count = 23 * 33 + 5;
  writeBytes("#talk", listedLines('>', count));
  backend.press(key::kCtrlN, 36).press(key::kUp).press(key::kEnter);
  EXPECT_EQ(line(chooseChatLine(app, positions, 0)), listed('>', 23 * 33 + 3));
  EXPECT_EQ(positions.chatLinePage, 33);
  // The page is remembered for every chat board, within its own pages.
  addChatBoard("#small", "small");
  writeBytes("#small", listedLines('>', 30));
  backend.press(key::kEnter);
  EXPECT_EQ(line(chooseChatLine(app, positions, 1)), listed('>', 23 + 3));
  EXPECT_EQ(positions.chatLinePage, 1);
}

// The line lists take every row of a taller terminal and keep the
// highlighted line when its height changes; the other lists keep their
// place.
TEST_F(ListTest, OnATallerTerminalTheLineListsTakeEveryRow) {
  backend.setRows(40);
  addChatBoard("#talk", "talk");
  writeBytes("#talk", listedLines('>', 100));
  backend.press(key::kPageDown).press(key::kDown, 5).resize(30).press(key::kEnter);
  EXPECT_EQ(line(chooseChatLine(app, positions, 0)), listed('>', 44));
  const Screen& first = backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(first, 39), shownLine('>', 38));
  EXPECT_EQ(backend.rowAtKey(1, 1), shownLine('>', 39));  // a page of 39
  // Pages of 29: line 44 is on the second, on its 16th row.
  EXPECT_EQ(backend.row(1), shownLine('>', 29));
  EXPECT_EQ(highlightedRows(backend.screen()), std::vector<int>{16});
  EXPECT_EQ(positions.chatLinePage, 1);
  EXPECT_EQ(positions.chatLineRow, 15);

  backend.press(key::kDown, 2).resize(40).press(key::kEnter);
  EXPECT_EQ(picked(chooseBoard(app, positions, boards(30), MarkSection::MessageBoard)), 2);
  EXPECT_EQ(backend.row(23), "board 22");
  EXPECT_EQ(backend.row(24), "");
  EXPECT_EQ(highlightedRows(backend.screen()), std::vector<int>{3});
}

TEST_F(ListTest, TheNotewallListReadsTheLogFromItsOffset) {
  const std::string before = "《 気軽な伝言板 》\r\n" + listedLines('>', 2);
  const int count = 23 * 31 + 2;
  withLog(before + listedLines(':', count) + "\r\nafter\r\n");
  index.notewallOffset = static_cast<LogOffset>(before.size());
  backend.press(key::kCtrlN, 31).press(key::kDown, 2).press(key::kEnter);
  EXPECT_EQ(line(chooseNotewallLine(app, positions)), listed(':', 23 * 31 + 1));
  EXPECT_EQ(app.log.stream.tell(), index.notewallOffset);
  EXPECT_EQ(positions.notewallRow, 1);
  // It opens on its first page again, on the remembered row.
  backend.press('R');
  const auto reply = chooseNotewallLine(app, positions);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->value, listed(':', 1));
  EXPECT_EQ(reply->action, ListAction::Reply);
  index.notewallOffset = -1;
  EXPECT_FALSE(chooseNotewallLine(app, positions).has_value());
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
  const std::optional<std::string> chosen = line(chooseNotewallLine(app, positions));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->size(), kKeptLineBytes - 1);
  EXPECT_EQ(*chosen, text.substr(0, chosen->size()));
  EXPECT_EQ(backend.row(1), utf8(text.substr(0, 79)));
  EXPECT_EQ(backend.row(2), utf8(listed(':', 0).substr(0, 21)));
}

}  // namespace
}  // namespace zazir

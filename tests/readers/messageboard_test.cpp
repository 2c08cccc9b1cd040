#include "readers/messageboard.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "console/keys.h"
#include "console/render.h"
#include "formats/boardlog.h"
#include "platform/textfile.h"
#include "support/test_app.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::numbered;
using testing::sj;
using testing::TestApp;

// The status row after the arrows' places: "ZAZIR" bar and the indicator.
std::string boardStatusRow(bool left, bool right, const std::string& indicator) {
  return testing::arrowRow(left, "ZAZIR W:書込 R:ﾚｽ V:移動ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ " + indicator,
                           right);
}

class MessageBoardTest : public TestApp, public ::testing::Test {
 protected:
  void run(int board = 0) {
    readMessageBoard(withLog(), reading.search, reading.listPositions, board);
  }
};

TEST_F(MessageBoardTest, OpensOnTheFirstMessage) {
  messageBoard(3, "TEST");
  log.add(sj("新しいメッセージ 2 件"));
  message(1, "hana", {"----", "first body", "\tindented"});
  message(2, "taro", {"----", "second body"});
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(backend.row(0), "Message  #0001 is from: ID0001 hana");
  EXPECT_EQ(backend.row(1), "Date: 96/01/01");
  EXPECT_EQ(backend.row(2), "Title:message 1");
  EXPECT_EQ(backend.row(3), "----");
  EXPECT_EQ(backend.row(4), "first body");
  EXPECT_EQ(backend.row(5), " indented");
  EXPECT_EQ(backend.row(6), "");
  EXPECT_EQ(backend.row(23), boardStatusRow(false, true, "0003 lines. Now:Bottom"));
  const Screen& shown = backend.screen();
  EXPECT_EQ(shown.at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(79, 2).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(0, 3).attribute, attr::kStartup);
  EXPECT_EQ(shown.at(0, 23).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(2, 23).attribute, attr::kBar);
  EXPECT_EQ(shown.at(50, 23).attribute, attr::kNormal);
}

TEST_F(MessageBoardTest, ABellInTheLogNeverSounds) {
  messageBoard(3, "TEST");
  message(1, "a\a", {"body\a"});
  backend.press(key::kDown).press(key::kEscape);
  run();
  EXPECT_EQ(backend.bells(), 0);
}

TEST_F(MessageBoardTest, EveryLeaveKeyReturnsToTheBoardList) {
  messageBoard(3, "TEST");
  message(1, "hana", {"body"});
  for (Key key : {key::kEscape, Key('Q'), Key('q'), key::kEnter, Key(' '), Key('5')}) {
    backend.press(key);
    run();
    EXPECT_EQ(backend.pendingKeys(), 0u);
  }
}

TEST_F(MessageBoardTest, LeftAndRightMoveBetweenMessagesUpToTheStopLine) {
  messageBoard(3, "TEST");
  message(1, "a", {"one"});
  message(2, "b", {"two"});
  message(3, "c", {"three", "*CH 1 chat"});
  message(4, "d", {"after the stop line"});
  messageBoard(4, "NEXT");
  message(7, "e", {"next board"});
  backend.press(key::kLeft);  // nothing before the first
  backend.press(key::kRight)
      .type("6")
      .type("6")
      .press(key::kRight);  // the stop line ends the board
  backend.type("4").press(key::kEscape);
  run();
  EXPECT_EQ(backend.rowAtKey(1, 0), "Message  #0001 is from: ID0001 a");
  EXPECT_EQ(backend.rowAtKey(2, 0), "Message  #0002 is from: ID0002 b");
  EXPECT_EQ(backend.rowAtKey(2, 23), boardStatusRow(true, true, "0001 lines. Now:Bottom"));
  const Screen& last = backend.screenAtKey(4);
  EXPECT_EQ(rowToUtf8(last, 0), "Message  #0003 is from: ID0003 c");
  EXPECT_EQ(rowToUtf8(last, 3), "three");
  EXPECT_EQ(rowToUtf8(last, 4), "");
  EXPECT_EQ(rowToUtf8(last, 23), boardStatusRow(true, false, "0001 lines. Now:Bottom"));
  EXPECT_EQ(backend.screenAtKey(5), last);
  EXPECT_EQ(backend.row(0), "Message  #0002 is from: ID0002 b");
}

TEST_F(MessageBoardTest, TheLastBoardEndsAtTheEndOfTheLog) {
  messageBoard(3, "TEST");
  message(1, "a", {"one"});
  messageBoard(4, "LAST");
  message(8, "b", {"eight"});
  message(9, "c", {"nine", "0012:34 host prompt", "not shown"});
  backend.press(key::kRight).press(key::kRight).press(key::kEscape);
  run(1);
  EXPECT_EQ(backend.row(0), "Message  #0009 is from: ID0009 c");
  EXPECT_EQ(backend.row(3), "nine");
  EXPECT_EQ(backend.row(4), "");
  EXPECT_EQ(backend.row(23), boardStatusRow(true, false, "0001 lines. Now:Bottom"));
}

TEST_F(MessageBoardTest, TheLastMessageOfABoardEndsBeforeTheNextBoard) {
  messageBoard(3, "TEST");
  message(1, "a", {"one"});
  messageBoard(4, "NEXT");
  log.add("between the listing and the messages");
  message(7, "b", {"seven"});
  backend.press(key::kRight).press(key::kEscape);
  run();
  EXPECT_EQ(backend.row(3), "one");
  EXPECT_EQ(backend.row(4), "");
  EXPECT_EQ(backend.row(23), boardStatusRow(false, false, "0001 lines. Now:Bottom"));
}

TEST_F(MessageBoardTest, ABoardWithoutMessagesShowsMessageBox1) {
  messageBoard(3, "EMPTY");
  log.add("no messages here");
  messageBoard(4, "STOPPED");
  log.add("*CH");
  message(1, "a", {"only after a stop line"});
  for (int board : {0, 1}) {
    backend.type(" ");
    run(board);
    EXPECT_EQ(backend.row(0), "【書き込みがありません】");
    EXPECT_EQ(backend.row(2), "　該当するボードへの書き込みがありません。");
  }
}

TEST_F(MessageBoardTest, AMessageWithoutBodyShowsZeroLines) {
  messageBoard(3, "TEST");
  log.add("Message  #0001 is from: ID0001 a");
  log.add("Date");
  log.add("Title:t");
  message(2, "b", {"x"});
  backend.press(key::kEscape);
  run();
  for (int row = 3; row < 23; ++row) EXPECT_EQ(backend.row(row), "") << row;
  EXPECT_EQ(backend.row(23), boardStatusRow(false, true, "0000 lines. Now:Bottom"));
}

TEST_F(MessageBoardTest, LongLinesAreCutAt77BytesKeepingCharactersWhole) {
  const std::string kanji = sj("漢");
  messageBoard(3, "TEST");
  message(1, "a",
          {std::string(76, 'a') + kanji + "b", std::string(77, 'c'), std::string(78, 'd'),
           std::string(200, 'e'), "end"});
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(backend.row(3), std::string(76, 'a'));
  EXPECT_EQ(backend.row(4), "漢b");
  EXPECT_EQ(backend.row(5), std::string(77, 'c'));  // no empty row after exactly 77 bytes
  EXPECT_EQ(backend.row(6), std::string(77, 'd'));
  EXPECT_EQ(backend.row(7), "d");
  EXPECT_EQ(backend.row(8), std::string(77, 'e'));
  EXPECT_EQ(backend.row(9), std::string(77, 'e'));
  EXPECT_EQ(backend.row(10), std::string(46, 'e'));
  EXPECT_EQ(backend.row(11), "end");
  EXPECT_EQ(backend.row(23), boardStatusRow(false, false, "0009 lines. Now:Bottom"));
}

TEST_F(MessageBoardTest, AHeaderLineLongerThanOneReadStaysOneRow) {
  messageBoard(3, "TEST");
  log.add("Message  #0001 is from: ID0001 a" + std::string(1100, 'x'));
  log.add("Date: 96/01/01");
  log.add("Title:t");
  log.add("body");
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(backend.row(1), "Date: 96/01/01");
  EXPECT_EQ(backend.row(3), "body");
}

TEST_F(MessageBoardTest, ScrollingByThe20LineMeasure) {
  struct Case {
    int lines;
    std::vector<Key> keys;
    std::string firstRow;
    std::string indicator;
  } cases[] = {
      {20,
       {key::kDown, '2', key::kCtrlN, key::kUp, key::kCtrlB},
       "line 1",
       "0020 lines. Now:Bottom"},
      {21, {}, "line 1", "0021 lines. Now:Top"},
      {21, {key::kDown}, "line 2", "0021 lines. Now:Bottom"},
      {21, {key::kDown, '2', key::kCtrlN}, "line 2", "0021 lines. Now:Bottom"},
      {21, {key::kDown, '8'}, "line 1", "0021 lines. Now:Top"},
      {21, {key::kDown, key::kDown, key::kUp}, "line 1", "0021 lines. Now:Top"},
      {45, {'2', '2', '2', '2', '2'}, "line 6", "0045 lines. Now:020%"},
      {45, {key::kCtrlN}, "line 21", "0045 lines. Now:080%"},
      {45, {key::kCtrlN, key::kCtrlN}, "line 26", "0045 lines. Now:Bottom"},
      {45, {key::kCtrlN, key::kCtrlN, key::kCtrlB}, "line 6", "0045 lines. Now:020%"},
      {45, {'2', key::kCtrlB}, "line 1", "0045 lines. Now:Top"},
      {45, {key::kPageDown}, "line 21", "0045 lines. Now:080%"},
      {45, {key::kPageDown, key::kPageDown, key::kPageUp}, "line 6", "0045 lines. Now:020%"},
      {600, {}, "line 1", "0512 lines. Now:Top"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lines) + " lines, " + std::to_string(c.keys.size()) + " keys");
    TestApp fresh;
    fresh.messageBoard(3, "TEST");
    fresh.message(1, "a", numbered(c.lines));
    fresh.backend.press(c.keys).press(key::kEscape);
    readMessageBoard(fresh.withLog(), fresh.reading.search, fresh.reading.listPositions, 0);
    EXPECT_EQ(fresh.backend.row(3), c.firstRow);
    EXPECT_EQ(fresh.backend.row(23), boardStatusRow(false, false, c.indicator));
  }
}

// The page is every row above the status row, which is the bottom one,
// and follows the terminal's height while the reader is open.
TEST_F(MessageBoardTest, OnATallerTerminalThePageTakesEveryRow) {
  backend.setRows(40);
  messageBoard(3, "TEST");
  message(1, "a", numbered(100));
  backend.press(key::kPageDown).resize(30).resize(24).press(key::kCtrlN, 3).resize(40);
  backend.press('R').press('q').press(key::kEscape);
  run();
  struct Case {
    std::size_t atKey;
    int statusRow;
    std::string firstLine, lastLine, indicator;
  } cases[] = {
      {0, 39, "line 1", "line 36", "0100 lines. Now:Top"},
      {1, 39, "line 37", "line 72", "0100 lines. Now:056%"},  // a page of 36
      {2, 29, "line 37", "line 62", "0100 lines. Now:048%"},
      {3, 23, "line 37", "line 56", "0100 lines. Now:045%"},
      {6, 23, "line 81", "line 100", "0100 lines. Now:Bottom"},
      {7, 39, "line 65", "line 100", "0100 lines. Now:Bottom"},  // the top brought into range
  };
  for (const Case& c : cases) {
    const Screen& shown = backend.screenAtKey(c.atKey);
    EXPECT_EQ(shown.rows(), std::max(c.statusRow + 1, 25)) << c.atKey;
    EXPECT_EQ(rowToUtf8(shown, 3), c.firstLine) << c.atKey;
    EXPECT_EQ(rowToUtf8(shown, c.statusRow - 1), c.lastLine) << c.atKey;
    EXPECT_EQ(rowToUtf8(shown, c.statusRow), boardStatusRow(false, false, c.indicator)) << c.atKey;
  }
  // A question on the status row asks on the bottom one.
  EXPECT_EQ(backend.rowAtKey(8, 39),
            "メッセージボードへのレス；タイトルを変更しますか？ (Y/[Ｎ]/Q)");
  EXPECT_EQ(backend.rowAtKey(8, 23), "line 85");
}

TEST_F(MessageBoardTest, ChangingTheMessageShowsItFromItsFirstLine) {
  messageBoard(3, "TEST");
  message(1, "a", numbered(30));
  message(2, "b", numbered(30));
  backend.press(key::kCtrlN).press(key::kRight).press(key::kEscape);
  run();
  EXPECT_EQ(backend.rowAtKey(1, 3), "line 11");
  EXPECT_EQ(backend.row(3), "line 1");
}

TEST_F(MessageBoardTest, HomeAndEndGoToTheFirstAndLastMessageFromItsFirstLine) {
  messageBoard(3, "TEST");
  message(1, "a", numbered(30));
  message(2, "b", numbered(30));
  message(3, "c", numbered(30));
  backend.press(key::kPageDown).press(key::kEnd).press(key::kEnd);
  backend.press(key::kPageDown).press(key::kHome).press(key::kEscape);
  run();
  EXPECT_EQ(backend.rowAtKey(2, 0), "Message  #0003 is from: ID0003 c");
  EXPECT_EQ(backend.rowAtKey(2, 3), "line 1");
  EXPECT_EQ(backend.rowAtKey(2, 23), boardStatusRow(true, false, "0030 lines. Now:Top"));
  EXPECT_EQ(backend.screenAtKey(3), backend.screenAtKey(2));  // End on the last: nothing
  EXPECT_EQ(backend.row(0), "Message  #0001 is from: ID0001 a");
  EXPECT_EQ(backend.row(3), "line 1");
}

TEST_F(MessageBoardTest, HelpShowsTheMenuHelpAndRedraws) {
  messageBoard(3, "TEST");
  message(1, "a", {"body"});
  // Two pages each.
  backend.type("?").type("xx").press(key::kCtrlA).type("xx").press(key::kEscape);
  run();
  EXPECT_EQ(backend.rowAtKey(1, 0), "【メニュー選択】");
  EXPECT_EQ(backend.rowAtKey(2, 0), "【メニュー選択】");
  EXPECT_EQ(backend.rowAtKey(3, 3), "body");
  EXPECT_EQ(backend.rowAtKey(4, 0), "【メニュー選択】");
  EXPECT_EQ(backend.row(3), "body");
}

TEST_F(MessageBoardTest, AReplyQuotesTheMessageUpToItsEndAndShowsItAgain) {
  messageBoard(3, "TEST");
  message(1, "a", {"----", "one"});
  message(12, "  hana ko", {"----", "quoted 1"});
  message(13, "b", {"----", "not quoted"});
  editor.keeps();
  backend.press(key::kRight).press(key::kDown);
  backend.type("r").press(key::kEnter).type("y");
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(editor.found[0],
            sj("  hana koさんの#12「message 12」へ") + "\r\n\r\n  hana ko> quoted 1\r\n\r\n");
  EXPECT_EQ(uploadBytes().substr(0, 10), "ER3;12;Y\r\n");
  EXPECT_EQ(backend.row(0), "Message  #0012 is from: ID0012   hana ko");
  EXPECT_EQ(backend.row(3), "----");
}

TEST_F(MessageBoardTest, WAndFRunTheirActionsAndReindex) {
  messageBoard(3, "TEST");
  message(1, "a", {"one"});
  message(2, "b", numbered(25));
  editor.writes("new post\r\n").keeps();
  backend.press(key::kRight).press(key::kDown);
  backend.type("w").type("title\r").type("y");
  backend.press(key::kDown).type("f");
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(uploadBytes(), "EW3;title;Y\r\nnew post\r\n\r\n//\r\nS\r\n");
  ASSERT_EQ(editor.commandLines.size(), 2u);
  EXPECT_NE(editor.commandLines[1].find("ZQ2UP.TMP"), std::string::npos);
  EXPECT_EQ(backend.row(0), "Message  #0002 is from: ID0002 b");
  EXPECT_EQ(backend.row(3), "line 1");
}

TEST_F(MessageBoardTest, MarkedHeadersAreBarsAndMarksSurviveActions) {
  messageBoard(3, "TEST");
  message(1, "a", {"one"});
  message(2, "b", numbered(25));
  message(3, "c", {"three"});
  backend.press(key::kRight).type("m").press(key::kDown, 5);
  backend.type("f");  // the upload file in the editor, then the message again
  backend.press(key::kLeft).press(key::kEscape);
  run();
  const Screen& marked = backend.screenAtKey(8);
  EXPECT_EQ(rowToUtf8(marked, 0), "Message  #0002 is from: ID0002 b");
  EXPECT_EQ(rowToUtf8(marked, 3), "line 1");
  EXPECT_EQ(marked.at(0, 0).attribute, attr::kBar);
  EXPECT_EQ(marked.at(79, 2).attribute, attr::kBar);
  EXPECT_EQ(marked.at(0, 3).attribute, attr::kStartup);
  EXPECT_EQ(backend.screen().at(0, 0).attribute, attr::kNormal);  // message 1 is not marked
}

TEST_F(MessageBoardTest, MessagesEndAtTheNextMessageOrTheBoardsEnd) {
  messageBoard(3, "TEST");
  const LogOffset one = message(1, "a", {"one"});
  const LogOffset two = message(2, "b", {"two"});
  messageBoard(4, "LAST");
  const LogOffset three = message(3, "c", {"three"});
  App& a = withLog();
  const BoardPieces first = indexMessages(a.log.stream, index.messageBoards, 0);
  EXPECT_EQ(first.starts, (std::vector<LogOffset>{one, two}));
  EXPECT_EQ(first.end(0), two);
  EXPECT_EQ(first.end(1), index.messageBoards[1].listOffset);
  const BoardPieces last = indexMessages(a.log.stream, index.messageBoards, 1);
  EXPECT_EQ(last.starts, (std::vector<LogOffset>{three}));
  EXPECT_EQ(last.end(0), -1);
}

}  // namespace
}  // namespace zazir

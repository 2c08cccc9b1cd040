#include "readers/fileboard.h"

#include <gtest/gtest.h>

#include "app/mainmenu.h"
#include "console/keys.h"
#include "console/render.h"
#include "readers/messageboard.h"
#include "services/uploadfile.h"
#include "support/test_app.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::LogBuilder;
using testing::numbered;
using testing::sj;
using testing::TestApp;

// Row 23 as a person reads it: the arrows' places, the bar and the
// position, the right arrow at column 76.
std::string fileStatusRow(bool left, bool right, const std::string& indicator) {
  return testing::arrowRow(left, "ZAZIR W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ " + indicator,
                           right);
}

// A file entry as the host writes it: "001: FILE1.LZH  1234 bytes" and its body.
LogOffset entry(LogBuilder& log, int file, const std::vector<std::string>& body) {
  const LogOffset at = log.add(formatText("%03i: FILE%i.LZH  1234 bytes", file, file));
  for (const std::string& line : body) log.add(line);
  return at;
}

class FileBoardTest : public TestApp, public ::testing::Test {
 protected:
  void run(int board = 0) { readFileBoard(withLog(), reading.search, reading.downloads, board); }
};

TEST_F(FileBoardTest, OpensOnTheFirstEntry) {
  fileBoard(5, "FILES");
  log.add("not an entry: the text between the listing and the first entry");
  entry(log, 1, {"  description", "\tsecond"});
  entry(log, 2, {"other"});
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(backend.row(0), "001: FILE1.LZH  1234 bytes");
  EXPECT_EQ(backend.row(1), "  description");
  EXPECT_EQ(backend.row(2), " second");
  EXPECT_EQ(backend.row(3), "");
  EXPECT_EQ(backend.row(23), fileStatusRow(false, true, "0002 lines.Now:Bottom"));
  const Screen& shown = backend.screen();
  EXPECT_EQ(shown.at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(79, 0).attribute, attr::kStartup);
  EXPECT_EQ(shown.at(0, 1).attribute, attr::kStartup);
  EXPECT_EQ(shown.at(0, 3).attribute, attr::kNormal);  // past the body: normal blanks
  EXPECT_EQ(shown.at(79, 22).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(0, 23).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(2, 23).attribute, attr::kBar);
  EXPECT_EQ(shown.at(70, 23).attribute, attr::kBar);  // the position is in the bar
  EXPECT_EQ(shown.at(71, 23).attribute, attr::kStartup);
}

TEST_F(FileBoardTest, ALongEntryLineIsCutToItsRow) {
  fileBoard(5, "FILES");
  log.add("001: \a" + std::string(72, 'x') + sj("漢字"));  // 82 bytes
  log.add("body");
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(backend.row(0).substr(5), std::string("?").append(72, 'x').append("漢"));
  EXPECT_EQ(backend.row(1), "body");
  EXPECT_EQ(backend.bells(), 0);  // a BEL in the entry line shows, never sounds
}

TEST_F(FileBoardTest, EntriesEndAtTheNextBoardAndAtStarCH) {
  fileBoard(5, "FIRST");
  entry(log, 1, {"one", "0012:34 a host prompt is shown"});
  entry(log, 2, {"two"});
  entry(log, 8, {});  // no description, right before the next board
  fileBoard(6, "SECOND");
  entry(log, 3, {"three", "*CH 1 chat", "not shown"});
  entry(log, 4, {"after the stop line"});
  fileBoard(7, "LAST");
  entry(log, 9, {"nine"});
  backend.press(key::kRight).press(key::kRight).press(key::kRight).press(key::kEscape);
  run();
  EXPECT_EQ(backend.rowAtKey(0, 2), "0012:34 a host prompt is shown");
  EXPECT_EQ(backend.rowAtKey(1, 0), "002: FILE2.LZH  1234 bytes");
  EXPECT_EQ(backend.rowAtKey(1, 2), "");
  EXPECT_EQ(backend.rowAtKey(2, 0), "008: FILE8.LZH  1234 bytes");
  EXPECT_EQ(backend.rowAtKey(2, 1), "");  // not the next board's listing line
  EXPECT_EQ(backend.rowAtKey(2, 23), fileStatusRow(true, false, "0000 lines.Now:Bottom"));
  EXPECT_EQ(backend.screenAtKey(3), backend.screenAtKey(2));

  backend.press(key::kRight).press(key::kEscape);
  run(1);
  EXPECT_EQ(backend.row(0), "003: FILE3.LZH  1234 bytes");
  EXPECT_EQ(backend.row(1), "three");
  EXPECT_EQ(backend.row(2), "");
  EXPECT_EQ(backend.row(23), fileStatusRow(false, false, "0001 lines.Now:Bottom"));

  backend.press(key::kEscape);
  run(2);
  EXPECT_EQ(backend.row(0), "009: FILE9.LZH  1234 bytes");
  EXPECT_EQ(backend.row(1), "nine");
}

TEST_F(FileBoardTest, ABoardWithoutEntriesShowsMessageBox1) {
  fileBoard(5, "EMPTY");
  log.add("0001: four digits are no entry");
  log.add("000: nor is file 0");
  fileBoard(6, "STOPPED");
  log.add("*CH");
  entry(log, 1, {"after the stop line"});
  for (int board : {0, 1}) {
    backend.type(" ");
    run(board);
    EXPECT_EQ(backend.row(0), "【書き込みがありません】");
    EXPECT_EQ(backend.pendingKeys(), 0u);
  }
}

TEST_F(FileBoardTest, TwentyTwoRowsMeasuredByTwentyLines) {
  struct Case {
    int lines;
    std::vector<Key> keys;
    std::string firstRow, row21, row22, indicator;
  } cases[] = {
      {21, {}, "line 1", "line 21", "", "0021 lines.Now:Top"},
      {21, {key::kDown}, "line 2", "", "", "0021 lines.Now:Bottom"},
      {21, {'2', '2', key::kCtrlN}, "line 2", "", "", "0021 lines.Now:Bottom"},
      {20,
       {key::kDown, key::kCtrlN, key::kCtrlB, key::kUp},
       "line 1",
       "",
       "",
       "0020 lines.Now:Bottom"},
      {45, {'2', '2', '2', '2', '2'}, "line 6", "line 26", "line 27", "0045 lines.Now:020%"},
      {45, {key::kCtrlN, key::kCtrlN}, "line 26", "", "", "0045 lines.Now:Bottom"},
      {45,
       {key::kCtrlN, key::kCtrlN, key::kCtrlB, '8'},
       "line 5",
       "line 25",
       "line 26",
       "0045 lines.Now:016%"},
      {600, {}, "line 1", "line 21", "line 22", "0512 lines.Now:Top"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lines) + " lines, " + std::to_string(c.keys.size()) + " keys");
    TestApp fresh;
    fresh.fileBoard(5, "FILES");
    entry(fresh.log, 1, numbered(c.lines));
    fresh.backend.press(c.keys);
    fresh.backend.press(key::kEscape);
    readFileBoard(fresh.withLog(), fresh.reading.search, fresh.reading.downloads, 0);
    EXPECT_EQ(fresh.backend.row(1), c.firstRow);
    EXPECT_EQ(fresh.backend.row(21), c.row21);
    EXPECT_EQ(fresh.backend.row(22), c.row22);
    EXPECT_EQ(fresh.backend.row(23), fileStatusRow(false, false, c.indicator));
  }
}

TEST_F(FileBoardTest, TheFirstShownLineIsKeptAcrossEntries) {
  struct Case {
    int nextLines;
    std::string firstRow;
  } cases[] = {{55, "line 31"}, {50, "line 31"}, {49, "line 30"},
               {30, "line 11"}, {20, "line 1"},  {19, "line 1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nextLines);
    TestApp fresh;
    fresh.fileBoard(5, "FILES");
    entry(fresh.log, 1, numbered(60));
    entry(fresh.log, 2, numbered(c.nextLines));
    fresh.backend.press(key::kCtrlN);
    for (int i = 0; i < 10; ++i) fresh.backend.press(key::kDown);
    fresh.backend.press(key::kRight).press(key::kEscape);
    readFileBoard(fresh.withLog(), fresh.reading.search, fresh.reading.downloads, 0);
    EXPECT_EQ(fresh.backend.rowAtKey(11, 1), "line 31");
    EXPECT_EQ(fresh.backend.row(0), "002: FILE2.LZH  1234 bytes");
    EXPECT_EQ(fresh.backend.row(1), c.firstRow);
  }
}

TEST_F(FileBoardTest, LongBodyLinesAreCutAt77BytesKeepingCharactersWhole) {
  fileBoard(5, "FILES");
  entry(log, 1, {std::string(76, 'a') + sj("漢") + "b", std::string(77, 'c'), "end"});
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(backend.row(1), std::string(76, 'a'));
  EXPECT_EQ(backend.row(2), "漢b");
  EXPECT_EQ(backend.row(3), std::string(77, 'c'));
  EXPECT_EQ(backend.row(4), "end");
}

TEST_F(FileBoardTest, KeysThatCannotActDoNotRedraw) {
  fileBoard(5, "FILES");
  entry(log, 1, {"one"});
  entry(log, 2, {"two"});
  backend.press(key::kLeft).type("4x").press(key::kRight).type("6").press(key::kRight);
  backend.type("4").type("?").type("k").press(key::kCtrlA).type("k");
  backend.press(key::kEscape);
  run();
  for (int n : {1, 2, 3}) EXPECT_EQ(backend.screenAtKey(n), backend.screenAtKey(0)) << n;
  EXPECT_EQ(backend.rowAtKey(4, 0), "002: FILE2.LZH  1234 bytes");
  EXPECT_EQ(backend.rowAtKey(4, 23), fileStatusRow(true, false, "0001 lines.Now:Bottom"));
  EXPECT_EQ(backend.screenAtKey(5), backend.screenAtKey(4));
  EXPECT_EQ(backend.screenAtKey(6), backend.screenAtKey(4));
  EXPECT_EQ(backend.rowAtKey(7, 0), "001: FILE1.LZH  1234 bytes");
  EXPECT_EQ(backend.rowAtKey(8, 0), "【メニュー選択】");
  EXPECT_EQ(backend.rowAtKey(10, 0), "【メニュー選択】");
  EXPECT_EQ(backend.row(0), "001: FILE1.LZH  1234 bytes");
  for (Key leave : {Key('Q'), Key('q'), key::kEnter, Key(' '), Key('5')}) {
    backend.press(leave);
    run();
    EXPECT_EQ(backend.pendingKeys(), 0u);
  }
}

TEST_F(FileBoardTest, DTogglesTheMarkWhichOutlivesTheReader) {
  fileBoard(5, "FILES");
  entry(log, 1, {"one"});
  entry(log, 7, {"seven"});
  entry(log, 9, {"nine"});
  reading.downloads = {{2, 4}};
  backend.type("d").press(key::kRight).type("D").press(key::kRight).type("d");
  backend.press(key::kLeft).type("d").press(key::kEscape);
  run();
  EXPECT_EQ(backend.screenAtKey(1).at(0, 0).attribute, attr::kBar);
  EXPECT_EQ(backend.screenAtKey(1).at(79, 0).attribute, attr::kStartup);
  EXPECT_EQ(backend.screenAtKey(2).at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(backend.screenAtKey(3).at(0, 0).attribute, attr::kBar);
  // Unmarking file 7 keeps the others in their order.
  EXPECT_EQ(reading.downloads, (std::vector<DownloadMark>{{2, 4}, {5, 1}, {5, 9}}));
  EXPECT_EQ(backend.screen().at(0, 0).attribute, attr::kNormal);

  // Opened again, the marked entry shows as a bar; D twice changes nothing.
  backend.press(key::kRight).type("dd").press(key::kEscape);
  run();
  const std::size_t again = 8;  // the screens of the first visit come first
  EXPECT_EQ(backend.screenAtKey(again).at(0, 0).attribute, attr::kBar);
  EXPECT_EQ(backend.screenAtKey(again + 2).at(0, 0).attribute, attr::kBar);
  EXPECT_EQ(backend.screen().at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(reading.downloads, (std::vector<DownloadMark>{{2, 4}, {5, 1}, {5, 9}}));
}

TEST_F(FileBoardTest, TheFiftiethMarkIsRefusedWithTheBell) {
  fileBoard(5, "FILES");
  entry(log, 1, {"one"});
  entry(log, 2, {"two"});
  for (int i = 0; i < kMaxDownloadMarks - 1; ++i) reading.downloads.push_back({9, i + 1});
  backend.type("d").press(key::kRight).type("d").press(key::kEscape);
  run();
  EXPECT_EQ(backend.bells(), 1);
  ASSERT_EQ(reading.downloads.size(), 49u);
  EXPECT_EQ(reading.downloads.back(), (DownloadMark{5, 1}));
  EXPECT_EQ(backend.screen().at(0, 0).attribute, attr::kNormal);
  // Room again after an unmark.
  backend.type("d").press(key::kRight).type("d").press(key::kEscape);
  run();
  EXPECT_EQ(backend.bells(), 1);
  EXPECT_EQ(reading.downloads.back(), (DownloadMark{5, 2}));
}

TEST_F(FileBoardTest, BoardsWithTheSameFileNumberHoldDistinctMarks) {
  fileBoard(5, "FIRST");
  entry(log, 3, {"on the first board"});
  fileBoard(6, "SECOND");
  entry(log, 3, {"on the second board"});
  backend.type("d").press(key::kEscape);
  run(0);
  backend.press(key::kEscape);
  run(1);
  EXPECT_EQ(backend.screen().at(0, 0).attribute, attr::kNormal);
  backend.type("d").press(key::kEscape);
  run(1);
  EXPECT_EQ(reading.downloads, (std::vector<DownloadMark>{{5, 3}, {6, 3}}));
  backend.type("d").press(key::kEscape);
  run(0);
  EXPECT_EQ(reading.downloads, (std::vector<DownloadMark>{{6, 3}}));
}

TEST_F(FileBoardTest, WUploadsAndStartsAgainAtTheFirstEntry) {
  fileBoard(5, "FILES");
  entry(log, 1, {"one"});
  entry(log, 2, numbered(30));
  editor.writes("about the file\r\n");
  backend.press(key::kRight).press(key::kCtrlN);
  backend.type("w").type("NEW.LZH\r").type("New file\r").type("y");
  backend.press(key::kEscape);
  run();
  EXPECT_EQ(uploadBytes(),
            "F5\r\nZU\r\nNEW.LZH\r\nNew file\r\nY\r\nabout the file\r\n\r\n//\r\nS\r\n");
  EXPECT_EQ(backend.row(0), "001: FILE1.LZH  1234 bytes");
  EXPECT_EQ(backend.row(1), "one");

  // F shows the upload file and comes back to the same entry.
  backend.press(key::kRight).press(key::kCtrlN).type("F").press(key::kEscape);
  run();
  ASSERT_EQ(editor.commandLines.size(), 2u);
  EXPECT_NE(editor.commandLines[1].find("ZQ2UP.TMP"), std::string::npos);
  EXPECT_EQ(backend.row(0), "002: FILE2.LZH  1234 bytes");
  EXPECT_EQ(backend.row(1), "line 1");
}

}  // namespace
}  // namespace zazir

#include "app/searchscreen.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "formats/logindex_support.h"
#include "platform/encoding.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::TestApp;

TEST(SearchScreen, ListsEveryHitOfTheExampleLogAndOpensTheReaderOnOne) {
  const std::string log = testing::exampleLog();
  TestApp t(log, testing::indexText(log));
  t.backend.type("温泉\r").press(key::kDown).type("\r").press(key::kEscape, 2);
  searchWholeLog(t.app);
  const std::size_t list = 7;  // the screen that waits for Down
  EXPECT_EQ(t.backend.rowAtKey(list, 1),
            "travel     #1105  草津に行ってきまし す。週末に草津温泉へ行ってきました。");
  EXPECT_EQ(t.backend.rowAtKey(list, 2),
            "travel     #1105  草津に行ってきまし おみやげの温泉まんじゅうは職場で大人気でし");
  EXPECT_EQ(t.backend.rowAtKey(list, 3),
            "data       #3     003:ONSEN.TXT      153 関東近郊の温泉リスト");
  EXPECT_EQ(t.backend.rowAtKey(list, 4),
            "data       #3     003:ONSEN.TXT      日帰りで行ける温泉を、泉質と料金つきでまと");
  EXPECT_EQ(t.backend.rowAtKey(list, 5), "");
  // Return: the reader on the second hit, its match in reverse video.
  const Screen& reader = t.backend.screenAtKey(list + 2);
  EXPECT_EQ(rowToUtf8(reader, 0), "Message  #1105 is from: AKN00153 まさる");
  EXPECT_EQ(rowToUtf8(reader, 8), "おみやげの温泉まんじゅうは職場で大人気でした。");
  EXPECT_EQ(reader.at(10, 8).attribute, attr::kBar);
  EXPECT_EQ(reader.at(13, 8).attribute, attr::kBar);
  EXPECT_EQ(reader.at(14, 8).attribute, attr::kStartup);
  // Esc: back to the list, on the same row.
  EXPECT_EQ(testing::highlightedRows(t.backend.screen()), std::vector<int>{2});
  EXPECT_TRUE(t.app.marks.isRead(MarkSection::MessageBoard, 3, 0));
}

// Read in small blocks, the scan is stopped by Esc after its first piece;
// the hits found so far are listed.
TEST(SearchScreen, EscStopsTheScanKeepingTheHitsFound) {
  const std::string log = testing::exampleLog();
  int complete = 0;
  for (const bool stop : {false, true}) {
    TestApp t(log, testing::indexText(log));
    testing::writeBytes(t.path("LOG"), log);
    t.app.openLog = [&t](std::size_t) {
      return std::unique_ptr<LineStream>(FileLineStream::open(t.path("LOG"), 2048));
    };
    t.backend.type("AKN\r");
    if (stop) t.backend.press(key::kEscape);
    t.backend.press(key::kEscape);
    // Without Esc the scan goes on in one piece, to a page of hits.
    searchWholeLog(t.app,
                   stop ? SearchPacing{.pieceBytes = 1, .progressAfter = {}} : SearchPacing{});
    const Screen& list = t.backend.screen();
    int rows = 0;
    while (rows < 23 && !rowToUtf8(list, rows + 1).empty()) ++rows;
    if (!stop) {
      complete = rows;
      continue;
    }
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, complete);
    EXPECT_EQ(complete, 23);
    EXPECT_EQ(rowToUtf8(list, 23), "検索を中止しました（見つかった分を表示）");
  }
}

// A Notewall hit opens the Notewall list on its line, a chat hit the chat
// board's list on the line its back-log holds; a line not recorded there
// is told.
TEST(SearchScreen, ANotewallOrChatHitOpensItsListOnTheLine) {
  const std::string log = testing::exampleLog();
  struct Case {
    const char* text;
    std::string backLog;  // of "#雑談"; none when empty
    int highlighted;      // -1: the hit list stays, with the notice
    std::string row;
  } cases[] = {
      {"advice", "", 3, "AKN00315      :(tanaka) Thanks for the memory advice."},
      {"everyone", "AKN00001      >older\r\nAKN00315      >Good evening, everyone!\r\n", 2,
       "AKN00315      >Good evening, everyone!"},
      {"everyone", "", -1, "この行はチャットの記録ファイルにありません"},
  };
  for (const Case& c : cases) {
    TestApp t(log, testing::indexText(log));
    testing::InDirectory inDirectory(t.dir);
    if (!c.backLog.empty()) testing::writeBytes(toOsName(testing::sj("#雑談")), c.backLog);
    t.backend.type(c.text).type("\r\r").press(key::kEscape, c.highlighted < 0 ? 1 : 2);
    searchWholeLog(t.app);
    // The screen the last Esc but one leaves.
    const Screen& shown = t.backend.screenAtKey(t.backend.keysRead() - (c.highlighted < 0 ? 1 : 2));
    if (c.highlighted < 0) {
      EXPECT_EQ(rowToUtf8(shown, 23), c.row) << c.text;
      EXPECT_EQ(t.backend.bells(), 1);
      continue;
    }
    EXPECT_EQ(testing::highlightedRows(shown), std::vector<int>{c.highlighted}) << c.text;
    EXPECT_EQ(rowToUtf8(shown, c.highlighted), c.row) << c.text;
  }
}

}  // namespace
}  // namespace zazir

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
  searchWholeLog(t.reading);
  const std::size_t list = 7;  // the screen that waits for Down
  // Under the bar, the text and the count; the ID and title columns are
  // marked where they are cut.
  const std::vector<std::string> shown = {
      "検索「温泉」 1～4件目 / 全4件",
      "travel     #1105    草津に行ってきま… まさるです。週末に草津温泉へ行ってきま…",
      "travel     #1105    草津に行ってきま… おみやげの温泉まんじゅうは職場で大人気…",
      "data       #3       003:ONSEN.TXT…    …AKN00153 関東近郊の温泉リスト",
      "data       #3       003:ONSEN.TXT…        日帰りで行ける温泉を、泉質と料金つ…",
      ""};
  for (std::size_t k = 0; k < shown.size(); ++k) {
    EXPECT_EQ(t.backend.rowAtKey(list, static_cast<int>(k) + 1), shown[k]) << k;
  }
  // Return: the reader on the second hit, its match in reverse video.
  const Screen& reader = t.backend.screenAtKey(list + 2);
  EXPECT_EQ(rowToUtf8(reader, 0), "Message  #1105 is from: AKN00153 まさる");
  EXPECT_EQ(rowToUtf8(reader, 8), "おみやげの温泉まんじゅうは職場で大人気でした。");
  EXPECT_EQ(reader.at(10, 8).attribute, attr::kBar);
  EXPECT_EQ(reader.at(13, 8).attribute, attr::kBar);
  EXPECT_EQ(reader.at(14, 8).attribute, attr::kStartup);
  // Esc: back to the list, on the same row.
  EXPECT_EQ(testing::highlightedRows(t.backend.screen()), std::vector<int>{3});
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
    t.app.log.opener = [&t](std::size_t) {
      return std::unique_ptr<LineStream>(FileLineStream::open(t.path("LOG"), 2048));
    };
    t.backend.type("AKN\r");
    if (stop) t.backend.press(key::kEscape);
    t.backend.press(key::kEscape);
    // Without Esc the scan goes on in one piece, to a page of hits.
    searchWholeLog(t.reading,
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
    searchWholeLog(t.reading);
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

std::string notewallLog(const std::vector<std::string>& lines) {
  std::string log = testing::sj("《 気軽な伝言板 》\r\n----\r\n");
  for (const std::string& line : lines) log += testing::sj(line) + "\r\n";
  return log + "*CH\r\n";
}

// The whole screen's text, row by row.
std::string screenText(const Screen& screen) {
  std::string text;
  for (int row = 0; row < screen.rows(); ++row) text += rowToUtf8(screen, row) + "\n";
  return text;
}

// The text and the count above the hits; a Notewall hit's ID whole in the
// title column; a long line never cut inside a word of ASCII, "…" where
// it is cut; the help box without the keys for writing.
TEST(SearchScreen, HitListShowsTheSearchIdsWholeCutsMarkedAndItsOwnKeys) {
  const std::string log = notewallLog({
      "ABC01234      :(ひろし) 伝言その一",
      "DEF05678      :伝言その二",
      "GHI09999      :(ひろし) 詳しくは http://example.jp/zazir/notes/page.html その二を見て、"
      "それからあとで返事をください",
  });
  TestApp t(log, testing::indexText(log));
  t.backend.type("その二\r?x").press(key::kEscape);
  searchWholeLog(t.reading);
  const std::size_t list = 10;  // the screen that waits for "?"
  EXPECT_EQ(t.backend.rowAtKey(list, 1), "検索「その二」 1～2件目 / 全2件");
  EXPECT_EQ(t.backend.rowAtKey(list, 2), "Notewall   #2       DEF05678           伝言その二");
  EXPECT_EQ(t.backend.rowAtKey(list, 3),
            "Notewall   #3       GHI09999           … その二を見て、それからあとで返事を…");
  const std::string bar = t.backend.rowAtKey(list, 0);
  EXPECT_NE(bar.find("Q:戻る"), std::string::npos) << bar;
  EXPECT_EQ(bar.find("W:"), std::string::npos) << bar;
  const std::string help = screenText(t.backend.screenAtKey(list + 1));
  EXPECT_NE(help.find("リターンキー：決定"), std::string::npos) << help;
  EXPECT_NE(help.find("Home，End"), std::string::npos) << help;
  EXPECT_EQ(help.find("Ｗ："), std::string::npos) << help;
  EXPECT_EQ(help.find("Ｒ："), std::string::npos) << help;
}

// A million hits: End reaches the last, numbered in full, and every page is
// found again, near the end and at the start.
TEST(SearchScreen, TheHitStoreReachesTheMillionthHitAndFindsEveryPageAgain) {
  constexpr int kLines = 1000000;
  std::string log = testing::sj("《 気軽な伝言板 》\r\n----\r\n");
  log.reserve(static_cast<std::size_t>(kLines) * 22 + 64);
  std::string line = "U0000000      :memo\r\n";
  for (int number = 1; number <= kLines; ++number) {
    for (int k = 7, rest = number; k > 0; --k, rest /= 10)
      line[k] = static_cast<char>('0' + rest % 10);
    log += line;
  }
  log += "*CH\r\n";
  TestApp t(log, testing::indexText(log));
  // Read in blocks from a file, as the program reads the log.
  testing::writeBytes(t.path("LOG"), log);
  t.app.log.opener = [&t](std::size_t bufferBytes) {
    return std::unique_ptr<LineStream>(FileLineStream::open(t.path("LOG"), bufferBytes));
  };
  t.backend.type("memo\r").press(key::kEnd).press(key::kPageUp).press(key::kHome);
  t.backend.press(key::kEscape);
  // In one piece: the keys typed ahead, Esc among them, are not looked at.
  searchWholeLog(t.reading, SearchPacing{.pieceBytes = log.size()});
  struct Page {
    std::size_t key;  // the screen that waits for it
    std::string heading;
    std::string first;
  } pages[] = {
      {6, "検索「memo」 999989～1000000件目 / 全1000000件",
       "Notewall   #999989  U0999989           memo"},
      {7, "検索「memo」 999967～999988件目 / 全1000000件",
       "Notewall   #999967  U0999967           memo"},
      {8, "検索「memo」 1～22件目 / 全1000000件", "Notewall   #1       U0000001           memo"},
  };
  for (const Page& page : pages) {
    EXPECT_EQ(t.backend.rowAtKey(page.key, 1), page.heading) << page.key;
    EXPECT_EQ(t.backend.rowAtKey(page.key, 2), page.first) << page.key;
  }
  EXPECT_EQ(t.backend.rowAtKey(6, 13), "Notewall   #1000000 U1000000           memo");
  EXPECT_EQ(t.backend.rowAtKey(6, 14), "");
}

}  // namespace
}  // namespace zazir

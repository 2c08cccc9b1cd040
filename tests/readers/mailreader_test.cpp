#include "readers/mailreader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/render.h"
#include "readers/mail_log.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::concat;
using testing::deleteQuestion;
using testing::fileBytes;
using testing::MailLog;
using testing::numbered;
using testing::read;
using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

std::string statusRow(bool previous, int lines, const std::string& position, bool next) {
  return testing::arrowRow(previous,
                           "ZAZIR W:ﾒｰﾙ送信 R:ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ" +
                               formatText(" %04i lines. Now:%s", lines, position),
                           next);
}

TEST(MailReader, ShowsTheHeaderTheBodyAndTheStatusRow) {
  MailLog log;
  log.add("SYSOP01", "Taro", {"", "line one", "\tline two"}).add("USER02", "Jiro", {"hi"});
  TestApp t(log.bytes, log.index);
  read(t, {key::kRight});
  const Screen& first = t.backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(first, 0), "Private Message is from: SYSOP01 Taro");
  EXPECT_EQ(rowToUtf8(first, 1), "Date: 97/01/02 12:34:56");
  EXPECT_EQ(rowToUtf8(first, 2), "Title:Title of SYSOP01");
  EXPECT_EQ(rowToUtf8(first, 3), "");
  EXPECT_EQ(rowToUtf8(first, 4), "line one");
  EXPECT_EQ(rowToUtf8(first, 5), " line two");
  EXPECT_EQ(rowToUtf8(first, 6), "");
  EXPECT_EQ(rowToUtf8(first, 23), statusRow(false, 3, "Bottom", true));
  EXPECT_EQ(first.at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(first.at(0, 4).attribute, attr::kStartup);
  EXPECT_EQ(first.at(0, 23).attribute, attr::kNormal);
  EXPECT_EQ(first.at(2, 23).attribute, attr::kBar);
  const Screen& second = t.backend.screenAtKey(1);
  EXPECT_EQ(rowToUtf8(second, 0), "Private Message is from: USER02 Jiro");
  EXPECT_EQ(rowToUtf8(second, 3), "hi");
  EXPECT_EQ(rowToUtf8(second, 4), "");
  EXPECT_EQ(rowToUtf8(second, 23), statusRow(true, 1, "Bottom", false));
}

TEST(MailReader, BodyLinesAsTheyAreStored) {
  const std::string kanji = sj("漢");
  struct Case {
    const char* name;
    std::vector<std::string> body;
    std::string end;
    std::vector<std::string> rows;  // rows 3 onwards, CP932
  } cases[] = {
      {"no body", {}, deleteQuestion(), {""}},
      {"a kanji at the cut moves whole",
       {std::string(76, 'a') + kanji + "b"},
       deleteQuestion(),
       {std::string(76, 'a'), kanji + "b", ""}},
      {"a line of exactly 77 bytes is one row",
       {std::string(77, 'c'), "next"},
       deleteQuestion(),
       {std::string(77, 'c'), "next", ""}},
      {"a line of 160 bytes",
       {std::string(160, 'd')},
       deleteQuestion(),
       {std::string(77, 'd'), std::string(77, 'd'), "dddddd", ""}},
      {"ends at the file menu", {"x", "BMAIL (X:XMODEM) > ", "y"}, "", {"x", ""}},
      {"ends at the main menu", {"x", "MAIN (A,B) > ", "y"}, "", {"x", ""}},
      {"ends at the end of the log", {"x", "y"}, "", {"x", "y", ""}},
  };
  for (const Case& c : cases) {
    MailLog log;
    log.add("A", "a", c.body, c.end);
    TestApp t(log.bytes, log.index);
    read(t, {});
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
      EXPECT_EQ(t.backend.row(3 + static_cast<int>(r)), utf8(c.rows[r])) << c.name << " row " << r;
    }
    const int count = static_cast<int>(c.rows.size()) - 1;
    EXPECT_EQ(t.backend.row(23), statusRow(false, count, "Bottom", false)) << c.name;
  }
}

TEST(MailReader, Scrolling) {
  struct Case {
    int lines;
    std::vector<Key> keys;
    std::string firstRow;
    std::string position;
  } cases[] = {
      {45, {}, "line 1", "Top"},
      {45, {'2', '2', '2', '2', key::kDown}, "line 6", "020%"},
      {45, {'2', '2', '8'}, "line 2", "004%"},
      {45, {key::kCtrlN}, "line 21", "080%"},
      {45, {key::kCtrlN, key::kCtrlN}, "line 26", "Bottom"},
      {45, {key::kCtrlN, key::kCtrlN, key::kUp}, "line 25", "096%"},
      {45, {'2', key::kCtrlB}, "line 1", "Top"},
      {45, {key::kUp, key::kCtrlB}, "line 1", "Top"},
      {20, {'2', key::kCtrlN}, "line 1", "Bottom"},
      {15, {'2', key::kCtrlN, '8', key::kCtrlB}, "line 1", "Bottom"},
      {600, {}, "line 1", "Top"},  // a mail holds at most 512 lines
  };
  for (const Case& c : cases) {
    MailLog log;
    log.add("A", "a", numbered(c.lines, "line "));
    TestApp t(log.bytes, log.index);
    read(t, c.keys);
    EXPECT_EQ(t.backend.row(3), c.firstRow) << c.lines << " lines, " << c.position;
    EXPECT_EQ(t.backend.row(23), statusRow(false, std::min(c.lines, 512), c.position, false))
        << c.lines << " lines, " << c.position;
  }
}

TEST(MailReader, EndAndHomeGoToTheLastAndFirstMailKeepingTheFirstLineShown) {
  MailLog log;
  log.add("A", "a", numbered(60, "zero "))
      .add("B", "b", numbered(40, "one "))
      .add("C", "c", numbered(55, "two "));
  TestApp t(log.bytes, log.index);
  read(t, {key::kPageDown, key::kPageDown, key::kEnd, key::kHome});
  EXPECT_EQ(t.backend.rowAtKey(3, 0), "Private Message is from: C c");
  EXPECT_EQ(t.backend.rowAtKey(3, 3), "two 36");  // line 41 brought into range
  EXPECT_EQ(t.backend.rowAtKey(4, 0), "Private Message is from: A a");
  EXPECT_EQ(t.backend.rowAtKey(4, 3), "zero 36");
}

TEST(MailReader, TheFirstLineShownIsKeptAcrossMails) {
  MailLog log;
  log.add("A", "a", numbered(60, "zero "))
      .add("B", "b", numbered(55, "one "))
      .add("C", "c", numbered(30, "two "))
      .add("D", "d", numbered(10, "three "));
  TestApp t(log.bytes, log.index);
  read(t, concat(concat({key::kCtrlN}, testing::repeated('2', 10)),
                 {'6', '6', '6', '4', '4', '4', '4'}));
  const std::size_t atRight = 11;
  EXPECT_EQ(t.backend.rowAtKey(atRight, 3), "zero 31");
  EXPECT_EQ(t.backend.rowAtKey(atRight + 1, 3), "one 31");
  EXPECT_EQ(t.backend.rowAtKey(atRight + 2, 3), "two 11");
  EXPECT_EQ(t.backend.rowAtKey(atRight + 3, 3), "three 1");
  EXPECT_EQ(t.backend.rowAtKey(atRight + 4, 3), "two 1");
  // Left at the first mail changes nothing.
  EXPECT_EQ(t.backend.screenAtKey(atRight + 7), t.backend.screenAtKey(atRight + 6));
  EXPECT_EQ(t.backend.rowAtKey(atRight + 7, 0), "Private Message is from: A a");
}

TEST(MailReader, LeavingKeysAndIgnoredKeys) {
  MailLog log;
  log.add("A", "a", {"x"}).add("B", "b", {"y"});
  for (Key leave : std::vector<Key>{key::kEscape, 'Q', 'q', ' ', '5', key::kEnter}) {
    TestApp t(log.bytes, log.index);
    t.backend.press('z').press('6').press('6').press(leave);
    readMail(t.app, t.reading.search);
    EXPECT_EQ(t.backend.pendingKeys(), 0u) << leave;
    EXPECT_EQ(t.backend.row(0), "Private Message is from: B b") << leave;
  }
  TestApp none;
  readMail(none.app, none.reading.search);  // no mail: nothing to show, no key read
  EXPECT_EQ(none.backend.row(0), "");
}

TEST(MailReader, ABellInTheLogNeverSounds) {
  MailLog log;
  log.add("A", "a\a", {"body\a"});
  TestApp t(log.bytes, log.index);
  read(t, {'?', 'k'});
  EXPECT_EQ(t.backend.bells(), 0);
  EXPECT_EQ(t.backend.row(0).substr(0, 28), "Private Message is from: A a");
}

TEST(MailReader, HelpUploadFileAndNewMailReturnToTheMail) {
  MailLog log;
  log.add("A", "a", {"x"});
  TestApp t(log.bytes, log.index);
  read(t, {'?', 'k', 'f', 'w', key::kEscape});
  EXPECT_EQ(t.backend.rowAtKey(1, 0), "【メール読み出し】");
  EXPECT_EQ(t.backend.rowAtKey(2, 3), "x");
  ASSERT_EQ(t.editor.commandLines.size(), 1u);
  EXPECT_NE(t.editor.commandLines[0].find("ZQ2UP.TMP"), std::string::npos);
  EXPECT_EQ(t.backend.rowAtKey(3, 3), "x");
  // "W" opens the recipient list of a new mail; Esc there sends nothing.
  EXPECT_EQ(t.backend.rowAtKey(4, 1).substr(0, 3), "---");
  EXPECT_EQ(t.backend.row(3), "x");
  EXPECT_EQ(t.backend.row(0), "Private Message is from: A a");
}

}  // namespace
}  // namespace zazir

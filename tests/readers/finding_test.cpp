// The readers' keys for finding things: / n N through a board, # by the
// number, T, the title list of a board of the example log.
#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "formats/logindex_support.h"
#include "readers/fileboard.h"
#include "readers/mail_log.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::sj;
using testing::TestApp;

// The text of row `row` drawn in reverse video.
std::string reversedText(const Screen& screen, int row) {
  Screen only;
  for (int column = 0; column < kScreenWidth; ++column) {
    if (screen.at(column, row).attribute == attr::kBar)
      only.at(column, row) = screen.at(column, row);
  }
  std::string text = rowToUtf8(only, row);
  return text.substr(
      text.find_first_not_of(' ') == std::string::npos ? text.size() : text.find_first_not_of(' '));
}

class FindingTest : public TestApp, public ::testing::Test {
 protected:
  // Three messages: the word in the first's body, none in the second, in
  // the third's body below the first page and in its title.
  void SetUp() override {
    messageBoard(3, "TEST");
    message(12, "a", {"hay", "a needle here"});
    message(15, "b", {"nothing"});
    std::vector<std::string> body = testing::numbered(30);
    body.push_back("NEEDLE in capitals");
    body.resize(60, "more");
    message(17, "c", body);
  }
};

TEST_F(FindingTest, SearchGoesOnThroughTheBoardAndWrapsAtEitherEnd) {
  backend.press(key::kRight).type("/needle\r");  // from the second message on
  backend.type("n").type("n").type("N").type("N");
  backend.type("/message 15\r");
  backend.type("/nowhere\r").press(key::kEscape);
  readMessageBoard(withLog(), reading.search, reading.listPositions, 0);
  struct Step {
    std::size_t key;  // the screen that waits for the key after it
    std::string first;
    int row;
    std::string reversed;
    std::string status;  // row 23 from its start, when a notice stands there
  } steps[] = {
      {9, "Message  #0017 is from: ID0017 c", 3, "NEEDLE", ""},
      {10, "Message  #0012 is from: ID0012 a", 4, "needle", "最後まで探したので最初から探しました"},
      {11, "Message  #0017 is from: ID0017 c", 3, "NEEDLE", ""},
      {12, "Message  #0012 is from: ID0012 a", 4, "needle", ""},
      {13, "Message  #0017 is from: ID0017 c", 3, "NEEDLE", "最初まで探したので最後から探しました"},
      // A header counts; the top line of the page stays.
      {25, "Message  #0015 is from: ID0015 b", 2, "message 15", ""},
      {34, "Message  #0015 is from: ID0015 b", 2, "message 15", "「nowhere」は見つかりません"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.key);
    const Screen& screen = backend.screenAtKey(step.key);
    EXPECT_EQ(rowToUtf8(screen, 0), step.first);
    EXPECT_EQ(reversedText(screen, step.row), step.reversed);
    if (!step.status.empty()) {
      EXPECT_EQ(rowToUtf8(screen, 23), step.status);
    }
  }
  // The line below the first page is brought to the top.
  EXPECT_EQ(backend.rowAtKey(9, 3), "NEEDLE in capitals");
  EXPECT_EQ(backend.bells(), 1);
}

TEST_F(FindingTest, AMatchFoundOnceIsTheOnlyOne) {
  backend.type("/hay\r").type("n").type("N").press(key::kEscape);
  readMessageBoard(withLog(), reading.search, reading.listPositions, 0);
  for (std::size_t key : {6, 7}) {
    EXPECT_EQ(reversedText(backend.screenAtKey(key), 3), "hay") << key;
    EXPECT_EQ(backend.rowAtKey(key, 23), "ほかに一致する箇所はありません") << key;
  }
  EXPECT_EQ(backend.bells(), 2);
}

// A message longer than the search's chunks, on a line of 600 KB: the
// reader shows the start of that line only, and the search finds nothing
// past it in the message, on to the next message and round.
TEST(LongMessageFinding, TheSearchLooksThroughALongMessageAsFarAsItIsShown) {
  TestApp t;
  t.messageBoard(3, "TEST");
  std::string line = "needle at the start ";
  while (line.size() < 600000) line += "and more hay, ";
  t.message(12, "a", {"hay", line + "a needle never shown", "nor this needle"});
  t.message(15, "b", {"one more needle"});
  t.backend.type("/needle\r").type("n").type("n").type("N").press(key::kEscape);
  readMessageBoard(t.withLog(), t.reading.search, t.reading.listPositions, 0);
  struct Step {
    std::size_t key;  // the screen that waits for the key after it
    std::string first;
    int row;
  } steps[] = {
      {8, "Message  #0012 is from: ID0012 a", 4},
      {9, "Message  #0015 is from: ID0015 b", 3},
      {10, "Message  #0012 is from: ID0012 a", 4},
      {11, "Message  #0015 is from: ID0015 b", 3},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.key);
    const Screen& screen = t.backend.screenAtKey(step.key);
    EXPECT_EQ(rowToUtf8(screen, 0), step.first);
    EXPECT_EQ(reversedText(screen, step.row).substr(0, 6), "needle");
  }
}

TEST_F(FindingTest, HashShowsAMessageByItsNumberAndRingsForAnUnknownOne) {
  struct Case {
    std::string typed;
    std::string first;  // row 0 afterwards
    std::string status;
  } cases[] = {
      {"17", "Message  #0017 is from: ID0017 c", ""},
      {"＃１５", "Message  #0015 is from: ID0015 b", ""},
      {"16", "Message  #0012 is from: ID0012 a", "16 番は見つかりません"},
      {"1x", "Message  #0012 is from: ID0012 a", "1x 番は見つかりません"},
  };
  for (const Case& c : cases) {
    TestApp t;
    t.messageBoard(3, "TEST");
    t.message(12, "a", {"x"});
    t.message(15, "b", {"x"});
    t.message(17, "c", {"x"});
    t.backend.type("#").type(c.typed).type("\r").press(key::kEscape);
    readMessageBoard(t.withLog(), t.reading.search, t.reading.listPositions, 0);
    const std::size_t last = t.backend.keysRead() - 1;
    EXPECT_EQ(t.backend.rowAtKey(last, 0), c.first) << c.typed;
    if (!c.status.empty()) {
      EXPECT_EQ(t.backend.rowAtKey(last, 23), c.status) << c.typed;
    }
    EXPECT_EQ(t.backend.bells(), c.status.empty() ? 0 : 1) << c.typed;
  }
  // Mail goes by position.
  TestApp t;
  testing::MailLog mail;
  mail.add("A", "a", {"one"});
  mail.add("B", "b", {"two"});
  t.index = mail.index;
  t.withLog(mail.bytes);
  t.backend.type("#2\r").type("#3\r").press(key::kEscape);
  readMail(t.app, t.reading.search);
  EXPECT_EQ(t.backend.row(0), t.backend.rowAtKey(3, 0));
  EXPECT_NE(t.backend.rowAtKey(3, 0), t.backend.rowAtKey(0, 0));
  EXPECT_EQ(t.backend.row(23), "3 番は見つかりません");
}

// The example log's boards as a person sees their titles: read and
// unread, marked for the batch reply or for download.
TEST(TitleList, RowsOfTheExampleLogsBoards) {
  const std::string log = testing::exampleLog();
  TestApp t(log, testing::indexText(log));
  t.backend.type("MT").press(key::kDown, 2).type("\r").type("T").press(key::kEscape, 2);
  readMessageBoard(t.app, t.reading.search, t.reading.listPositions, 1);
  EXPECT_EQ(t.backend.rowAtKey(2, 1), " * #1021  AKN00412 かずや       ハードディスクの増設");
  EXPECT_EQ(t.backend.rowAtKey(2, 2), "N  #1022  AKN00208 Hiro         Re:ハードディスクの増設");
  EXPECT_EQ(t.backend.rowAtKey(2, 3), "N  #1023  AKN00315 tanaka       Memory");
  EXPECT_EQ(t.backend.rowAtKey(2, 4), "");
  EXPECT_EQ(testing::highlightedRows(t.backend.screenAtKey(2)), std::vector<int>{1});
  EXPECT_EQ(t.backend.rowAtKey(5, 0), "Message  #1023 is from: AKN00315 tanaka");
  EXPECT_EQ(t.backend.rowAtKey(6, 3), "   #1023  AKN00315 tanaka       Memory");
  EXPECT_EQ(testing::highlightedRows(t.backend.screenAtKey(6)), std::vector<int>{3});
  // Esc goes back to the reader where it was.
  EXPECT_EQ(t.backend.row(0), "Message  #1023 is from: AKN00315 tanaka");

  t.backend.type("DT").press(key::kEscape, 2);
  readFileBoard(t.app, t.reading.search, t.reading.downloads, 2);
  EXPECT_EQ(t.backend.rowAtKey(10, 1),
            " * 001:SAKURA96.LZH  210544 96/05/29 AKN00777 花見の写真（スキャナ取込）");
  EXPECT_EQ(t.backend.rowAtKey(10, 3),
            "N  003:ONSEN.TXT       4210 96/06/02 AKN00153 関東近郊の温泉リスト");
}

// A row picked with W or R does what that key does in the reader, on the
// item of that row; the file board binds no R, so R only opens the entry.
TEST(TitleList, WAndROnARowActAsTheReadersKeys) {
  struct Case {
    const char* name;
    bool files;
    std::vector<std::string> keys;  // after T and Down
    std::string upload;
    std::string header;  // row 0 once back in the reader
  } cases[] = {
      {"message R", false, {"R", "\r", "y"}, "ER3;2;Y\r\n", "Message  #0002 is from: ID0002 b"},
      {"message W",
       false,
       {"W", "title\r", "y"},
       "EW3;title;Y\r\n",
       "Message  #0002 is from: ID0002 b"},
      {"file R", true, {"R"}, "<none>", "002: B.LZH"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestApp t;
    if (c.files) {
      t.fileBoard(5, "FILES");
      for (const char* line : {"001: A.LZH", "about A", "002: B.LZH", "about B"}) t.log.add(line);
    } else {
      t.messageBoard(3, "TEST");
      t.message(1, "a", {"----", "one"});
      t.message(2, "b", {"----", "two"});
    }
    t.editor.writes("text\r\n");
    t.backend.type("T").press(key::kDown);
    for (const std::string& typed : c.keys) t.backend.type(typed);
    t.backend.press(key::kEscape);
    if (c.files) {
      readFileBoard(t.withLog(), t.reading.search, t.reading.downloads, 0);
    } else {
      readMessageBoard(t.withLog(), t.reading.search, t.reading.listPositions, 0);
    }
    EXPECT_EQ(t.uploadBytes().substr(0, c.upload.size()), c.upload);
    EXPECT_EQ(t.editor.commandLines.size(), c.files ? 0u : 1u);
    EXPECT_EQ(t.backend.row(0), c.header);
  }
}

// O in a message board's title list: each reply under what it answers,
// with tree marks, and back to log order, the cursor on the same message.
TEST(TitleList, ThreadsAndLogOrder) {
  TestApp t;
  t.messageBoard(3, "TEST");
  const char* bodies[] = {"hello", ">>1", "new topic", ">>2", ">>1", ">>99", ">>5"};
  for (int n = 1; n <= 7; ++n) t.message(n, "h", {"----", bodies[n - 1]});
  t.backend.type("T").type("o").press(key::kDown, 2).type("\r");
  t.backend.type("T").type("O").type("\r").press(key::kEscape);
  readMessageBoard(t.withLog(), t.reading.search, t.reading.listPositions, 0);
  // The title after the columns of number, ID and handle.
  const auto title = [&](int atKey, int row) { return t.backend.rowAtKey(atKey, row).substr(32); };
  const std::vector<std::string> logOrder = {"message 1", "message 2", "message 3", "message 4",
                                             "message 5", "message 6", "message 7"};
  const std::vector<std::string> threaded = {"message 1",    "├─>message 2",    "│ └─>message 4",
                                             "└─>message 5", "   └─>message 7", "message 3",
                                             "message 6"};
  for (int row = 0; row < 7; ++row) {
    EXPECT_EQ(title(1, row + 1), logOrder[row]) << row;
    EXPECT_EQ(title(2, row + 1), threaded[row]) << row;
  }
  EXPECT_TRUE(t.backend.rowAtKey(1, 0).ends_with(" ?:ﾍﾙﾌﾟ O:ｽﾚｯﾄﾞ/ﾛｸﾞ順"));
  EXPECT_EQ(testing::highlightedRows(t.backend.screenAtKey(4)), std::vector<int>{3});
  EXPECT_EQ(t.backend.rowAtKey(5, 0), "Message  #0004 is from: ID0004 h");
  // The reader keeps the order chosen; O goes back to log order on message 4.
  EXPECT_EQ(title(6, 3), "│ └─>message 4");
  EXPECT_EQ(testing::highlightedRows(t.backend.screenAtKey(7)), std::vector<int>{4});
  EXPECT_EQ(title(7, 4), "message 4");
  EXPECT_EQ(t.backend.row(0), "Message  #0004 is from: ID0004 h");
}

}  // namespace
}  // namespace zazir

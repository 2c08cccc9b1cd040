#include "formats/logindex.h"

#include <gtest/gtest.h>

#include "formats/logindex_support.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::indexText;
using testing::listingLine;
using testing::logOf;
using testing::sj;

// `prefix` padded with blanks to column 49, then the status.
std::string statusAt49(const std::string& prefix, const std::string& status) {
  std::string line = prefix;
  line.resize(49, ' ');
  return line + status;
}

TEST(ListingLine, WhichLinesAreBoards) {
  const std::string unread = sj("未読なし");
  const std::string plain = listingLine(7, "news", "お知らせ", "未読なし");
  std::string zeroPadded = plain;
  zeroPadded.replace(0, 4, "0012");
  std::string nine = plain;
  nine.replace(0, 4, "0009");
  const std::string english = statusAt49("  21: misc", "No messages found");
  struct Case {
    const char* what;
    std::string line;
    int number;  // 0: not a listing line
  } cases[] = {
      {"plain", plain, 7},
      {"zero-padded number is decimal", zeroPadded, 12},
      {"leading zeros before 9", nine, 9},
      {"79 bytes", english + std::string(79 - english.size(), 'x'), 21},
      {"80 bytes", english + std::string(80 - english.size(), 'x'), 0},
      {"80 bytes of trailing blanks", english + std::string(80 - english.size(), ' '), 0},
      {"54 bytes cannot hold a status", statusAt49("   3: a", sj("検索中")).substr(0, 54), 0},
      {"number 0", statusAt49("   0: zero", unread), 0},
      {"negative number", statusAt49("  -4: minus", unread), 0},
      {"colon in column 3", statusAt49(" 12:  late", unread), 0},
      {"no number", statusAt49("abcd: word", unread), 0},
      {"status in column 50", statusAt49("   5: shifted", " " + unread), 0},
      {"unknown status", statusAt49("   5: other", sj("閲覧中")), 0},
      {"status with more text", statusAt49("   6: more", unread + sj("です")), 6},
      {"bytes after a CR do not count", plain + "\r" + std::string(40, 'z'), 7},
  };
  for (const Case& c : cases) {
    const auto result = indexText(c.line + "\r\n");
    if (c.number == 0) {
      EXPECT_EQ(result.messageBoardCount(), 0) << c.what;
      continue;
    }
    ASSERT_EQ(result.messageBoardCount(), 1) << c.what;
    const BoardEntry& board = result.messageBoards[0];
    EXPECT_EQ(board.number, c.number) << c.what;
    // Every status but exactly "検索中" keeps the whole cleaned line.
    EXPECT_EQ(board.label, c.line.substr(0, c.line.find('\r'))) << c.what;
  }
  // A line of exactly 55 bytes with "検索中" is the shortest listing line.
  const auto shortest = indexText(
      logOf({statusAt49("   3: a", sj("検索中")), sj("新しいメッセージが 1 件あります。")}));
  EXPECT_EQ(shortest.messageBoardCount(), 1);
}

// What the program must never write to: a capture of a visit, told from
// the files it writes itself by copying parts of one.
TEST(Capture, AVisitReadsAsALogWhatTheProgramCopiesDoesNot) {
  const std::string greeting = sj("ようこそ") + "\r\nID: AKN00777\r\n";
  const std::string heading = "Private Message is from: A a\r\nDate: 96/06/02\r\n";
  const std::string board = listingLine(2, "pc98", "title", "検索中") + "\r\n";
  const std::string notewall = sj("《 気軽な伝言板 》") + "\r\n";
  const std::string question = sj("削除しますか (Y/N) > N") + "\r\n";
  const std::string menu = "MAIN (A,B,C,F,L,M,N,P,Q,?) > N\r\n";
  struct Case {
    const char* what;
    std::string head;
    bool log;
  } cases[] = {
      {"a visit with boards", greeting + board, true},
      {"a visit with the Notewall", greeting + notewall, true},
      {"a visit with mail only", greeting + heading + "hi\r\n" + question + menu, true},
      {"the mail log: a last mail running on to the log's end",
       heading + "hi\r\n" + menu + board + heading, false},
      {"mail saved after other text, never with the question", "old\r\n" + heading + heading,
       false},
      {"a board's saved messages", "Message  #1 is from: A a\r\n" + question, false},
      {"commands of the upload file", "EW3;t;Y\r\nbody\r\n\r\n//\r\nS\r\n", false},
      // Texts people write and messages saved may name a part of a visit
      // at a line's start; the file stays the program's own.
      {"a post that names the Notewall", "EW3;t;Y\r\n" + notewall + "//\r\nS\r\n", false},
      {"a reply that copies a board's listing line", "ER3;12;Y\r\n" + board, false},
      {"a mail that forwards a mail", "EMA;B;0\r\nt;Y\r\n" + heading + question, false},
      {"the Notewall's line and the download batch", "P\r\nx\r\n\r\nF1\r\nZD1;Y;0\r\n" + board,
       false},
      {"a saved message that names the Notewall", "Message  #1 is from: A a\r\n" + notewall,
       false},
      {"a saved file entry that copies a listing line", "001:A.LZH 1 96/05/28 A t\r\n" + board,
       false},
      {"a chat back-log holding a line that reads as the Notewall's heading",
       "ABC00001      >hello\r\n" + notewall + board, false},
      {"a greeting alone", greeting + menu, false},
      {"nothing", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(readsAsCapture(c.head), c.log) << c.what;
  EXPECT_TRUE(readsAsCapture(testing::exampleLog()));
}

TEST(MessageBoard, SearchingConsumesLinesUpToTheCountLine) {
  const std::string listing = listingLine(3, "pc98", "パソコン談義", "検索中");
  const std::string log = logOf({
      listing,
      sj("未読メッセージを検索しています"),
      "Private Message is from: ZZZ00001 ghost",
      "FILE NEWS: " + sj("日付指定"),
      sj("新しいメッセージが 0012 件あります。"),
      listingLine(4, "news", "お知らせ", "未読なし"),
  });
  const auto result = indexText(log);
  ASSERT_EQ(result.messageBoardCount(), 2);
  const BoardEntry& board = result.messageBoards[0];
  EXPECT_EQ(board.listOffset, 0);
  EXPECT_EQ(board.number, 3);
  EXPECT_EQ(board.name, "pc98");
  EXPECT_EQ(board.label, sj("   3: pc98 パソコン談義 ★未読あり(12件)"));
  // The count line's successor is examined again.
  EXPECT_EQ(result.messageBoards[1].listOffset, static_cast<LogOffset>(log.find(sj("   4: news"))));
  // The consumed mail header and FILE NEWS line were not examined.
  EXPECT_EQ(result.mailCount(), 0);
  EXPECT_EQ(result.fileBoardCount(), 0);
}

TEST(FileBoard, AfterFileNewsBoardsAreFileBoardsAndNothingIsConsumed) {
  const std::string log = logOf({
      listingLine(1, "before", "前", "未読なし"),
      sj("FILE NEWS: 日付指定 96/06/01以降"),
      listingLine(5, "tools", "ツール", "検索中"),
      "Private Message is from: ABC00001 taro",
      "Date: 96/06/01 10:00:00",
      sj("題名: テスト"),
      listingLine(6, "data", "データ", "新着なし"),
      listingLine(7, "#chat", "チャット", "未読なし"),
  });
  const auto result = indexText(log);
  EXPECT_EQ(result.messageBoardCount(), 1);
  ASSERT_EQ(result.fileBoardCount(), 2);
  EXPECT_EQ(result.fileBoards[0].label, sj("   5: tools ツール ★新着あり"));
  EXPECT_EQ(result.fileBoards[0].listOffset, static_cast<LogOffset>(log.find(sj("   5: tools"))));
  EXPECT_EQ(result.fileBoards[1].label, listingLine(6, "data", "データ", "新着なし"));
  EXPECT_EQ(result.mailCount(), 1);
  // A "#" board is a chat board whatever the mode.
  ASSERT_EQ(result.chatBoardCount(), 1);
  EXPECT_EQ(result.chatBoards[0].name, "#chat");
}

TEST(ChatBoard, FieldsAndNewContentFlag) {
  struct Case {
    const char* status;
    int hasNew;
  } cases[] = {{"検索中", 1}, {"新着なし", 1}, {"未読なし", 0}, {"No messages found", 0}};
  for (const Case& c : cases) {
    const std::string listing = listingLine(12, "#雑談", "なんでも雑談", c.status);
    const std::string log =
        logOf({sj("ようこそ"), listing, sj("新しいメッセージが 3 個あります。")});
    const auto result = indexText(log);
    ASSERT_EQ(result.chatBoardCount(), 1) << c.status;
    const ChatBoardEntry& chat = result.chatBoards[0];
    EXPECT_EQ(chat.hasNew, c.hasNew) << c.status;
    EXPECT_EQ(chat.name, sj("#雑談"));
    EXPECT_EQ(chat.number, 12);
    EXPECT_EQ(chat.label, sj("  12: #雑談 なんでも雑談"));
    ASSERT_EQ(result.chatContentOffset.size(), 1u);
    EXPECT_EQ(result.chatContentOffset[0],
              static_cast<LogOffset>(log.find(listing) + listing.size() + 2));
    EXPECT_EQ(result.messageBoardCount(), 0) << "a chat count line is no board content";
  }
}

TEST(ChatBoard, NamesAreCutOnACharacterBoundaryAndKeptOtherwise) {
  const std::string longName = "#" + std::string(39, 'n');
  const auto result = indexText(logOf({
      statusAt49("   1: " + longName, sj("未読なし")),
      statusAt49("   2: #abcdefghij" + sj("漢字"), sj("未読なし")),
      listingLine(3, "#a/b", "", "未読なし"),
  }));
  ASSERT_EQ(result.chatBoardCount(), 3);
  EXPECT_EQ(result.chatBoards[0].name, longName.substr(0, 12));
  EXPECT_EQ(result.chatBoards[1].name, "#abcdefghij");  // 11 bytes: 漢 would be split
  // The index keeps the host's name; whoever uses it as a path must refuse it.
  EXPECT_EQ(result.chatBoards[2].name, "#a/b");
}

TEST(ChatBoard, TheListStopsAtItsLimitButBoardsGoOn) {
  std::string log;
  for (int n = 1; n <= kMaxChatBoards + 7; ++n) {
    log += listingLine(n, formatText("#c%i", n), "", "未読なし") + "\r\n";
  }
  for (int n = 1; n <= 150; ++n)
    log += listingLine(n, formatText("b%i", n), "", "未読なし") + "\r\n";
  const auto result = indexText(log);
  EXPECT_EQ(result.chatBoardCount(), kMaxChatBoards);
  EXPECT_EQ(result.chatContentOffset.size(), static_cast<std::size_t>(kMaxChatBoards));
  EXPECT_EQ(result.chatBoards.back().name, formatText("#c%i", kMaxChatBoards));
  EXPECT_EQ(result.messageBoardCount(), 150);
}

TEST(LeaderTrimming, Cases) {
  // Chat labels are cut and trimmed without a suffix, so they show the rule.
  const std::string unread = sj("未読なし");
  struct Case {
    const char* what;
    std::string line;
    std::string label;
  } cases[] = {
      {"blank-separated dots", listingLine(8, "#c", "雑談", "未読なし"), sj("   8: #c 雑談")},
      {"dots without a blank before the last",
       statusAt49("   8: #c " + sj("雑談") + std::string(10, '\xA5'), unread),
       ("   8: #c " + sj("雑談") + std::string(10, '\xA5') + std::string(48, ' ')).substr(0, 48)},
      {"a trail byte 0xA5 counts as a dot", statusAt49("   8: #c " + sj("ぇ") + " \xA5", unread),
       "   8: #c "},
      {"the cut never leaves half a character",
       statusAt49("   8: #c " + sj("雑談") + "\xA5 \xA5", unread), "   8: #c " + sj("雑")},
      {"no dot", statusAt49("   8: #c " + sj("雑談"), unread),
       ("   8: #c " + sj("雑談") + std::string(48, ' ')).substr(0, 48)},
  };
  for (const Case& c : cases) {
    const auto result = indexText(c.line + "\r\n");
    ASSERT_EQ(result.chatBoardCount(), 1) << c.what;
    EXPECT_EQ(result.chatBoards[0].label, c.label) << c.what;
  }
}

TEST(LeaderTrimming, TheCutTo48BytesKeepsCharactersWhole) {
  // 9 bytes of prefix and 20 kanji: the 20th kanji covers bytes 47 and 48.
  std::string title;
  for (int i = 0; i < 20; ++i) title += sj("漢");
  const auto result = indexText(logOf({"   8: #c " + title + sj("未読なし"),
                                       "   9: boards " + title.substr(0, 36) + sj("検索中")}));
  ASSERT_EQ(result.chatBoardCount(), 1);
  EXPECT_EQ(result.chatBoards[0].label, "   8: #c " + title.substr(0, 38));
  // The same cut on a searched board; with no count line before the end of
  // the log the label has no count.
  ASSERT_EQ(result.messageBoardCount(), 1);
  EXPECT_EQ(result.messageBoards[0].label,
            "   9: boards " + title.substr(0, 34) + sj(" ★未読あり"));
}

TEST(Tabs, OnlyTheFirstTabOfALineBecomesABlank) {
  std::string tabbed = listingLine(3, "name", "", "未読なし");
  tabbed[10] = '\t';  // the blank after the name
  std::string twoTabs = tabbed;
  twoTabs[5] = '\t';  // now this one turns into the blank
  const auto result = indexText(logOf({
      tabbed,
      twoTabs,
      "Private\tMessage is from: TAB00001 tabby",
      "Date: 96/06/01 10:00:00",
      "Title:tabbed mail",
      "FILE\tNEWS: " + sj("日付指定"),
      listingLine(4, "files", "", "未読なし"),
  }));
  ASSERT_EQ(result.messageBoardCount(), 2);
  EXPECT_EQ(result.messageBoards[0].name, "name");
  EXPECT_EQ(result.messageBoards[0].label, listingLine(3, "name", "", "未読なし"));
  EXPECT_EQ(result.messageBoards[1].name, "name\t");
  ASSERT_EQ(result.mailCount(), 1);
  EXPECT_EQ(result.mails[0].senderId, "TAB00001");
  EXPECT_EQ(result.mails[0].title, "tabbed mail");
  EXPECT_EQ(result.fileBoardCount(), 1);
}

}  // namespace
}  // namespace zazir

// Private messages and the Notewall in the log index.
#include <gtest/gtest.h>

#include "formats/logindex.h"
#include "formats/logindex_support.h"

namespace zazir {
namespace {

using testing::indexText;
using testing::listingLine;
using testing::logOf;
using testing::sj;

LogOffset offsetOf(const std::string& log, const std::string& text) {
  return static_cast<LogOffset>(log.find(text));
}

TEST(Mail, HeaderFields) {
  const std::string log = logOf({
      sj("メールが 2 通届いています。"),
      "Private Message is from: ABC01234 " + sj("たろう"),
      "Date: 96/06/01 22:15:40",
      sj("題名: こんにちは"),
      sj("本文です。"),
      sj("削除しますか (Y/N)"),
      "Private Message is from:   XYZ00001   hanako  extra",
      "  Sent   96/06/02   07:30  ",
      "Subj: Re: hello",
  });
  const auto result = indexText(log);
  ASSERT_EQ(result.mailCount(), 2);
  const MailEntry& first = result.mails[0];
  EXPECT_EQ(first.headerOffset, offsetOf(log, "Private"));
  EXPECT_EQ(first.senderId, "ABC01234");
  EXPECT_EQ(first.senderName, sj("たろう"));
  EXPECT_EQ(first.dateText, "96/06/01");
  EXPECT_EQ(first.timeText, "22:15:40");
  EXPECT_EQ(first.title, sj("こんにちは"));
  const MailEntry& second = result.mails[1];
  EXPECT_EQ(second.headerOffset, offsetOf(log, "Private Message is from:   XYZ"));
  EXPECT_EQ(second.senderId, "XYZ00001");
  EXPECT_EQ(second.senderName, "hanako");
  EXPECT_EQ(second.dateText, "96/06/02");
  EXPECT_EQ(second.timeText, "07:30");
  EXPECT_EQ(second.title, "Re: hello");
}

TEST(Mail, LongFieldsAreCutOnACharacterBoundary) {
  std::string handle;
  for (int i = 0; i < 20; ++i) handle += sj("あ");
  std::string title;
  for (int i = 0; i < 40; ++i) title += sj("題");
  const auto result = indexText(logOf({
      "Private Message is from: " + std::string(25, 'I') + " " + handle,
      "Date: 1996/06/01X 22:15:40.123",
      "Subj: " + std::string(100, 't'),
      "Private Message is from: A B",
      "Date: 96/06/01 22:15:40",
      "Subj: " + title,
  }));
  ASSERT_EQ(result.mailCount(), 2);
  const MailEntry& first = result.mails[0];
  EXPECT_EQ(first.senderId, std::string(19, 'I'));
  EXPECT_EQ(first.senderName, handle.substr(0, 28));
  EXPECT_EQ(first.dateText, "1996/06/0");
  EXPECT_EQ(first.timeText, "22:15:40.");
  EXPECT_EQ(first.title, std::string(79, 't'));
  EXPECT_EQ(result.mails[1].title, title.substr(0, 78));
}

TEST(Mail, MissingWordsAndAHeaderCutOffByTheEnd) {
  struct Case {
    const char* what;
    std::string log;
    const char* senderId;
    const char* dateText;
    const char* title;
  } cases[] = {
      {"no words", logOf({"Private Message is from:", "Date:", "Subj:"}), "", "", ""},
      {"first line only", "Private Message is from: ABC00001 taro", "ABC00001", "", ""},
      {"two lines", "Private Message is from: ABC00001 taro\r\nDate: 96/06/01 22:15", "ABC00001",
       "96/06/01", ""},
      {"title without line end", logOf({"Private Message is from: B c", "D 1 2"}) + "Subj: x", "B",
       "1", "x"},
  };
  for (const Case& c : cases) {
    const auto result = indexText(c.log);
    ASSERT_EQ(result.mailCount(), 1) << c.what;
    EXPECT_EQ(result.mails[0].headerOffset, 0) << c.what;
    EXPECT_EQ(result.mails[0].senderId, c.senderId) << c.what;
    EXPECT_EQ(result.mails[0].dateText, c.dateText) << c.what;
    EXPECT_EQ(result.mails[0].title, c.title) << c.what;
  }
}

TEST(Mail, TheHeaderLinesAreExaminedOnlyAsTheHeader) {
  const std::string fileNews = sj("FILE NEWS: 日付指定");
  const std::string log = logOf({
      "Private Message is from: ABC00001 taro",
      listingLine(1, "hidden", "", "未読なし"),  // the date line
      fileNews,                                  // the title line: still switches the mode
      listingLine(2, "files", "", "未読なし"),
  });
  const auto result = indexText(log);
  ASSERT_EQ(result.mailCount(), 1);
  EXPECT_EQ(result.messageBoardCount(), 0);
  ASSERT_EQ(result.fileBoardCount(), 1);
  EXPECT_EQ(result.fileBoards[0].name, "files");
}

TEST(Notewall, OffsetIsTwoLinesBelowTheLastHeading) {
  const std::string heading = sj("《 気軽な伝言板 》");
  struct Case {
    const char* what;
    std::string log;
    std::string after;  // the text at notewallOffset; "<end>" for the end of the log
  } cases[] = {
      {"one heading", logOf({"x", heading, "----", "ABC00001      :hello", "end"}),
       "ABC00001      :hello"},
      {"later wins", logOf({heading, "----", "first", heading + " 2", "====", "second"}), "second"},
      {"heading line counts once", logOf({heading, heading, "A", "B"}), "A"},
      {"heading as the last line", logOf({"x", heading}), "<end>"},
      {"heading without line end", "x\r\n" + heading, "<end>"},
      {"heading not at column 0", logOf({" " + heading, "----", "text"}), ""},
  };
  for (const Case& c : cases) {
    const auto result = indexText(c.log);
    if (c.after.empty()) {
      EXPECT_EQ(result.notewallOffset, -1) << c.what;
    } else if (c.after == "<end>") {
      EXPECT_EQ(result.notewallOffset, static_cast<LogOffset>(c.log.size())) << c.what;
    } else {
      EXPECT_EQ(result.notewallOffset, offsetOf(c.log, c.after)) << c.what;
    }
  }
}

TEST(Notewall, TheLineBelowTheHeadingIsOnlyTestedForMailAndFileNews) {
  const std::string heading = sj("《 気軽な伝言板 》");
  const std::string mailLog = logOf({
      heading,
      "Private Message is from: NTW00001 note",
      "Date: 96/06/01 01:02:03",
      "Subj: below the heading",
  });
  const auto mail = indexText(mailLog);
  ASSERT_EQ(mail.mailCount(), 1);
  // The mail's own line, not the heading, is where its header starts.
  EXPECT_EQ(mail.mails[0].headerOffset, offsetOf(mailLog, "Private"));
  EXPECT_EQ(mail.mails[0].senderName, "note");
  EXPECT_EQ(mail.mails[0].title, "below the heading");

  const auto listing = indexText(logOf({heading, listingLine(1, "skipped", "", "未読なし"),
                                        listingLine(2, "seen", "", "未読なし")}));
  ASSERT_EQ(listing.messageBoardCount(), 1);
  EXPECT_EQ(listing.messageBoards[0].name, "seen");

  const auto files = indexText(
      logOf({heading, sj("FILE NEWS: 日付指定"), listingLine(3, "tools", "", "未読なし")}));
  EXPECT_EQ(files.fileBoardCount(), 1);
}

TEST(Sections, ALogWithoutSectionsIndexesNothing) {
  const std::string log = logOf(
      {sj("ただの文章です。"), "Privately speaking", "FILE NEWS later", "   1: not a board", ""});
  const auto result = indexText(log);
  EXPECT_EQ(result.mailCount(), 0);
  EXPECT_EQ(result.messageBoardCount(), 0);
  EXPECT_EQ(result.fileBoardCount(), 0);
  EXPECT_EQ(result.chatBoardCount(), 0);
  EXPECT_EQ(result.notewallOffset, -1);
  EXPECT_TRUE(indexText("").messageBoards.empty());
}

TEST(Sections, IndexingAgainStartsFromAnEmptyIndexAtTheStartOfTheLog) {
  const std::string log = logOf(
      {listingLine(1, "one", "", "未読なし"), "Private Message is from: A b", "d 1 2", "Subj: t"});
  MemoryLineStream stream(log);
  LogIndex index;
  indexLog(stream, index);
  stream.seek(5);
  indexLog(stream, index);
  EXPECT_EQ(index.messageBoardCount(), 1);
  EXPECT_EQ(index.mailCount(), 1);
  EXPECT_EQ(stream.tell(), static_cast<LogOffset>(log.size()));
}

}  // namespace
}  // namespace zazir

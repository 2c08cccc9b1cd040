// Hostile communication logs through whole reader screens, read from a
// file and indexed as at start-up: NUL bytes, a line of a megabyte, a
// double-byte character across the 1023-byte read, "Message  #" without a
// number, headers cut by the end of the file. Each run ends as the readers
// describe and leaves only the files it should in its directory.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/keys.h"
#include "console/render.h"
#include "hostile/hostile_fixture.h"
#include "platform/textfile.h"
#include "readers/fileboard.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "text/format.h"

namespace zazir {
namespace {

using namespace std::string_literals;
using testing::fileBytes;
using testing::HostileRun;
using testing::sj;
using testing::utf8;

const std::string kMegabyte(1 << 20, 'x');
const std::string kNul(1, '\0');

// A listing line of a searched board, as the index takes it.
std::string listing(int number, const std::string& name) {
  std::string line = formatText("%4i: ", number) + name + " t";
  line.resize(49, ' ');
  return line + sj("検索中") + "\r\n" + sj("新しいメッセージが 1 件あります。") + "\r\n";
}

std::string messageText(const std::string& first, const std::string& body) {
  return first + "\r\nDate: 96/01/01\r\nTitle:t\r\n----\r\n" + body + "\r\n";
}

std::size_t countOf(const std::string& text, char byte) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), byte));
}

class HostileLogTest : public HostileRun, public ::testing::Test {};

// The cut file keeps them; the host gets blanks.
TEST_F(HostileLogTest, NulBytesAreShownAsPlaceholdersAndKeptInWhatIsSaved) {
  // The board's name holds a NUL too: the proposed cut file must not end
  // at it (the file would be "te").
  const std::string board = "te" + kNul + "st";
  App& a = open(listing(3, board) +
                messageText("Message  #0001 is from: ID0001 ha" + kNul + "na", "a" + kNul + "b"));
  editor.keeps();
  backend.type("r").press(key::kEnter).type("y").type("s").press(key::kEnter).press(key::kEscape);
  readMessageBoard(a, reading.search, reading.listPositions, 0);
  EXPECT_EQ(backend.rowAtKey(0, 0), "Message  #0001 is from: ID0001 ha?na");
  EXPECT_EQ(backend.rowAtKey(0, 4), "a?b");
  const std::string upload = uploadBytes();
  EXPECT_EQ(upload.substr(0, 9), "ER3;1;Y\r\n");
  EXPECT_NE(upload.find("ha na> a b\r\n"), std::string::npos);
  EXPECT_EQ(backend.rowAtKey(4, 11), utf8(dir) + "te_st.TXT");
  EXPECT_EQ(fileBytes(dir + "te_st.TXT"),
            messageText("Message  #0001 is from: ID0001 ha" + kNul + "na", "a" + kNul + "b"));
  EXPECT_EQ(files(), (std::set<std::string>{"TESTLOG.UPL", "te_st.TXT"}));
}

// The reply quotes the line's first 1023 bytes: a quote stays a quote.
TEST_F(HostileLogTest, AMegabyteLineFillsTheStoreAndIsQuotedCut) {
  App& a = open(listing(3, "big") + messageText("Message  #0002 is from: ID0002 hana", kMegabyte));
  editor.keeps();
  backend.type("r").press(key::kEnter).type("y").press(key::kEscape);
  readMessageBoard(a, reading.search, reading.listPositions, 0);
  EXPECT_NE(backend.rowAtKey(0, 23).find(" 0512 lines. Now:Top"), std::string::npos);
  EXPECT_EQ(backend.rowAtKey(0, 4), std::string(77, 'x'));
  const std::string upload = uploadBytes();
  EXPECT_EQ(upload.substr(0, 9), "ER3;2;Y\r\n");
  EXPECT_EQ(countOf(upload, 'x'), 1023u);
  EXPECT_EQ(files(), std::set<std::string>{"TESTLOG.UPL"});
}

TEST_F(HostileLogTest, AHeaderLineLongerThanOneReadIsSavedWhole) {
  // The double-byte character straddles the 1023-byte read.
  std::string first = "Message  #0004 is from: ID0004 hana ";
  first += std::string(1022 - first.size(), 'h') + sj("漢") + "tail";
  App& a = open(listing(3, "long") + messageText(first, "body"));
  backend.type("s").press(key::kEnter).press(key::kEscape);
  readMessageBoard(a, reading.search, reading.listPositions, 0);
  EXPECT_EQ(backend.rowAtKey(0, 0), utf8(first.substr(0, 80)));
  EXPECT_EQ(fileBytes(dir + "long.TXT"), messageText(first, "body"));
}

TEST_F(HostileLogTest, AMessageWithoutANumberIsAnsweredOnlyWithANewTitle) {
  App& a = open(listing(3, "none") + messageText("Message  # is from: ID0009 nono", "body"));
  editor.keeps();
  backend.type("r").press(key::kEnter).type(" ");
  backend.type("r").type("y").type("new").press(key::kEnter).type("y").press(key::kEscape);
  readMessageBoard(a, reading.search, reading.listPositions, 0);
  EXPECT_EQ(backend.rowAtKey(2, 0), "【レスできません】");
  EXPECT_EQ(backend.bells(), 1);
  EXPECT_EQ(uploadBytes().substr(0, 11), "EW3;new;Y\r\n");
  EXPECT_EQ(uploadBytes().find("ER"), std::string::npos);
}

TEST_F(HostileLogTest, AHeaderCutByTheEndOfTheLog) {
  const std::string first = "Message  #0005 is from: ID0005 cut";
  App& a = open(listing(3, "cut") + first);
  editor.keeps();
  backend.type("r").press(key::kEnter).type("y").type("s").press(key::kEnter).press(key::kEscape);
  readMessageBoard(a, reading.search, reading.listPositions, 0);
  EXPECT_EQ(backend.rowAtKey(0, 0), first);
  EXPECT_EQ(backend.rowAtKey(0, 1), "");
  EXPECT_NE(backend.rowAtKey(0, 23).find(" 0000 lines. Now:Bottom"), std::string::npos);
  EXPECT_EQ(uploadBytes(), "ER3;5;Y\r\n" + sj("cutさんの#5「」へ") + "\r\n\r\n\r\n\r\n//\r\nS\r\n");
  EXPECT_EQ(fileBytes(dir + "cut.TXT"), first + "\r\n");
}

TEST_F(HostileLogTest, FileEntriesWithANulAMegabyteAndACutEnd) {
  const std::string first = "001: FILE" + kNul + ".LZH " + kMegabyte;
  App& a = open(sj("FILE NEWS: 日付指定 96/05/25") + "\r\n" + listing(5, "files") + first +
                "\r\n002: LAST.LZH");
  backend.type("d").type("s").press(key::kEnter).type("6").type("d").press(key::kEscape);
  readFileBoard(a, reading.search, reading.downloads, 0);
  EXPECT_EQ(backend.rowAtKey(0, 0), utf8(first.substr(0, 9)) + "?" + utf8(first.substr(10, 70)));
  EXPECT_EQ(backend.rowAtKey(4, 0), "002: LAST.LZH");
  EXPECT_EQ(reading.downloads, (std::vector<DownloadMark>{{5, 1}, {5, 2}}));
  EXPECT_EQ(fileBytes(dir + "files.TXT"), first + "\r\n");
  EXPECT_EQ(files(), std::set<std::string>{"files.TXT"});
}

TEST_F(HostileLogTest, MailWithANulAMegabyteLineAndAHeaderCutByTheEnd) {
  const std::string sender = "Private Message is from: A" + kNul + "B na" + kNul + "me";
  // The title's double-byte character straddles the 1023-byte read.
  const std::string title = "Title:" + std::string(1016, 'y') + sj("漢") + "z";
  const std::string mail =
      sender + "\r\nDate: 97/01/02 12:34:56\r\n" + title + "\r\nbody\r\n" + kMegabyte + "\r\n";
  App& a = open(mail + sj("削除しますか(Y/N)? ") +
                "\r\nPrivate Message is from: C d\r\nDate: 97/01/02 12:34");
  ASSERT_TRUE(writeTextFile(config.idfile, ""));
  editor.keeps();
  backend.type("s").press(key::kEnter).type("6");
  backend.type("r").type("y").press(key::kEnter).type("y");  // recipients, title, preview
  backend.type("i").type("memo").press(key::kEnter).type(" ").press(key::kEscape);
  readMail(a, reading.search);
  EXPECT_EQ(backend.rowAtKey(0, 0), "Private Message is from: A?B na?me");
  EXPECT_EQ(backend.rowAtKey(0, 2), "Title:" + std::string(74, 'y'));
  EXPECT_NE(backend.rowAtKey(0, 23).find(" 0512 lines. Now:Top"), std::string::npos);
  EXPECT_EQ(fileBytes(dir + "MAILLOG.TXT"), mail);
  EXPECT_EQ(backend.rowAtKey(3, 0), "Private Message is from: C d");
  EXPECT_EQ(backend.rowAtKey(3, 1), "Date: 97/01/02 12:34");
  EXPECT_EQ(uploadBytes(), "EMC;0\r\nRe:;Y\r\n97/01/02 12:34\r\n\r\n\r\n//\r\nS\r\n");
  EXPECT_EQ(fileBytes(config.idfile), "C,d,memo\r\n");
  EXPECT_EQ(files(), (std::set<std::string>{"ID.TXT", "MAILLOG.TXT", "TESTLOG.UPL"}));
}

}  // namespace
}  // namespace zazir

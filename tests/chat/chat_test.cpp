#include "chat/chat.h"
#include "chat/chatrecord.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "console/keys.h"
#include "console/render.h"
#include "platform/textfile.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

// The part of a log below one chat board's listing line.
struct ChatContent {
  std::string countLine;
  std::string lines;  // the chat lines and whatever follows them
};

class ChatTest : public TestApp, public ::testing::Test {
 protected:
  testing::InDirectory inDirectory_{dir};  // where the back-logs are

  // Lays out a log of listing lines and chat contents, and indexes it.
  void buildLog(const std::vector<std::pair<ChatBoardEntry, ChatContent>>& boards) {
    std::string text = "header\r\n";
    index = LogIndex{};
    for (const auto& [entry, content] : boards) {
      text += entry.label + "\r\n";
      index.chatBoards.push_back(entry);
      index.chatContentOffset.push_back(static_cast<LogOffset>(text.size()));
      text += "-----\r\n" + content.countLine + "-----\r\n" + content.lines;
    }
    withLog(text);
  }

  static ChatBoardEntry board(const std::string& name, std::uint8_t hasNew = 1, int number = 12) {
    ChatBoardEntry entry;
    entry.name = name;
    entry.hasNew = hasNew;
    entry.number = number;
    entry.label = name + "  chat";
    return entry;
  }

  static std::string countLine(int count) {
    return sj("新しいメッセージが " + std::to_string(count) + " 個あります。") + "\r\n";
  }
};

std::string chatLine(const std::string& id, const std::string& text) {
  std::string padded = id;
  padded.resize(14, ' ');
  return padded + ">" + text;
}

TEST_F(ChatTest, TwoRunsOnTwoLogsAccumulateInTheBackLogEarlierFirst) {
  buildLog({{board("#talk"),
             {countLine(2),
              chatLine("A", "one") + "\r\n" + chatLine("B", "two") + "\r\n\r\nnext section\r\n"}}});
  recordChatBackLogs(app);
  buildLog({{board("#talk"), {countLine(1), chatLine("C", "three") + "\r\n\r\n"}}});
  recordChatBackLogs(app);
  EXPECT_EQ(fileBytes("#talk"), chatLine("A", "one") + "\r\n" + chatLine("B", "two") + "\r\n" +
                                    chatLine("C", "three") + "\r\n");
}

TEST_F(ChatTest, TheCountLineDecidesHowManyLinesAreCopied) {
  std::string five;
  for (int i = 0; i < 5; ++i) five += chatLine("ID" + std::to_string(i), "text") + "\r\n";
  const std::size_t lineSize = five.size() / 5;
  const std::string four = five.substr(0, 4 * lineSize);
  struct Case {
    const char* name;
    std::string countLine;
    std::string lines;
    std::string recorded;
  } cases[] = {
      {"three of five", countLine(3), five, five.substr(0, 3 * lineSize)},
      {"unreadable count", "garbage\r\n", four + "\r\n" + five, four},
      {"count zero", countLine(0), four + "\r\n", four},
      {"count with a leading zero", sj("新しいメッセージが 010 個あります。\r\n"), five + five,
       five + five},
      {"log ends inside the lines", countLine(9), four + chatLine("X", "last"),
       four + chatLine("X", "last") + "\r\n"},
      {"nothing after the count", countLine(4), "", ""},
      {"a line that begins with a CR ends them", countLine(9), four + "\r" + five, four},
  };
  for (const Case& c : cases) {
    buildLog({{board("#c"), {c.countLine, c.lines}}});
    std::remove("#c");
    recordChatBackLogs(app);
    EXPECT_EQ(fileBytes("#c"), c.recorded) << c.name;
  }
}

// A line longer than 1023 bytes is cut on a character boundary.
TEST_F(ChatTest, EveryLineIsStoredWithOneCrLfAndALongOneIsCut) {
  const std::string longStart = chatLine("L", std::string(1007, 'x'));
  buildLog({{board("#c"),
             {countLine(4), chatLine("A", "lf") + "\n" + chatLine("B", "cr cr") + "\r\r\n" +
                                longStart + sj("漢") + std::string(1500, 'y') + "\r\n" +
                                chatLine("C", "tab\there") + "\r\n\r\n"}}});
  recordChatBackLogs(app);
  EXPECT_EQ(fileBytes("#c"), chatLine("A", "lf") + "\r\n" + chatLine("B", "cr cr") + "\r\n" +
                                 longStart + "\r\n" + chatLine("C", "tab\there") + "\r\n");
}

// A board with status "新着なし" has no lines of its own: what follows its
// listing line (another board, indexed or not, or the Notewall) is never
// copied. The same lines recorded again are not added; a new run is.
TEST_F(ChatTest, RecordingStaysInItsBoardAndIsNotRepeated) {
  const std::string content = "-----\r\n" + countLine(2) + "-----\r\n" + chatLine("B", "one") +
                              "\r\n" + chatLine("B", "two") + "\r\n\r\n";
  std::string text = "header\r\n";
  index = LogIndex{};
  // #d stands for a board the index has no room for.
  const struct {
    const char* name;
    bool quiet;
    bool indexed;
  } boards[] = {{"#a", true, true},
                {"#b", false, true},
                {"#c", true, true},
                {"#d", false, false},
                {"#e", true, true}};
  for (const auto& b : boards) {
    std::string listing = formatText("%4i: %s", 7, b.name);
    listing.resize(49, ' ');
    text += listing + sj(b.quiet ? "新着なし" : "検索中") + "\r\n";
    if (b.indexed) {
      index.chatBoards.push_back(board(b.name));
      index.chatContentOffset.push_back(static_cast<LogOffset>(text.size()));
    }
    if (!b.quiet) text += content;
  }
  text += "MAIN (A,B) > P\r\n" + sj("《 気軽な伝言板 》") + "\r\n-----+-----\r\n";
  index.notewallOffset = static_cast<LogOffset>(text.size());
  text += "ABC           :note\r\n\r\n";
  withLog(text);
  const std::string run = chatLine("B", "one") + "\r\n" + chatLine("B", "two") + "\r\n";

  recordChatBackLogs(app);
  recordChatBackLogs(app);
  for (const char* quiet : {"#a", "#c", "#e"}) EXPECT_EQ(fileBytes(quiet), "") << quiet;
  EXPECT_EQ(fileBytes("#b"), run);
  writeBytes("#b", "older\r\n" + run + "later\r\n");
  recordChatBackLogs(app);
  EXPECT_EQ(fileBytes("#b"), "older\r\n" + run + "later\r\n");
  const std::string oneOne = chatLine("B", "one") + "\r\n" + chatLine("B", "one") + "\r\n";
  writeBytes("#b", oneOne);
  recordChatBackLogs(app);
  EXPECT_EQ(fileBytes("#b"), oneOne + run);
}

TEST_F(ChatTest, OnlyBoardsWithNewLinesAndUsableNamesAreRecorded) {
  mkdir("sub", 0755);
  buildLog({{board("#quiet", 0), {countLine(1), chatLine("A", "old") + "\r\n\r\n"}},
            {board("sub/#x"), {countLine(1), chatLine("B", "b") + "\r\n\r\n"}},
            {board("#new"), {countLine(1), chatLine("C", "c") + "\r\n\r\n"}}});
  recordChatBackLogs(app);
  EXPECT_FALSE(fileExists("#quiet"));
  EXPECT_FALSE(fileExists("sub/#x"));
  EXPECT_EQ(fileBytes("#new"), chatLine("C", "c") + "\r\n");
  EXPECT_EQ(backend.bells(), 0);
}

TEST_F(ChatTest, ABackLogThatCannotBeWrittenIsToldAndTheOthersAreStillRecorded) {
  mkdir("#blocked", 0755);  // a directory where the file should be
  buildLog({{board("#blocked"), {countLine(1), chatLine("A", "a") + "\r\n\r\n"}},
            {board("#fine"), {countLine(1), chatLine("B", "b") + "\r\n\r\n"}}});
  backend.type("x");
  recordChatBackLogs(app);
  EXPECT_EQ(backend.rowAtKey(0, 0), "【バックログファイルに書き込めません】");
  EXPECT_NE(backend.rowAtKey(0, 2).find("[#blocked]"), std::string::npos);
  EXPECT_EQ(fileBytes("#fine"), chatLine("B", "b") + "\r\n");
}

TEST_F(ChatTest, TheStartUpPolicy) {
  struct Case {
    LineChatQuote policy;
    std::string keys;
    bool recorded;
  } cases[] = {
      {LineChatQuote::Question, "n", false},
      {LineChatQuote::Question, "\rY", true},
      {LineChatQuote::Yes, "", true},
      {LineChatQuote::No, "", false},
  };
  app.log.path = "LOG.TXT";
  for (const Case& c : cases) {
    std::remove("#c");
    buildLog({{board("#c"), {countLine(1), chatLine("A", "a") + "\r\n\r\n"}}});
    config.lineChatQuote = c.policy;
    backend.type(c.keys);
    applyLineChatPolicy(app);
    EXPECT_EQ(fileExists("#c"), c.recorded) << c.keys;
    EXPECT_EQ(backend.pendingKeys(), 0u);
  }
  EXPECT_EQ(backend.rowAtKey(0, 11),
            "ﾛｸﾞﾌｧｲﾙ[LOG.TXT]から１行ﾁｬｯﾄの内容をﾊﾞｯｸﾛｸﾞﾌｧｲﾙに記録してよいですか？");
  EXPECT_EQ(backend.rowAtKey(0, 12), "(Y/N)");
}

// The question wraps between two characters, never inside one.
TEST_F(ChatTest, ALongLogPathWrapsTheQuestionOnACharacterBoundary) {
  backend.type("n");
  EXPECT_FALSE(askToRecordChat(console, "/logs/" + std::string(64, 'a')));
  EXPECT_EQ(backend.rowAtKey(0, 11), "ﾛｸﾞﾌｧｲﾙ[/logs/" + std::string(64, 'a') + "]");
  EXPECT_EQ(backend.rowAtKey(0, 12), "から１行ﾁｬｯﾄの内容をﾊﾞｯｸﾛｸﾞﾌｧｲﾙに記録してよいですか？");
}

TEST(ReplyName, IsTheLineCutAtItsFirstBlankThenAtItsFirstColon) {
  struct Case {
    std::string line;
    std::string name;
  } cases[] = {
      {"ABC12345      >text\r\n", "ABC12345"},
      {"ABC           :hello there\r\n", "ABC"},
      {"ABCDEFGHIJKLMN:hi there\r\n", "ABCDEFGHIJKLMN"},
      {"ABCDEFGHIJKLMN>hi there\r\n", "ABCDEFGHIJKLMN>hi"},
      {"ABCDEFGHIJKLMN>hi\r\n", "ABCDEFGHIJKLMN>hi"},  // never the line end
      {std::string(100, 'z') + "\r\n", std::string(79, 'z')},
  };
  for (const Case& c : cases) EXPECT_EQ(replyName(c.line), c.name) << c.line;
}

TEST_F(ChatTest, ChatPostsAndRepliesCarryOnlyWhatWasTyped) {
  index.chatBoards.push_back(board("#talk", 1, 7));
  index.chatContentOffset.push_back(0);
  writeBytes("#talk", chatLine("ABC12345", "hello") + "\r\n");
  backend.press(key::kEnter);                             // the board
  backend.type("W").type("new line").press(key::kEnter);  // a post
  backend.type("R").type(" hi").press(key::kEnter);       // a reply on the proposal
  backend.type("R").press(key::kEscape);                  // a reply cancelled
  backend.type("W").press(key::kEnter);                   // an empty post
  backend.press(key::kEnter);                             // Return does nothing
  backend.type("q").type("q");
  runChatLoop(app, reading.listPositions);
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_EQ(uploadBytes(),
            "EW7\r\nnew line\r\nY\r\nEW7\r\n" + sj("＞ ABC12345さん hi") + "\r\nY\r\n");
  const Screen& replyPrompt = backend.screenAtKey(12);
  EXPECT_EQ(rowToUtf8(replyPrompt, 11), "＞ ABC12345さん");
  EXPECT_NE(rowToUtf8(replyPrompt, 10).find("１行チャットへのレス 無入力：ｷｬﾝｾﾙ"),
            std::string::npos);
  EXPECT_NE(backend.rowAtKey(2, 10).find("１行チャットへの投稿 無入力：ｷｬﾝｾﾙ"), std::string::npos);
}

TEST_F(ChatTest, AChatBoardWithoutBackLogLeadsBackToTheBoardList) {
  index.chatBoards.push_back(board("#none"));
  index.chatContentOffset.push_back(0);
  backend.press(key::kEnter).type("x").type("q");
  runChatLoop(app, reading.listPositions);
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_EQ(backend.rowAtKey(1, 0), "【書き込みがありません】");
  EXPECT_EQ(backend.row(1), "#none  chat [×]");
  EXPECT_EQ(uploadBytes(), "<none>");
}

TEST_F(ChatTest, NotewallPostsAndReplies) {
  const std::string wall = "ABC           :first note\r\nXYZ           :second\r\n\r\n";
  withLog("top\r\n" + wall);
  index.notewallOffset = 5;
  backend.press(key::kDown).type("R").press(key::kEnter);  // reply to XYZ as proposed
  backend.type("W").type("a post").press(key::kEnter);     // a post from the list
  backend.type("r").press(key::kEscape);                   // a reply cancelled
  backend.type("q");
  runNotewallLoop(app, reading.listPositions);
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_NE(backend.rowAtKey(2, 10).find("Notewallへのレス 無入力：ｷｬﾝｾﾙ"), std::string::npos);
  EXPECT_EQ(backend.rowAtKey(2, 11), "＞ XYZさん");
  EXPECT_NE(backend.rowAtKey(4, 10).find("Notewallへの投稿 無入力：ｷｬﾝｾﾙ"), std::string::npos);
  EXPECT_EQ(backend.rowAtKey(4, 11), "");
  EXPECT_EQ(uploadBytes(), "P\r\n" + sj("＞ XYZさん") + "\r\n\r\nP\r\na post\r\n\r\n");

  // The post of the main menu needs no Notewall in the log.
  index.notewallOffset = -1;
  backend.type("direct").press(key::kEnter);
  postToNotewall(app);
  EXPECT_EQ(uploadBytes(),
            "P\r\n" + sj("＞ XYZさん") + "\r\n\r\nP\r\na post\r\n\r\nP\r\ndirect\r\n\r\n");

  // Blanks only would end the host's Notewall text: offered again empty,
  // where Return cancels.
  const std::string before = uploadBytes();
  backend.type("  ").press(key::kEnter).press(key::kEnter);
  postToNotewall(app);
  EXPECT_EQ(uploadBytes(), before);
  EXPECT_EQ(backend.bells(), 1);
}

}  // namespace
}  // namespace zazir

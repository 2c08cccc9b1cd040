#include "writers/boardposts.h"

#include <gtest/gtest.h>

#include "compose/compose.h"
#include "console/keys.h"
#include "console/render.h"
#include "platform/textfile.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::LogBuilder;
using testing::sj;
using testing::TestApp;

constexpr std::string_view kTerminator = "\r\n//\r\nS\r\n";

// Two message boards; the first holds messages 12 and 13, the second 40.
class BoardPostTest : public TestApp, public ::testing::Test {
 protected:
  void SetUp() override {
    addMessageBoard(log.add("   3: TEST  ボード"), 3, "TEST", sj("   3: TEST  ボード"));
    m12 = log.add("Message  #0012 is from: ABC00001 やまだ");
    log.add("Date: 96/01/01 12:00");
    log.add(sj("Title:最初の話題"));
    log.add("----------");
    log.add(sj("本文の一行目"));
    log.add("");
    log.add(sj("本文の三行目"));
    m13 = log.add("Message  #0013 is from: ABC00002 すずき");
    log.add("Date: 96/01/02 12:00");
    log.add("Title:second");
    log.add("----------");
    log.add("body 13");
    addMessageBoard(log.add("   5: MOVE  別のボード"), 5, "MOVE", "   5: MOVE");
    m40 = log.add("Message  #0089 is from: ABC00003 たなか");
    log.add("Date");
    log.add("Title:third");
    log.add("----------");
    log.add("body 89");
    log.add("1234:56 closing line");
    log.add("after the closing line");
    addFileBoard(0, 7, "FILES", sj("   7: FILES  ファイル"));
  }

  std::string quoted(std::string_view handle, const std::vector<std::string_view>& lines) {
    std::string text;
    for (std::string_view line : lines) text += sj(handle) + sj("> ") + sj(line) + "\r\n";
    return text;
  }

  // The message at `start` of message board `board`, read from the log as
  // the reader reads it; `handle` as the poster's.
  AnsweredMessage answered(int board, LogOffset start, LogOffset end, std::string_view handle) {
    AnsweredMessage message =
        readAnsweredMessage(app.log.stream, index.messageBoards[board], start, end);
    message.handle = handle;
    return message;
  }

  LogOffset m12 = 0, m13 = 0, m40 = 0;
};

TEST_F(BoardPostTest, ANewPostIsWrittenByteForByte) {
  struct Case {
    std::string body;
    std::string command;
  } cases[] = {
      // A body that ends with a line end gets an empty line before "//".
      {"a\r\nb\r\n", "EW3;t;Y\r\na\r\nb\r\n\r\n//\r\nS\r\n"},
      {"a\r\nb", "EW3;t;Y\r\na\r\nb\r\n//\r\nS\r\n"},
  };
  App& a = withLog();
  std::string expected;
  for (const Case& c : cases) {
    editor.writes(c.body);
    backend.type("t\r").type("y");
    writeNewPost(a, index.messageBoards[0]);
    expected += c.command;
    EXPECT_EQ(uploadBytes(), expected);
    EXPECT_FALSE(fileExists(tempPath()));
  }
  EXPECT_EQ(editor.found[0], "");  // the text starts empty
  const Screen& asked = backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(asked, 2), "   3: TEST  ボード");
  EXPECT_EQ(rowToUtf8(asked, 3), "のメッセージボードに書き込みを作成します。");
  EXPECT_NE(rowToUtf8(asked, 10).find("メッセージボードへの書き込み；タイトル入力 無入力：ｷｬﾝｾﾙ"),
            std::string::npos);
}

TEST_F(BoardPostTest, AnEmptyTitleCancelsBeforeTheEditor) {
  App& a = withLog();
  backend.press(key::kEscape);
  writeNewPost(a, index.messageBoards[0]);
  backend.press(key::kEnter);
  writeUpload(a, index.fileBoards[0]);
  backend.type("name\r").press(key::kEnter);
  writeUpload(a, index.fileBoards[0]);
  EXPECT_TRUE(editor.commandLines.empty());
  EXPECT_FALSE(fileExists(tempPath()));
  EXPECT_EQ(uploadBytes(), "<none>");
}

TEST_F(BoardPostTest, AfterARejectedPreviewTheNextPostStartsEmpty) {
  App& a = withLog();
  editor.writes("draft\r\n").keeps();
  backend.type("t\r").type("n").type("t\r");
  writeNewPost(a, index.messageBoards[0]);
  EXPECT_FALSE(fileExists(tempPath()));
  EXPECT_THROW(writeNewPost(a, index.messageBoards[0]),
               testing::ScriptExhausted);  // at the preview
  EXPECT_EQ(editor.found[1], "");
  EXPECT_EQ(uploadBytes(), "<none>");
}

TEST_F(BoardPostTest, TheBatchPostKeepsItsQuotesAndProposedTitle) {
  App& a = withLog();
  backend.press(key::kEnter).type("y");
  writeBatchPost(a, index.messageBoards[1], "prepared\n", sj("一括レス:#12"));
  EXPECT_EQ(editor.found[0], "prepared\r\n");
  EXPECT_EQ(uploadBytes(), sj("EW5;一括レス:#12;Y\r\nprepared\r\n\r\n//\r\nS\r\n"));
}

TEST_F(BoardPostTest, AFileUploadIsWrittenByteForByte) {
  App& a = withLog();
  editor.writes("description");
  backend.type("file.lzh\r").type("title\r").type("y");
  writeUpload(a, index.fileBoards[0]);
  EXPECT_EQ(uploadBytes(), "F7\r\nZU\r\nfile.lzh\r\ntitle\r\nY\r\ndescription\r\n//\r\nS\r\n");
  const Screen& asked = backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(asked, 2), "   7: FILES  ファイル");
  EXPECT_EQ(rowToUtf8(asked, 3), "のファイルボードにアップロードします。");
}

TEST_F(BoardPostTest, AnUploadTitleIsCutTo36BytesOnACharacterBoundary) {
  struct Case {
    std::string typed;  // UTF-8
    std::string title;  // CP932
  } cases[] = {
      {std::string(40, 'a'), std::string(36, 'a')},
      {std::string(35, 'a') + "漢字", std::string(35, 'a')},
      // Byte 35 is the second byte of ム (0x83 0x80): the character stays whole.
      {std::string(34, 'a') + "ムx", std::string(34, 'a') + sj("ム")},
      {"ｱｲｳｴｵ" + std::string(33, 'b'), sj("ｱｲｳｴｵ") + std::string(31, 'b')},
  };
  App& a = withLog();
  std::string expected;
  for (const Case& c : cases) {
    editor.writes("d\r\n");
    backend.type("f\r").type(c.typed + "\r").type("y");
    writeUpload(a, index.fileBoards[0]);
    expected += "F7\r\nZU\r\nf\r\n" + c.title + "\r\nY\r\nd\r\n\r\n//\r\nS\r\n";
  }
  EXPECT_EQ(uploadBytes(), expected);
}

TEST_F(BoardPostTest, AReplyKeepsTheTitleInAnErCommandOrTakesANewOneInAnEwCommand) {
  const std::vector<std::string_view> all = {"本文の一行目", "", "本文の三行目"};
  struct Case {
    bool deleteNullLine;
    std::string keys;  // the title question, a new title, the preview
    std::string command, heading;
    std::vector<std::string_view> quoted;
  } cases[] = {
      {false, "\ry", "ER3;12;Y", "やまださんの#12「最初の話題」へ", all},
      {false, "ynew title\ry", "EW3;new title;Y", "やまださん(#12)「最初の話題」について", all},
      // Empty lines are dropped only with DELETENULLLINE.
      {true, "ny", "ER3;12;Y", "やまださんの#12「最初の話題」へ", {all[0], all[2]}},
  };
  App& a = withLog();
  std::string expected;
  for (const Case& c : cases) {
    config.deleteNullLine = c.deleteNullLine;
    editor.keeps();
    backend.type(c.keys);
    writeReply(a, answered(0, m12, m13, sj("やまだ")));
    const std::string body = sj(c.heading) + "\r\n\r\n" + quoted("やまだ", c.quoted) + "\r\n";
    EXPECT_EQ(editor.found.back(), body) << c.command;
    expected += c.command + "\r\n" + body + std::string(kTerminator);
    EXPECT_EQ(uploadBytes(), expected) << c.command;
  }
  EXPECT_EQ(backend.rowAtKey(0, 23),
            "メッセージボードへのレス；タイトルを変更しますか？ (Y/[Ｎ]/Q)");
  EXPECT_EQ(backend.screenAtKey(0).at(0, 23).attribute, attr::kBar);
}

TEST_F(BoardPostTest, TheTitleQuestionRingsForOtherKeysAndQLeaves) {
  App& a = withLog();
  backend.press(key::kEscape).type("x").type("Q");
  writeReply(a, answered(0, m12, m13, sj("やまだ")));
  backend.type("y").press(key::kEscape);  // an empty new title
  writeReply(a, answered(0, m12, m13, sj("やまだ")));
  EXPECT_EQ(backend.bells(), 2);
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_TRUE(editor.commandLines.empty());
  EXPECT_FALSE(fileExists(tempPath()));  // not created before the questions are answered
}

TEST_F(BoardPostTest, QuotingStopsAtFourDigitsAndAColonAndAtTheEndOffset) {
  App& a = withLog();
  editor.keeps().keeps().keeps();
  // The last message of the last board: no end offset; the decimal number 89.
  backend.press(key::kEnter).type("y");
  writeReply(a, answered(1, m40, -1, sj("たなか")));
  // No end offset for message 12: message 13's first line ends it all the
  // same.
  backend.press(key::kEnter).type("y");
  writeReply(a, answered(0, m12, -1, sj("やまだ")));
  EXPECT_EQ(editor.found[0],
            sj("たなかさんの#89「third」へ") + "\r\n\r\n" + quoted("たなか", {"body 89"}) + "\r\n");
  EXPECT_TRUE(
      editor.found[1].ends_with(quoted("やまだ", {"本文の一行目", "", "本文の三行目"}) + "\r\n"));
  EXPECT_NE(uploadBytes().find("ER5;89;Y\r\n"), std::string::npos);
}

TEST_F(BoardPostTest, AColonLineOfExactlyFiveBytesIsQuoted) {
  LogBuilder short_log;
  const LogOffset start = short_log.add("Message  #1 is from: X Y");
  short_log.add("2");
  short_log.add("Title:t");
  short_log.add("4");
  short_log.add("1234:");
  short_log.add("1234:5");
  short_log.add("never");
  App& a = withLog(short_log.bytes());
  editor.keeps();
  backend.press(key::kEnter).type("y");
  writeReply(a, answered(0, start, -1, "Y"));
  EXPECT_EQ(editor.found[0], sj("Yさんの#1「t」へ") + "\r\n\r\nY> 1234:\r\n\r\n");
}

// Nothing after the message's end reaches the quote: a stop line ("*CH",
// the host's "00..:" prompt) or a "Message  #" line ends it, also when it
// comes right after the header.
TEST_F(BoardPostTest, AReplyQuoteEndsWhereTheReaderEndsTheMessage) {
  struct Case {
    std::string fourthLine;
    std::vector<std::string> after;  // the lines after the fourth
    std::string quote;
  } cases[] = {
      {"----", {"a", "*CH", "from elsewhere"}, "Y> a\r\n"},
      {"----", {"a", "0012:", "from elsewhere"}, "Y> a\r\n"},
      {"----", {"a", "Message  #2 is from: Z", "from elsewhere"}, "Y> a\r\n"},
      {"*CH", {"from elsewhere"}, ""},
  };
  for (const Case& c : cases) {
    LogBuilder caseLog;
    const LogOffset start = caseLog.add("Message  #1 is from: X Y");
    caseLog.add("2");
    caseLog.add("Title:t");
    caseLog.add(c.fourthLine);
    for (const std::string& line : c.after) caseLog.add(line);
    App& a = withLog(caseLog.bytes());
    editor.keeps();
    backend.press(key::kEnter).type("y");
    writeReply(a, answered(0, start, -1, "Y"));
    EXPECT_EQ(editor.found.back(), sj("Yさんの#1「t」へ") + "\r\n\r\n" + c.quote + "\r\n")
        << c.after[0];
  }
}

TEST_F(BoardPostTest, AMovedReplyGoesToTheChosenBoardWithEveryLineQuoted) {
  config.deleteNullLine = true;
  App& a = withLog();
  editor.keeps();
  backend.press(key::kDown).press(key::kEnter);  // the second board of the list
  backend.press(key::kEnter).type("y");          // the proposed title taken
  writeMovedReply(a, reading.listPositions, answered(0, m12, m13, sj("やまだ")));
  EXPECT_EQ(backend.rowAtKey(0, 2), "   5: MOVE");
  const std::string proposal = "TEST-#12より移動:最初の話題";
  EXPECT_EQ(backend.rowAtKey(2, 11), proposal);
  EXPECT_EQ(reading.listPositions.boardListRow, 1);
  const std::string body = quoted("やまだ", {"本文の一行目", "", "本文の三行目"}) + "\r\n";
  EXPECT_EQ(editor.found[0], body);
  EXPECT_EQ(uploadBytes(), "EW5;" + sj(proposal) + ";Y\r\n" + body + std::string(kTerminator));
}

TEST_F(BoardPostTest, AMovedReplyTakesATypedTitleAndKeepsToItsEndOffset) {
  App& a = withLog();
  editor.keeps();
  backend.press(key::kEnter).press(key::kCtrlU).type("moved\r").type("y");
  writeMovedReply(a, reading.listPositions, answered(1, m40, -1, sj("たなか")));
  EXPECT_EQ(uploadBytes(),
            "EW3;moved;Y\r\n" + quoted("たなか", {"body 89"}) + "\r\n" + std::string(kTerminator));
}

TEST_F(BoardPostTest, AMovedReplyLeftAtTheBoardListOrTitleWritesNothing) {
  App& a = withLog();
  backend.press(key::kEscape);
  writeMovedReply(a, reading.listPositions, answered(0, m12, m13, sj("やまだ")));
  backend.press(key::kEnter).press(key::kCtrlU).press(key::kEnter);  // the proposal emptied
  writeMovedReply(a, reading.listPositions, answered(0, m12, m13, sj("やまだ")));
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_TRUE(editor.commandLines.empty());
  EXPECT_FALSE(fileExists(tempPath()));
  EXPECT_EQ(uploadBytes(), "<none>");
}

}  // namespace
}  // namespace zazir

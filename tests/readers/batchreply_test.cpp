// Marks ("M") and the batch reply ("C") of the message board reader.
#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "readers/messageboard.h"
#include "support/test_app.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::sj;
using testing::TestApp;

class BatchReplyTest : public TestApp, public ::testing::Test {
 protected:
  void run() { readMessageBoard(withLog(), reading.search, reading.listPositions, 0); }
};

TEST_F(BatchReplyTest, MarksAreAnsweredInMarkingOrder) {
  messageBoard(3, "TEST");
  message(1, "hana", {"----", "text 1"});
  message(2, "taro", {"----", "text 2", "second line"});
  message(3, "jiro", {"----", "text 3"});
  messageBoard(4, "NEXT");
  message(9, "x", {"----", "not quoted"});
  editor.keeps();
  backend.press(key::kRight).press(key::kRight).type("m");  // 3
  backend.press(key::kLeft).press(key::kLeft).type("M");    // 1
  backend.press(key::kRight).type("m");                     // 2
  backend.type("c").press(key::kEnter).type("y").press(key::kEscape);
  run();

  EXPECT_EQ(backend.screenAtKey(3).at(0, 0).attribute, attr::kBar);
  EXPECT_EQ(backend.screenAtKey(4).at(0, 2).attribute, attr::kNormal);
  EXPECT_EQ(backend.screenAtKey(6).at(79, 2).attribute, attr::kBar);
  EXPECT_EQ(backend.rowAtKey(9, 11), "一括レス:#3,#1,#2");
  const std::string text =
      sj("●　jiroさんの3番の書き込みに対して\r\n\r\njiro> text 3\r\n\r\n"
         "●　hanaさんの1番の書き込みに対して\r\n\r\nhana> text 1\r\n\r\n"
         "●　taroさんの2番の書き込みに対して\r\n\r\ntaro> text 2\r\ntaro> second line\r\n\r\n");
  ASSERT_EQ(editor.found.size(), 1u);
  EXPECT_EQ(editor.found[0], text);
  EXPECT_EQ(uploadBytes(), sj("EW3;一括レス:#3,#1,#2;Y\r\n") + text + "\r\n//\r\nS\r\n");
  EXPECT_EQ(tempBytes(), "<none>");
  // Emptied after the batch reply; the same message shows again.
  EXPECT_EQ(backend.row(0), "Message  #0002 is from: ID0002 taro");
  EXPECT_EQ(backend.screen().at(0, 0).attribute, attr::kNormal);
}

TEST_F(BatchReplyTest, TheQuoteRunsToWhereTheReaderEndsTheMessage) {
  messageBoard(3, "TEST");
  message(89, "  two blanks", {"----", "", "second"});
  // The last message: its stop line ends it, not the log's end.
  message(90, "last", {"----", "one", std::string(100, 'q'), "0012:34 a prompt line", "*CH"});
  message(91, "after the stop line", {"not quoted"});
  config.quotation.clear();
  editor.keeps();
  backend.type("m").press(key::kRight).type("m");
  backend.type("c").press(key::kEnter).type("n");
  backend.type("c").type("k").press(key::kEscape);  // the marks are gone, the post or not
  run();
  ASSERT_EQ(editor.found.size(), 1u);
  EXPECT_EQ(editor.found[0],
            sj("●　  two blanksさんの89番の書き込みに対して\r\n\r\n"
               "\r\nsecond\r\n\r\n"
               "●　lastさんの90番の書き込みに対して\r\n\r\none\r\n") +
                std::string(78, 'q') + "\r\n" + std::string(22, 'q') + "\r\n\r\n");
  EXPECT_EQ(uploadBytes(), "<none>");
  EXPECT_EQ(backend.bells(), 1);
  EXPECT_EQ(backend.rowAtKey(7, 0), "【一つ以上のマークをしてください。】");
}

TEST_F(BatchReplyTest, ALongHeaderLineDoesNotShiftTheQuote) {
  messageBoard(3, "TEST");
  log.add("Message  #0007 is from: ID0007 " + std::string(60, 'h'));
  log.add("Date: 96/01/01");
  log.add("Title:" + std::string(100, 't'));
  log.add("----");
  log.add("the first quoted line");
  editor.keeps();
  backend.type("m").type("c").press(key::kEnter).type("n").press(key::kEscape);
  run();
  ASSERT_EQ(editor.found.size(), 1u);
  const std::string handle(48, 'h');  // what is left of the first 79 bytes
  EXPECT_EQ(editor.found[0], sj("●　") + handle + sj("さんの7番の書き込みに対して\r\n\r\n") +
                                 handle + "> the first quoted line\r\n\r\n");
}

TEST_F(BatchReplyTest, ATemporaryFileThatCannotBeWrittenIsToldAndTheMarksStay) {
  config.temporaryDir = dir + "missing/";
  messageBoard(3, "TEST");
  message(1, "a", {"----", "one"});
  backend.type("m").type("c").press(key::kEnter).type("k").press(key::kEscape);
  run();
  EXPECT_EQ(backend.rowAtKey(3, 0), "【一時ファイルを作成できません】");
  EXPECT_EQ(backend.row(0), "Message  #0001 is from: ID0001 a");
  EXPECT_EQ(backend.screen().at(0, 0).attribute, attr::kBar);
  EXPECT_TRUE(editor.commandLines.empty());
}

TEST_F(BatchReplyTest, UnmarkingKeepsTheOrderAndTheTwentyFirstIsRefused) {
  messageBoard(3, "TEST");
  for (int n = 1; n <= 21; ++n) message(n, "h", {"----", formatText("text %i", n)});
  editor.keeps();
  backend.type("m").press(key::kRight).type("m").press(key::kRight).type("m");
  backend.press(key::kLeft).type("m").press(key::kRight);  // 2 unmarked
  for (int n = 4; n <= 21; ++n) backend.press(key::kRight).type("m");
  backend.type("c").press(key::kEnter).type("n").press(key::kEscape);
  run();
  EXPECT_EQ(backend.bells(), 0) << "20 marks are allowed";

  TestApp fresh;
  fresh.messageBoard(3, "TEST");
  for (int n = 1; n <= 21; ++n) fresh.message(n, "h", {"----", formatText("text %i", n)});
  fresh.editor.keeps();
  for (int n = 1; n <= 20; ++n) fresh.backend.type("m").press(key::kRight);
  fresh.backend.type("m");
  fresh.backend.type("c").press(key::kEnter).type("n").press(key::kEscape);
  readMessageBoard(fresh.withLog(), fresh.reading.search, fresh.reading.listPositions, 0);
  EXPECT_EQ(fresh.backend.bells(), 1);
  ASSERT_EQ(fresh.editor.found.size(), 1u);
  const std::string& text = fresh.editor.found[0];
  EXPECT_NE(text.find(sj("hさんの20番")), std::string::npos);
  EXPECT_EQ(text.find(sj("hさんの21番")), std::string::npos);
  EXPECT_EQ(fresh.backend.rowAtKey(42, 11),
            "一括レス:#1,#2,#3,#4,#5,#6,#7,#8,#9,#10,#11,#12,#13 etc");

  // The first run: 1, 3, 4, ..., 20 in that order, 2 left out.
  ASSERT_EQ(editor.found.size(), 1u);
  const std::string& first = editor.found[0];
  EXPECT_EQ(first.find(sj("hさんの2番")), std::string::npos);
  EXPECT_LT(first.find(sj("hさんの1番")), first.find(sj("hさんの3番")));
  EXPECT_LT(first.find(sj("hさんの3番")), first.find(sj("hさんの4番")));
  EXPECT_NE(first.find(sj("hさんの21番")), std::string::npos);
}

TEST_F(BatchReplyTest, WithoutMarksCRingsAndShowsMessageBox4) {
  messageBoard(3, "TEST");
  message(1, "a", {"----", "one"});
  backend.type("c").type("k").press(key::kEscape);
  run();
  EXPECT_EQ(backend.bells(), 1);
  EXPECT_EQ(backend.rowAtKey(1, 0), "【一つ以上のマークをしてください。】");
  EXPECT_EQ(backend.rowAtKey(1, 2), "　一括レスを書くためのマークがされていません。");
  EXPECT_EQ(backend.row(0), "Message  #0001 is from: ID0001 a");
  EXPECT_EQ(editor.commandLines.size(), 0u);
}

TEST_F(BatchReplyTest, MarksSurviveTheOtherActionsThatReindex) {
  messageBoard(3, "TEST");
  message(1, "a", {"----", "one"});
  message(2, "b", {"----", "two"});
  editor.keeps().keeps();
  backend.type("m").press(key::kRight);
  backend.type("f");                      // the upload file in the editor
  backend.type("w").press(key::kEscape);  // a new post, left at its title
  backend.type("r").type("q");            // a reply, left at its question
  backend.type("c").press(key::kEnter).type("n").press(key::kEscape);
  run();
  ASSERT_EQ(editor.found.size(), 2u);
  EXPECT_EQ(editor.found[1], sj("●　aさんの1番の書き込みに対して\r\n\r\na> one\r\n\r\n"));
}

}  // namespace
}  // namespace zazir

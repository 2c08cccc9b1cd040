#include "app/navigation.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "readers/mail_log.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::TestApp;

// Two mails, a board of two messages and a board of one.
class TabTest : public TestApp, public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* id : {"MAILA", "MAILB"}) {
      MailEntry mail;
      mail.headerOffset = log.add(std::string("Private Message is from: ") + id + " x");
      log.add("Date: 97/01/02 12:34:56");
      log.add("Title:t");
      log.add("body");
      log.add(testing::deleteQuestion());
      index.mails.push_back(mail);
    }
    messageBoard(3, "ONE");
    message(1, "a", {"one"});
    message(2, "b", {"two"});
    messageBoard(4, "TWO");
    message(5, "c", {"five"});
    withLog();
  }
};

TEST_F(TabTest, GoesFromTheMailThroughBothBoardsToTheNoticeThatNothingIsLeft) {
  backend.press({key::kTab, key::kTab, key::kRight, key::kTab, key::kTab, key::kEscape});
  const ReaderPlace left = followReaders(reading, {MarkSection::Mail, 0, 0}, {});
  const char* firstRows[] = {
      "Private Message is from: MAILA x", "Private Message is from: MAILB x",
      "Message  #0001 is from: ID0001 a", "Message  #0002 is from: ID0002 b",
      "Message  #0005 is from: ID0005 c", "Message  #0005 is from: ID0005 c",
  };
  for (std::size_t k = 0; k < std::size(firstRows); ++k) {
    EXPECT_EQ(backend.rowAtKey(k, 0), firstRows[k]) << k;
  }
  EXPECT_EQ(backend.rowAtKey(5, 23), "未読はありません");
  EXPECT_EQ(backend.bells(), 1);
  EXPECT_EQ(left, (ReaderPlace{MarkSection::MessageBoard, 1, 0}));
}

TEST_F(TabTest, GoesBackToTheStartForWhatIsLeftUnread) {
  backend.press({key::kTab, key::kEscape});
  const ReaderPlace left = followReaders(reading, {MarkSection::MessageBoard, 1, 0}, {});
  EXPECT_EQ(backend.rowAtKey(1, 0), "Private Message is from: MAILA x");
  EXPECT_EQ(backend.rowAtKey(1, 23), "最後まで読んだので最初から未読を探しました");
  EXPECT_EQ(left, (ReaderPlace{MarkSection::Mail, 0, 0}));
}

}  // namespace
}  // namespace zazir

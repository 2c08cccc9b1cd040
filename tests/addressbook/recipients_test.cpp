#include "addressbook/recipients.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::TestApp;
using testing::writeBytes;

// Types each answer followed by Enter; an answer of "\x1b" presses Esc.
void answer(TestApp& t, std::initializer_list<std::string> answers) {
  for (const std::string& a : answers) {
    if (a == "\x1b") {
      t.backend.press(key::kEscape);
    } else {
      t.backend.type(a).press(key::kEnter);
    }
  }
}

TEST(RecipientList, TypedAnswers) {
  struct Case {
    const char* name;
    std::initializer_list<std::string> answers;
    std::string recipients;
  } cases[] = {
      {"several in one answer, empty pieces skipped", {";A;B;;C;", "0"}, "A;B;C"},
      {"answers add up in order", {"A", "B;C", "0"}, "A;B;C"},
      {"finishing at once", {"0"}, ""},
      {"letter case differs", {"abc", "ABC", "0"}, "abc;ABC"},
      {"an empty answer cancels", {"A", "\x1b"}, ""},
      {"nine bytes fit", {"ABCDEFGHI", "0"}, "ABCDEFGHI"},
  };
  for (const Case& c : cases) {
    TestApp t;
    answer(t, c.answers);
    EXPECT_EQ(joinedRecipients(enterRecipients(t.app)), c.recipients) << c.name;
    EXPECT_EQ(t.backend.pendingKeys(), 0u) << c.name;
  }
}

TEST(RecipientList, ADuplicateAsksWhetherToRemoveIt) {
  struct Case {
    Key reply;
    std::string recipients;
  } cases[] = {{'y', "B;C"}, {key::kEnter, "B;C"}, {'N', "A;B;C"}, {key::kEscape, "A;B;C"}};
  for (const Case& c : cases) {
    TestApp t;
    answer(t, {"A;B;C", "A"});
    t.backend.press(c.reply);
    answer(t, {"0"});
    EXPECT_EQ(joinedRecipients(enterRecipients(t.app)), c.recipients);
    EXPECT_EQ(t.backend.bells(), 1);
    const Screen& asked = t.backend.screenAtKey(8);  // after "A;B;C" Enter "A" Enter
    EXPECT_EQ(rowToUtf8(asked, 23),
              "ID = Aはすでに指定済みです。このＩＤへの送信を取り消しますか？([Ｙ]/N)");
    EXPECT_EQ(asked.at(0, 23).attribute, attr::kBar);
  }
}

TEST(RecipientList, The33rdRecipientIsRefusedWithAMessage) {
  TestApp t;
  std::vector<std::string> answers(3);
  for (int i = 0; i < 32; ++i) {
    std::string& a = answers[i / 12];
    a += formatText(a.empty() ? "I%04i" : ";I%04i", i);
  }
  answer(t, {answers[0], answers[1], answers[2], "X1;I0000;X2"});
  t.backend.press('a');  // after X1's message
  t.backend.press('n');  // keep I0000
  t.backend.press('b');  // after X2's message
  answer(t, {"0"});
  const std::string recipients = joinedRecipients(enterRecipients(t.app));
  ASSERT_EQ(recipients.size(), 32u * 6 - 1);  // all 32, far over 79 bytes
  EXPECT_EQ(recipients.substr(0, 12), "I0000;I0001;");
  EXPECT_EQ(recipients.substr(recipients.size() - 5), "I0031");
  EXPECT_EQ(t.backend.bells(), 3);
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
  const std::size_t told = answers[0].size() + answers[1].size() + answers[2].size() + 3 + 11 + 1;
  EXPECT_EQ(t.backend.rowAtKey(told, 23),
            "これ以上、同報メールは送れません。［何かキーを押してください］");
  // The full list: eight per row on rows 2 to 5.
  const Screen& list = t.backend.screenAtKey(told + 3);
  EXPECT_EQ(rowToUtf8(list, 5).substr(0, 15), "I0024     I0025");
  EXPECT_EQ(rowToUtf8(list, 5).substr(70), "I0031");
}

TEST(RecipientList, APieceLongerThanNineBytesIsRefused) {
  TestApp t;
  answer(t, {"A;ABCDEFGHIJ;B"});
  t.backend.press('x');
  answer(t, {"0"});
  EXPECT_EQ(joinedRecipients(enterRecipients(t.app)), "A;B");
  EXPECT_EQ(t.backend.bells(), 1);
  EXPECT_EQ(t.backend.rowAtKey(15, 23),
            "ID = ABCDEFGHIJは９バイトを超えています。［何かキーを押してください］");
}

// The host would end its list at a "0" among the IDs and split one at a
// blank: such pieces are told and left out, first or last.
TEST(RecipientList, AnIdTheHostWouldMisreadIsRefused) {
  TestApp t;
  answer(t, {"0;A;00"});
  t.backend.press('x', 2);  // after each message
  answer(t, {"A B"});
  t.backend.press('x');
  answer(t, {"0"});
  EXPECT_EQ(joinedRecipients(enterRecipients(t.app)), "A");
  EXPECT_EQ(t.backend.bells(), 3);
  EXPECT_EQ(t.backend.rowAtKey(7, 23),
            "ID = 0は送信先のIDにできません。［何かキーを押してください］");
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
}

TEST(RecipientList, TheScreenShowsTheListAndTheNextCount) {
  TestApp t;
  answer(t, {"A;B;C;D;E;F;G;H;I", "0"});
  joinedRecipients(enterRecipients(t.app));
  const Screen& shown = t.backend.screenAtKey(18);
  EXPECT_EQ(rowToUtf8(shown, 1),
            std::string(31, '-') + "メール送信先リスト" + std::string(31, '-'));
  EXPECT_EQ(rowToUtf8(shown, 2),
            "A         B         C         D         E         F         G         H");
  EXPECT_EQ(rowToUtf8(shown, 3), "I");
  EXPECT_EQ(rowToUtf8(shown, 6), std::string(80, '-'));
  EXPECT_NE(rowToUtf8(shown, 10).find("ﾒｰﾙ送信：送信先のIDを入力(10通目) 0:終わり"),
            std::string::npos);
}

TEST(RecipientList, IdsFromTheIdListAndTheGroupList) {
  TestApp t;
  writeBytes(t.config.idfile, "A,a\r\nB,b\r\nC,c\r\n");
  writeBytes(t.config.grouplistfile, "[g]\r\nD;B\r\n");
  answer(t, {"I"});
  t.backend.press(' ').press('6').press('6').press(' ').press(key::kEnter);  // A and C
  answer(t, {"G"});
  t.backend.press(key::kEnter);  // D;B
  answer(t, {"i"});
  t.backend.press(' ').press(key::kEnter);  // A again: asked, and removed
  t.backend.press('y');
  answer(t, {"g"});
  t.backend.press(key::kEscape);  // nothing chosen: asked again
  answer(t, {"0"});
  EXPECT_EQ(joinedRecipients(enterRecipients(t.app)), "C;D;B");
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
}

}  // namespace
}  // namespace zazir

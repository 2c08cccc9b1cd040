#include "compose/sendmail.h"

#include <gtest/gtest.h>

#include "addressbook/test_app.h"
#include "console/keys.h"
#include "console/render.h"

namespace zazir {
namespace {

using testing::readBytes;
using testing::sj;
using testing::TestApp;
using testing::writeBytes;

class SendMailTest : public ::testing::Test {
 protected:
  SendMailTest() {
    t_.editor = [this](const std::string&) {
      if (!editorText_.empty()) writeBytes(tempFile(), editorText_);
    };
  }
  std::string tempFile() const { return t_.path("ZQ2OFF.TMP"); }
  std::string upload() const { return readBytes(t_.path("UPLOAD.TXT")); }

  TestApp t_;
  std::string editorText_ = "Hello.\r\nSee you.\r\n";
};

TEST_F(SendMailTest, AMailToThreeIdsIsOneCommand) {
  t_.backend.type("AAA;BBB").press(key::kEnter).type("CCC").press(key::kEnter);
  t_.backend.type("0").press(key::kEnter);
  t_.backend.press('y');          // the recipients are right
  t_.backend.press(key::kEnter);  // "MAIL to you" as proposed
  t_.backend.press('Y');          // the preview
  sendMail(t_.app, false, "", "");
  EXPECT_EQ(upload(), "EMAAA;BBB;CCC;0\r\nMAIL to you;Y\r\nHello.\r\nSee you.\r\n\r\n//\r\nS\r\n");
  EXPECT_EQ(readBytes(tempFile()), "<none>");
  EXPECT_EQ(t_.backend.pendingKeys(), 0u);
  EXPECT_EQ(t_.commands.size(), 1u);
}

TEST_F(SendMailTest, TheConfirmationShowsTheRecipientsAndWaitsForItsKeys) {
  // A reply skips the recipient list; Esc and other keys are not answers.
  t_.backend.press(key::kEscape).press('x').press(key::kEnter);
  t_.backend.press(key::kEscape);  // no title: the end
  sendMail(t_.app, true, "Re:t", "SYSOP01");
  const Screen& asked = t_.backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(asked, 10), "メールを以下のＩＤに送信します。");
  EXPECT_EQ(rowToUtf8(asked, 12), "SYSOP01");
  EXPECT_EQ(rowToUtf8(asked, 23), "よろしいですか？([Ｙ]/N/Q:送信中止)");
  EXPECT_EQ(asked.at(0, 23).attribute, attr::kBar);
  const Screen& title = t_.backend.screenAtKey(3);
  EXPECT_NE(rowToUtf8(title, 10).find("メール送信；タイトル入力 無入力：ｷｬﾝｾﾙ"), std::string::npos);
  EXPECT_EQ(rowToUtf8(title, 11), "Re:t");  // the proposal, editable
  EXPECT_EQ(upload(), "<none>");
  EXPECT_EQ(t_.commands.size(), 0u);
}

TEST_F(SendMailTest, NEntersTheRecipientsAgainFromAnEmptyList) {
  t_.backend.press('n');
  t_.backend.type("NEW1;NEW2").press(key::kEnter).type("0").press(key::kEnter);
  t_.backend.press(key::kEnter);  // confirmed
  t_.backend.type("題名;その他").press(key::kEnter);
  t_.backend.press(key::kEnter);  // the preview
  writeBytes(tempFile(), "quoted\r\n");
  editorText_.clear();  // the editor leaves the reply as it was
  sendMail(t_.app, true, "", "SYSOP01");
  const Screen& again = t_.backend.screenAtKey(13);
  EXPECT_EQ(rowToUtf8(again, 12), "NEW1;NEW2");
  // Typed after the proposal "MAIL to you"; a ";" is written unchanged.
  EXPECT_EQ(upload(),
            "EMNEW1;NEW2;0\r\nMAIL to you" + sj("題名;その他") + ";Y\r\nquoted\r\n\r\n//\r\nS\r\n");
}

TEST_F(SendMailTest, EveryCancelWritesNothing) {
  struct Case {
    const char* name;
    std::vector<int> keys;
    std::string recipients;
    std::string editorText;
  } cases[] = {
      {"an empty recipient list", {key::kEscape}, "", "x\r\n"},
      {"finishing the list with none", {'0', key::kEnter}, "", "x\r\n"},
      {"Q at the confirmation", {'q'}, "A", "x\r\n"},
      {"N and then no recipients", {'N', key::kEscape}, "A", "x\r\n"},
      {"no title", {'y', key::kEscape}, "A", "x\r\n"},
      {"the preview rejected", {'y', key::kEnter, 'n'}, "A", "x\r\n"},
      // The message box of an empty text waits for a key.
      {"an empty text", {'y', key::kEnter, 'x'}, "A", ""},
  };
  for (const Case& c : cases) {
    TestApp t;
    const std::string text = c.editorText;
    const std::string temp = t.path("ZQ2OFF.TMP");
    t.editor = [&](const std::string&) { writeBytes(temp, text); };
    for (int k : c.keys) t.backend.press(k);
    sendMail(t.app, false, "", c.recipients);
    EXPECT_EQ(readBytes(t.path("UPLOAD.TXT")), "<none>") << c.name;
    EXPECT_EQ(t.backend.pendingKeys(), 0u) << c.name;
  }
}

TEST_F(SendMailTest, AllThirtyTwoRecipientsReachTheCommand) {
  std::string all;
  for (int i = 0; i < 32; ++i) all += formatText(i ? ";ID%06i" : "ID%06i", i);
  t_.backend.press('y').press(key::kEnter).press('y');
  sendMail(t_.app, false, "", all);
  EXPECT_EQ(upload(), "EM" + all + ";0\r\nMAIL to you;Y\r\nHello.\r\nSee you.\r\n\r\n//\r\nS\r\n");
}

TEST_F(SendMailTest, ATemporaryFileThatCannotBeMadeIsTold) {
  t_.config.temporaryDir = t_.path("missing/");
  t_.backend.press('y').press(key::kEnter).press('x');
  sendMail(t_.app, false, "", "A");
  EXPECT_EQ(t_.backend.row(0), "【一時ファイルを作成できません】");
  EXPECT_EQ(t_.commands.size(), 0u);
  EXPECT_EQ(upload(), "<none>");
}

}  // namespace
}  // namespace zazir

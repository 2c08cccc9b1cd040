#include "writers/sendmail.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::sj;
using testing::TestApp;
using testing::writeBytes;

const std::string kText = "Hello.\r\nSee you.\r\n";

class SendMailTest : public TestApp, public ::testing::Test {};

TEST_F(SendMailTest, AMailToThreeIdsIsOneCommand) {
  editor.writes(kText);
  backend.type("AAA;BBB").press(key::kEnter).type("CCC").press(key::kEnter);
  backend.type("0").press(key::kEnter);
  backend.press('y');          // the recipients are right
  backend.press(key::kEnter);  // "MAIL to you" as proposed
  backend.press('Y');          // the preview
  sendMail(app, {}, "", "");
  EXPECT_EQ(uploadBytes(),
            "EMAAA;BBB;CCC;0\r\nMAIL to you;Y\r\nHello.\r\nSee you.\r\n\r\n//\r\nS\r\n");
  EXPECT_EQ(tempBytes(), "<none>");
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_EQ(editor.commandLines.size(), 1u);
}

TEST_F(SendMailTest, TheConfirmationShowsTheRecipientsAndWaitsForItsKeys) {
  // A reply skips the recipient list; Esc and other keys are not answers.
  backend.press(key::kEscape).press('x').press(key::kEnter);
  backend.press(key::kEscape);  // no title: the end
  sendMail(app, "quoted\n", "Re:t", "SYSOP01");
  const Screen& asked = backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(asked, 10), "メールを以下のＩＤに送信します。");
  EXPECT_EQ(rowToUtf8(asked, 12), "SYSOP01");
  EXPECT_EQ(rowToUtf8(asked, 23), "よろしいですか？([Ｙ]/N/Q:送信中止)");
  EXPECT_EQ(asked.at(0, 23).attribute, attr::kBar);
  const Screen& title = backend.screenAtKey(3);
  EXPECT_NE(rowToUtf8(title, 10).find("メール送信；タイトル入力 無入力：ｷｬﾝｾﾙ"), std::string::npos);
  EXPECT_EQ(rowToUtf8(title, 11), "Re:t");  // the proposal, editable
  EXPECT_EQ(uploadBytes(), "<none>");
  EXPECT_EQ(editor.commandLines.size(), 0u);
}

TEST_F(SendMailTest, NEntersTheRecipientsAgainFromAnEmptyList) {
  backend.press('n');
  backend.type("NEW1;NEW2").press(key::kEnter).type("0").press(key::kEnter);
  backend.press(key::kEnter);  // confirmed
  backend.type("題名;その他").press(key::kEnter);
  backend.press('y');  // the preview of the reply as prepared
  sendMail(app, "quoted\n", "", "SYSOP01");
  const Screen& again = backend.screenAtKey(13);
  EXPECT_EQ(rowToUtf8(again, 12), "NEW1;NEW2");
  // Typed after the proposal "MAIL to you"; a ";" is written unchanged.
  EXPECT_EQ(uploadBytes(),
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
    t.editor.writes(c.editorText);
    t.backend.press(c.keys);
    sendMail(t.app, {}, "", c.recipients);
    EXPECT_EQ(t.uploadBytes(), "<none>") << c.name;
    EXPECT_EQ(t.backend.pendingKeys(), 0u) << c.name;
  }
}

TEST_F(SendMailTest, AllThirtyTwoRecipientsReachTheCommand) {
  std::string all;
  for (int i = 0; i < 32; ++i) all += formatText(i ? ";ID%06i" : "ID%06i", i);
  editor.writes(kText);
  backend.press('y').press(key::kEnter).press('y');
  sendMail(app, {}, "", all);
  EXPECT_EQ(uploadBytes(),
            "EM" + all + ";0\r\nMAIL to you;Y\r\nHello.\r\nSee you.\r\n\r\n//\r\nS\r\n");
}

TEST_F(SendMailTest, ATemporaryFileThatCannotBeMadeIsTold) {
  config.temporaryDir = path("missing/");
  backend.press('y').press(key::kEnter).press('x');
  sendMail(app, {}, "", "A");
  EXPECT_EQ(backend.row(0), "【一時ファイルを作成できません】");
  EXPECT_EQ(editor.commandLines.size(), 0u);
  EXPECT_EQ(uploadBytes(), "<none>");
}

}  // namespace
}  // namespace zazir

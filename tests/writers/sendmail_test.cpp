#include "writers/sendmail.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "readers/mail_log.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::MailLog;
using testing::sj;
using testing::TestApp;
using testing::writeBytes;

const std::string kText = "Hello.\r\nSee you.\r\n";

class SendMailTest : public TestApp, public ::testing::Test {};

// Keys that give the recipient list `ids` and finish it.
std::vector<Key> recipients(const std::string& ids) {
  std::vector<Key> keys(ids.begin(), ids.end());
  for (Key key : {key::kEnter, Key('0'), key::kEnter}) keys.push_back(key);
  return keys;
}

TEST_F(SendMailTest, AMailToThreeIdsIsOneCommand) {
  editor.writes(kText);
  backend.type("AAA;BBB").press(key::kEnter).type("CCC").press(key::kEnter);
  backend.type("0").press(key::kEnter);
  backend.press('y');          // the recipients are right
  backend.press(key::kEnter);  // "MAIL to you" as proposed
  backend.press('Y');          // the preview
  sendNewMail(app);
  EXPECT_EQ(uploadBytes(),
            "EMAAA;BBB;CCC;0\r\nMAIL to you;Y\r\nHello.\r\nSee you.\r\n\r\n//\r\nS\r\n");
  EXPECT_EQ(tempBytes(), "<none>");
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_EQ(editor.commandLines.size(), 1u);
}

TEST(MailReplyTo, TheSenderIsConfirmedWithoutTheListAndNEntersTheRecipientsAgain) {
  MailLog log;
  log.add("SYSOP01", "q", {"", "quoted"});
  TestApp t(log.bytes, log.index);
  // Esc and other keys are not answers to the confirmation.
  t.backend.press(key::kEscape).press('x').press('n');
  t.backend.type("NEW1;NEW2").press(key::kEnter).type("0").press(key::kEnter);
  t.backend.press(key::kEnter);  // confirmed
  t.backend.type("題名;その他").press(key::kEnter);
  t.backend.press(key::kEnter);  // the title offered again as the host will read it
  t.backend.press('y');          // the preview of the reply as prepared
  sendMailReply(t.app, t.index.mails[0]);
  const Screen& asked = t.backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(asked, 10), "メールを以下のＩＤに送信します。");
  EXPECT_EQ(rowToUtf8(asked, 12), "SYSOP01");
  EXPECT_EQ(rowToUtf8(asked, 23), "よろしいですか？([Ｙ]/N/Q:送信中止)");
  EXPECT_EQ(asked.at(0, 23).attribute, attr::kBar);
  EXPECT_EQ(rowToUtf8(t.backend.screenAtKey(15), 12), "NEW1;NEW2");
  const Screen& title = t.backend.screenAtKey(16);
  EXPECT_NE(rowToUtf8(title, 10).find("メール送信；タイトル入力 無入力：ｷｬﾝｾﾙ"), std::string::npos);
  EXPECT_EQ(rowToUtf8(title, 11), "Re:Title of SYSOP01");  // the proposal, editable
  // Typed after the proposal; a ";" would end the title on the host.
  EXPECT_EQ(t.uploadBytes(), "EMNEW1;NEW2;0\r\nRe:Title of SYSOP01" + sj("題名；その他") +
                                 ";Y\r\n\r\n\r\nq> quoted\r\n\r\n//\r\nS\r\n");
}

TEST_F(SendMailTest, EveryCancelWritesNothing) {
  const std::vector<Key> to = recipients("A");
  struct Case {
    const char* name;
    std::vector<Key> keys;
    std::string editorText;
  } cases[] = {
      {"an empty recipient list", {key::kEscape}, "x\r\n"},
      {"finishing the list with none", {'0', key::kEnter}, "x\r\n"},
      {"Q at the confirmation", testing::concat(to, {'q'}), "x\r\n"},
      {"N and then no recipients", testing::concat(to, {'N', key::kEscape}), "x\r\n"},
      {"no title", testing::concat(to, {'y', key::kEscape}), "x\r\n"},
      {"the preview rejected", testing::concat(to, {'y', key::kEnter, 'n'}), "x\r\n"},
      // The message box of an empty text waits for a key.
      {"an empty text", testing::concat(to, {'y', key::kEnter, 'x'}), ""},
  };
  for (const Case& c : cases) {
    TestApp t;
    t.editor.writes(c.editorText);
    t.backend.press(c.keys);
    sendNewMail(t.app);
    EXPECT_EQ(t.uploadBytes(), "<none>") << c.name;
    EXPECT_EQ(t.backend.pendingKeys(), 0u) << c.name;
  }
}

TEST_F(SendMailTest, AllThirtyTwoRecipientsReachTheCommand) {
  std::string all;
  for (int i = 0; i < 32; ++i) {
    const std::string id = formatText("ID%06i", i);
    all += i ? ";" + id : id;
    backend.type(id).press(key::kEnter);
  }
  editor.writes(kText);
  backend.type("0").press(key::kEnter).press('y').press(key::kEnter).press('y');
  sendNewMail(app);
  EXPECT_EQ(uploadBytes(),
            "EM" + all + ";0\r\nMAIL to you;Y\r\nHello.\r\nSee you.\r\n\r\n//\r\nS\r\n");
}

TEST_F(SendMailTest, ATemporaryFileThatCannotBeMadeIsTold) {
  config.temporaryDir = path("missing/");
  backend.press(recipients("A")).press('y').press(key::kEnter).press('x');
  sendNewMail(app);
  EXPECT_EQ(backend.row(0), "【一時ファイルを作成できません】");
  EXPECT_EQ(editor.commandLines.size(), 0u);
  EXPECT_EQ(uploadBytes(), "<none>");
}

}  // namespace
}  // namespace zazir

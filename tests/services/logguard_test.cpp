// No file the program writes, appends to or deletes is ever the open log,
// whatever name leads to it.
#include "services/logguard.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

#include "addressbook/idlist.h"
#include "chat/chatrecord.h"
#include "formats/hostcommands.h"
#include "readers/mailactions.h"
#include "readers/savemessage.h"
#include "services/uploadfile.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::utf8;

const std::string kLogBytes = "the log\r\n";

// A run whose log is on disk too, in the current directory beside a hard
// link ("HARD") and a symbolic link ("LINK") to it.
struct LogOnDisk : testing::TestApp {
  LogOnDisk() {
    testing::writeBytes(logPath, kLogBytes);
    state.logIdentity = identityOfPath(logPath);
    if (link(logPath.c_str(), "HARD") != 0 || symlink(logPath.c_str(), "LINK") != 0) {
      throw std::runtime_error("cannot link the log");
    }
    config.uploadfileDir.clear();
  }
  testing::InDirectory here{dir};
  const std::string logPath = path("0105NIGHT.LOG");
};

TEST(TheLog, ASettingNamingItEndsTheRunAndTheUploadPolicyLeavesIt) {
  const std::pair<const char*, std::string Config::*> settings[] = {
      {"UPLOADFILE", &Config::uploadfile},
      {"IDFILE", &Config::idfile},
      {"GROUPLISTFILE", &Config::grouplistfile}};
  for (const auto& [setting, member] : settings) {
    LogOnDisk t;
    t.config.*member = "LINK";
    const ProgramExit exit = testing::exitOf([&] { refuseSettingsNamingTheLog(t.app); });
    EXPECT_EQ(exit.status, kExitFatal);
    EXPECT_EQ(utf8(exit.message), std::string(setting) +
                                      " の指定[LINK]は通信ログファイルそのものです。\n"
                                      "設定ファイル内の" +
                                      setting + "=の項を確認してください。");
  }
  for (const UploadFileExist policy :
       {UploadFileExist::WriteQuestion, UploadFileExist::WriteKillout}) {
    LogOnDisk t;
    t.config.uploadfile = "HARD";
    t.config.uploadFileExist = policy;
    applyUploadFilePolicy(t.app);  // a question would find no key
    EXPECT_EQ(fileBytes(t.logPath), kLogBytes);
  }
}

TEST(TheLog, NoFileWrittenDuringTheRunReachesIt) {
  MailEntry mail;
  struct Case {
    std::string told;      // the notice's third row, before "は通信ログ..."
    std::size_t noticeAt;  // the key it waits for ("k")
    std::function<void(LogOnDisk&)> run;
  } cases[] = {
      {"アップロードファイル[LINK]", 0,
       [](LogOnDisk& t) {
         t.config.uploadfile = "LINK";
         t.backend.type("k");
         EXPECT_FALSE(appendToUploadFile(t.app, notewallLineCommand("x")));
       }},
      {"ファイル[HARD]", 6,
       [](LogOnDisk& t) {
         t.messageBoard(3, "B");
         const LogOffset at = t.message(1, "h", {"body"});
         t.backend.type("\x15HARD\rk");  // Ctrl+U empties the proposed name
         saveToCutFile(t.withLog(), t.index.messageBoards[0], at, -1);
       }},
      {"ファイル[LINK]", 6,
       [&](LogOnDisk& t) {
         t.backend.type("\x15LINK\rk");
         saveMail(t.app, mail);
       }},
      {"ファイル[HARD]", 5,
       [&](LogOnDisk& t) {
         t.config.idfile = "HARD";
         t.backend.type("memo\rk");
         registerSender(t.app, mail);
       }},
      {"グループファイル[LINK]", 7,
       [](LogOnDisk& t) {
         testing::writeBytes(t.config.idfile, "ID000,h,m\r\n");
         t.config.grouplistfile = "LINK";
         t.backend.type(" Gpals\rk\x1b");
         chooseIds(t.app);
       }},
      {"１行チャット[#c]のバックログファイル", 0,
       [](LogOnDisk& t) {
         ASSERT_EQ(symlink(t.logPath.c_str(), "#c"), 0);
         t.index.chatBoards.push_back(ChatBoardEntry{"#c", 1, 12, "#c chat"});
         t.index.chatContentOffset.push_back(0);
         t.withLog("-\r\n" + testing::sj("新しいメッセージが 1 個あります。") +
                   "\r\n-\r\nID000         >hi\r\n\r\n");
         t.backend.type("k");
         recordChatBackLogs(t.app);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.told);
    LogOnDisk t;
    c.run(t);
    EXPECT_EQ(fileBytes(t.logPath), kLogBytes);
    EXPECT_EQ(t.backend.rowAtKey(c.noticeAt, 2),
              "　" + c.told + "は通信ログファイルそのものです。");
    EXPECT_EQ(t.backend.pendingKeys(), 0u);
  }
}

}  // namespace
}  // namespace zazir

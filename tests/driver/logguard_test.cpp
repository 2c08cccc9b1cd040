// No file the program writes, appends to or deletes is ever the open log,
// whatever name leads to it.
#include "driver/logguard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "addressbook/idlist.h"
#include "compose/uploadfile.h"
#include "console/keys.h"
#include "driver/chat.h"
#include "driver/startup.h"
#include "readers/mailactions.h"
#include "readers/savemessage.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::sj;
using testing::utf8;
using testing::writeBytes;

const std::string kLogBytes = "the log\r\n";

// A run whose log is on disk too, as the program opens it, in the current
// directory beside a hard link ("HARD") and a symbolic link ("LINK") to it.
struct LogOnDisk : testing::TestApp {
  LogOnDisk() {
    writeBytes(logPath, kLogBytes);
    state.logPath = logPath;
    state.logIdentity = identityOfPath(logPath);
    if (link(logPath.c_str(), path("HARD").c_str()) != 0 ||
        symlink(logPath.c_str(), path("LINK").c_str()) != 0) {
      throw std::runtime_error("cannot link the log");
    }
  }
  const std::string logPath = path("0105NIGHT.LOG");
  testing::InDirectory here{dir};
};

TEST(TheLog, ASettingNamingItEndsTheRunBeforeAnythingIsTouched) {
  struct Case {
    const char* setting;
    std::function<void(LogOnDisk&)> configure;
    std::string file;  // as the message names it
  } cases[] = {
      // The bundled "%s.UP" cut to 13 characters names a 13-character log.
      {"UPLOADFILE",
       [](LogOnDisk& t) {
         t.config.uploadfileDir.clear();
         t.config.uploadfile = "%s.UP";
         deriveFileNames(t.config, t.logPath);
       },
       "0105NIGHT.LOG"},
      {"IDFILE", [](LogOnDisk& t) { t.config.idfile = "LINK"; }, "LINK"},
      {"GROUPLISTFILE", [](LogOnDisk& t) { t.config.grouplistfile = "./HARD"; }, "./HARD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    LogOnDisk t;
    c.configure(t);
    const ProgramExit exit = testing::exitOf([&] { refuseSettingsNamingTheLog(t.app); });
    EXPECT_EQ(exit.status, kExitFatal);
    EXPECT_EQ(utf8(exit.message), std::string(c.setting) + " の指定[" + c.file +
                                      "]は通信ログファイルそのものです。\n設定ファイル内の" +
                                      c.setting + "=の項を確認してください。");
  }
  // Nor is the log offered for deletion or deleted by the upload-file policy.
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
  mail.senderId = "SYSOP01";
  mail.senderName = "Taro";
  struct Case {
    const char* name;
    std::function<void(LogOnDisk&)> run;  // `k` dismisses the notice
    std::size_t noticeAt;                 // the key the notice waits for
    std::string told;                     // its third row
  } cases[] = {
      {"upload file",
       [](LogOnDisk& t) {
         t.config.uploadfileDir.clear();
         t.config.uploadfile = "LINK";
         t.backend.type("k");
         EXPECT_FALSE(appendToUploadFile(t.app, "P\nx\n\n"));
       },
       0, "アップロードファイル[LINK]"},
      {"cut file",
       [](LogOnDisk& t) {
         t.messageBoard(3, "B");
         const LogOffset at = t.message(1, "h", {"body"});
         t.withLog();
         t.backend.press(key::kCtrlU).type("HARD\rk");
         saveToCutFile(t.app, t.index.messageBoards, 0, {at}, 0);
       },
       6, "ファイル[HARD]"},
      {"mail log",
       [&](LogOnDisk& t) {
         t.backend.press(key::kCtrlU).type("LINK\rk");
         saveMail(t.app, mail);
       },
       6, "ファイル[LINK]"},
      {"ID file",
       [&](LogOnDisk& t) {
         t.config.idfile = "HARD";
         t.backend.type("memo\rk");
         registerSender(t.app, mail);
       },
       5, "ファイル[HARD]"},
      {"group file",
       [](LogOnDisk& t) {
         writeBytes(t.config.idfile, "ID000,h,m\r\n");
         t.config.grouplistfile = "LINK";
         t.backend.type(" Gpals\rk").press(key::kEscape);
         chooseIds(t.app);
       },
       7, "グループファイル[LINK]"},
      {"chat back-log",
       [](LogOnDisk& t) {
         ASSERT_EQ(symlink(t.logPath.c_str(), "#c"), 0);
         t.index.chatBoards.push_back(ChatBoardEntry{"#c", 1, 12, "#c chat"});
         t.index.chatContentOffset.push_back(0);
         t.withLog("-----\r\n" + sj("新しいメッセージが 1 個あります。") +
                   "\r\n-----\r\nID000         >hi\r\n\r\n");
         t.backend.type("k");
         recordChatBackLogs(t.app);
       },
       0, "１行チャット[#c]のバックログファイル"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
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

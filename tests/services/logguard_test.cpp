// No file the program writes, appends to or deletes is ever the open log,
// whatever name leads to it, nor another file that reads as a log.
#include "services/logguard.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

#include "app/startup.h"

#include "addressbook/idlist.h"
#include "chat/chatrecord.h"
#include "formats/hostcommands.h"
#include "formats/logindex_support.h"
#include "console/keys.h"
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
  mail.senderId = "SYSOP01";
  struct Case {
    std::string told;      // the notice's third row, before "は通信ログ..."
    std::size_t noticeAt;  // the key it waits for ("k")
    std::function<void(LogOnDisk&)> run;
  } cases[] = {
      {"アップロードファイル[LINK]", 0,
       [](LogOnDisk& t) {
         t.config.uploadfile = "LINK";
         chooseSettingFiles(t.app);  // a link there at start-up is followed
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
         chooseSettingFiles(t.app);
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

// The upload file is replayed to the host as keystrokes: a message, a mail
// or an address-book entry written to it would run there as commands, so
// only commands go to it, whatever name leads there.
TEST(TheUploadFile, TakesNothingButCommands) {
  MailEntry mail;
  mail.senderId = "SYSOP01";
  struct Case {
    const char* what;
    bool exists;
    std::function<void(testing::TestApp&)> run;
  } cases[] = {
      {"a message saved to it", true,
       [](testing::TestApp& t) {
         t.messageBoard(3, "B");
         const LogOffset at = t.message(1, "h", {"EMEVIL0001;0"});
         t.backend.type("\x15" + t.uploadPath() + "\rk");
         saveToCutFile(t.withLog(), t.index.messageBoards[0], at, -1);
       }},
      {"a mail saved to it before it is there", false,
       [&](testing::TestApp& t) {
         t.backend.type("\x15" + t.uploadPath() + "\rk");
         saveMail(t.app, mail);
       }},
      {"the ID file named so", true,
       [&](testing::TestApp& t) {
         t.config.idfile = t.uploadPath();
         t.backend.type("memo\rk");
         registerSender(t.app, mail);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TestApp t;
    if (c.exists) testing::writeBytes(t.uploadPath(), "P\r\nx\r\n\r\n");
    c.run(t);
    EXPECT_EQ(t.uploadBytes(), c.exists ? "P\r\nx\r\n\r\n" : "<none>");
    const std::size_t notice = t.backend.keysRead() - 1;
    EXPECT_EQ(t.backend.rowAtKey(notice, 3), "　アップロードファイルです。ホストへのコマンドのほかは");
    EXPECT_EQ(t.backend.pendingKeys(), 0u);
  }
}

// A run on 0105NIGHT.LOG2 with 0105NIGHT.LOG beside it, another visit's
// log (the example's), in the current directory.
struct AnotherLogBeside : testing::TestApp {
  AnotherLogBeside() {
    testing::writeBytes(path("0105NIGHT.LOG2"), kLogBytes);
    testing::writeBytes(other, testing::exampleLog());
    state.logIdentity = identityOfPath(path("0105NIGHT.LOG2"));
    config.uploadfileDir.clear();
  }
  testing::InDirectory here{dir};
  const std::string other = "0105NIGHT.LOG";
};

TEST(AnotherLog, NoFileWrittenDuringTheRunReachesIt) {
  MailEntry mail;
  mail.senderId = "SYSOP01";
  struct Case {
    std::string told;      // the notice's third row, before "は、"
    std::size_t noticeAt;  // the key it waits for ("k")
    std::function<void(AnotherLogBeside&)> run;
  } cases[] = {
      {"アップロードファイル[0105NIGHT.LOG]", 0,
       [](AnotherLogBeside& t) {
         t.config.uploadfile = t.other;
         t.backend.type("k");
         EXPECT_FALSE(appendToUploadFile(t.app, notewallLineCommand("x")));
       }},
      {"ファイル[0105NIGHT.LOG]", 15,
       [](AnotherLogBeside& t) {
         t.messageBoard(3, "B");
         const LogOffset at = t.message(1, "h", {"body"});
         t.backend.type("\x15" + t.other + "\rk");
         saveToCutFile(t.withLog(), t.index.messageBoards[0], at, -1);
       }},
      {"ファイル[0105NIGHT.LOG]", 15,
       [&](AnotherLogBeside& t) {
         t.backend.type("\x15" + t.other + "\rk");
         saveMail(t.app, mail);
       }},
      {"ファイル[0105NIGHT.LOG]", 5,
       [&](AnotherLogBeside& t) {
         t.config.idfile = t.other;
         t.backend.type("memo\rk");
         registerSender(t.app, mail);
       }},
      {"グループファイル[0105NIGHT.LOG]", 7,
       [](AnotherLogBeside& t) {
         testing::writeBytes(t.config.idfile, "ID000,h,m\r\n");
         t.config.grouplistfile = t.other;
         t.backend.type(" Gpals\rk\x1b");
         chooseIds(t.app);
       }},
      {"１行チャット[#c]のバックログファイル", 0,
       [](AnotherLogBeside& t) {
         testing::writeBytes("#c", testing::exampleLog());
         t.index.chatBoards.push_back(ChatBoardEntry{"#c", 1, 12, "#c chat"});
         t.index.chatContentOffset.push_back(0);
         t.withLog("-\r\n" + testing::sj("新しいメッセージが 1 個あります。") +
                   "\r\n-\r\nID000         >hi\r\n\r\n");
         t.backend.type("k");
         recordChatBackLogs(t.app);
         EXPECT_EQ(fileBytes("#c"), testing::exampleLog());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.told);
    AnotherLogBeside t;
    c.run(t);
    EXPECT_EQ(fileBytes(t.other), testing::exampleLog());
    EXPECT_EQ(t.backend.rowAtKey(c.noticeAt, 2), "　" + c.told + "は、");
    EXPECT_EQ(t.backend.rowAtKey(c.noticeAt, 3), "　通信ログファイル（通信の記録）と読めます。");
    EXPECT_EQ(t.backend.pendingKeys(), 0u);
  }
}

// A post or a message of the log may name the Notewall or copy a board's
// listing line at a line's start: the upload file and the cut file it is
// written to stay the program's own, and take what comes next.
TEST(AnotherLog, NoTextWrittenTurnsAFileOfTheProgramsIntoOne) {
  AnotherLogBeside t;
  const std::string notewall = testing::sj("《 気軽な伝言板 》で見た件です。");
  const std::string listing = testing::listingLine(2, "pc98", "title", "検索中");
  ASSERT_TRUE(appendToUploadFile(
      t.app, composedCommand(newPostCommand(3, "t"), notewall + "\n" + listing + "\n")));
  EXPECT_TRUE(appendToUploadFile(t.app, notewallLineCommand("x")));
  EXPECT_TRUE(t.uploadBytes().ends_with("S\r\nP\r\nx\r\n\r\n"));

  t.messageBoard(3, "B");
  const LogOffset at = t.message(1, "h", {notewall, listing});
  t.withLog();
  t.backend.type("\r\r");  // the proposed name, twice
  saveToCutFile(t.app, t.index.messageBoards[0], at, -1);
  saveToCutFile(t.app, t.index.messageBoards[0], at, -1);
  const std::string saved = fileBytes(t.path("B.TXT"));
  EXPECT_NE(saved.find(notewall), saved.rfind(notewall));  // saved twice
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
}

// The start-up policy neither asks about nor deletes another log that the
// upload file's name leads to; the setting is told and the run goes on.
TEST(AnotherLog, TheUploadPolicyLeavesItAndTheSettingIsTold) {
  for (const UploadFileExist policy :
       {UploadFileExist::WriteQuestion, UploadFileExist::WriteKillout,
        UploadFileExist::WriteAppend}) {
    AnotherLogBeside t;
    t.config.uploadfile = t.other;
    t.config.uploadFileExist = policy;
    t.backend.type("k");
    refuseSettingsNamingTheLog(t.app);
    applyUploadFilePolicy(t.app);  // a question would find no key
    EXPECT_EQ(fileBytes(t.other), testing::exampleLog());
    EXPECT_EQ(t.backend.rowAtKey(0, 2), "　UPLOADFILE の指定[0105NIGHT.LOG]は、");
    EXPECT_EQ(t.backend.pendingKeys(), 0u);
  }
  // The whole run on the built-in settings: "%s.UP" cut to 13 bytes is
  // the other log.
  testing::TempDir dir;
  testing::InDirectory here(dir.dir);
  testing::writeBytes(dir.path("0105NIGHT.LOG"), testing::exampleLog());
  testing::writeBytes(dir.path("0105NIGHT.LOG2"), testing::exampleLog());
  const auto noConfiguration = [](const char* name) -> const char* {
    return std::string_view(name) == "XDG_CONFIG_DIRS" || std::string_view(name) == "HOME"
               ? "/nonexistent"
               : nullptr;
  };
  StartupOptions options{"zazir", dir.path("0105NIGHT.LOG2"), noConfiguration, {}};
  testing::ScriptedBackend backend;
  backend.type("k").type("n").press(key::kEscape).type("y");
  Console console(backend);
  EXPECT_EQ(testing::exitOf([&] { runProgram(console, options); }).status, 0);
  EXPECT_EQ(backend.rowAtKey(0, 3), "　別の通信ログファイル（通信の記録）と読めます。");
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_EQ(fileBytes(dir.path("0105NIGHT.LOG")), testing::exampleLog());
}

}  // namespace
}  // namespace zazir

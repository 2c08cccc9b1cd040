// The door every written file goes through, seen from the screens: private
// text made private whatever the umask, and no write through a link put in
// a file's place after the file was chosen.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "addressbook/idlist.h"
#include "chat/chatrecord.h"
#include "formats/hostcommands.h"
#include "readers/mailactions.h"
#include "readers/savemessage.h"
#include "services/logguard.h"
#include "services/uploadfile.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::fileBytes;

unsigned modeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

struct Umask {
  explicit Umask(mode_t mask) : saved(::umask(mask)) {}
  ~Umask() { ::umask(saved); }
  mode_t saved;
};

TEST(FileDoor, PrivateTextIsCreated0600WhateverTheUmask) {
  for (const mode_t mask : {mode_t{0}, mode_t{022}}) {
    const Umask umask(mask);
    testing::TestApp t;
    testing::InDirectory here(t.dir);
    t.messageBoard(3, "B");
    const LogOffset at = t.message(1, "h", {"body"});
    t.withLog();
    ASSERT_TRUE(appendToUploadFile(t.app, notewallLineCommand("x")));
    t.backend.type("\r\r");  // the proposed names
    saveMail(t.app, MailEntry{});
    saveToCutFile(t.app, t.index.messageBoards[0], at, -1);
    EXPECT_EQ(modeOf(t.uploadPath()), 0600u) << mask;
    EXPECT_EQ(modeOf(t.path("MAILLOG.TXT")), 0600u) << mask;
    EXPECT_EQ(modeOf(t.path("B.TXT")), 0644u & ~mask) << mask;  // a board is no secret
  }
}

// Private text never goes to a file of another user's put beforehand where
// it would be written, as a shared directory may hold one (writable by all,
// or read by its owner); a board's message still may.
TEST(FileDoor, PrivateTextNeverGoesToAnotherUsersFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
  testing::TestApp t;
  testing::InDirectory here(t.dir);
  t.messageBoard(3, "B");
  const LogOffset at = t.message(1, "h", {"body"});
  t.withLog();
  for (const std::string& file : {t.uploadPath(), t.path("MAILLOG.TXT"), t.path("B.TXT")}) {
    testing::writeBytes(file, "");
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  }
  t.backend.type("k\rk\r");  // the notices, the proposed names
  EXPECT_FALSE(appendToUploadFile(t.app, notewallLineCommand("x")));
  saveMail(t.app, MailEntry{});
  saveToCutFile(t.app, t.index.messageBoards[0], at, -1);
  EXPECT_EQ(fileBytes(t.uploadPath()), "");
  EXPECT_EQ(fileBytes(t.path("MAILLOG.TXT")), "");
  EXPECT_NE(fileBytes(t.path("B.TXT")), "");
  EXPECT_EQ(t.backend.rowAtKey(0, 3), "　ほかのユーザーのファイルです。");
  EXPECT_EQ(t.backend.rowAtKey(2, 3), "　ほかのユーザーのファイルです。");
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
}

// A victim file and a link to it planted where a file will be written.
struct Planted : testing::TestApp {
  Planted() {
    testing::writeBytes(victim, "keep");
    config.uploadfileDir.clear();
    config.uploadfile = "UP";
  }
  void plant(const std::string& at, bool othersLink = false) {
    ::unlink(at.c_str());
    ASSERT_EQ(::symlink(victim.c_str(), at.c_str()), 0);
    // Another user's link, as a shared directory may hold one.
    if (othersLink) {
      ASSERT_EQ(::lchown(at.c_str(), 65534, 65534), 0);
    }
  }
  testing::InDirectory here{dir};
  const std::string victim = path("victim");
};

TEST(FileDoor, ALinkPutInAFilesPlaceAfterItWasChosenIsRefusedAndTold) {
  MailEntry mail;
  mail.senderId = "SYSOP01";
  const bool root = ::geteuid() == 0;  // only root can give a link away
  struct Case {
    std::string told;      // the notice's third row, before "は、"
    std::size_t noticeAt;  // the key it waits for ("k")
    bool needsRoot;
    std::function<void(Planted&)> run;
  } cases[] = {
      {"アップロードファイル[UP]", 0, false,
       [](Planted& t) {
         t.plant(t.uploadPath());
         t.backend.type("k");
         EXPECT_FALSE(appendToUploadFile(t.app, notewallLineCommand("x")));
       }},
      {"ファイル[ID.TXT]", 5, false,
       [&](Planted& t) {
         t.config.idfile = "ID.TXT";
         t.plant("ID.TXT");
         t.backend.type("memo\rk");
         registerSender(t.app, mail);
       }},
      {"グループファイル[GROUP.TXT]", 7, false,
       [](Planted& t) {
         testing::writeBytes(t.config.idfile, "ID000,h,m\r\n");
         t.config.grouplistfile = "GROUP.TXT";
         t.plant("GROUP.TXT");
         t.backend.type(" Gpals\rk\x1b");
         chooseIds(t.app);
       }},
      {"ファイル[MAILLOG.TXT]", 13, true,
       [&](Planted& t) {
         t.plant("MAILLOG.TXT", true);
         t.backend.type("\x15MAILLOG.TXT\rk");
         saveMail(t.app, mail);
       }},
      {"１行チャット[#c]のバックログファイル", 0, true,
       [](Planted& t) {
         t.plant("#c", true);
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
    if (c.needsRoot && !root) continue;
    Planted t;
    c.run(t);
    EXPECT_EQ(fileBytes(t.victim), "keep");
    EXPECT_EQ(t.backend.rowAtKey(c.noticeAt, 2), "　" + c.told + "は、");
    EXPECT_EQ(t.backend.rowAtKey(c.noticeAt, 3),
              "　シンボリックリンクです。選んだ後に置かれたリンクや、");
    EXPECT_EQ(t.backend.pendingKeys(), 0u);
  }

  // A link of one's own that was there at start-up leads the upload file
  // to its target; a link put in the target's place later does not.
  Planted t;
  testing::writeBytes(t.path("elsewhere.up"), "");
  ASSERT_EQ(::symlink(t.path("elsewhere.up").c_str(), "UP"), 0);
  chooseSettingFiles(t.app);
  EXPECT_TRUE(appendToUploadFile(t.app, notewallLineCommand("x")));
  EXPECT_EQ(fileBytes(t.path("elsewhere.up")), "P\r\nx\r\n\r\n");
  t.plant(t.path("elsewhere.up"));
  t.backend.type("k");
  EXPECT_FALSE(appendToUploadFile(t.app, notewallLineCommand("y")));
  EXPECT_EQ(fileBytes(t.victim), "keep");
}

}  // namespace
}  // namespace zazir

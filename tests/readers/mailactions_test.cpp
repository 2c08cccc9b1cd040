#include "readers/mailactions.h"

#include "formats/addressfiles.h"

#include <gtest/gtest.h>

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/render.h"
#include "formats/addressfiles.h"
#include "platform/textfile.h"
#include "readers/mail_log.h"
#include "readers/mailreader.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::concat;
using testing::deleteQuestion;
using testing::fileBytes;
using testing::MailLog;
using testing::read;
using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

std::vector<Key> typed(const std::string& text) {
  return std::vector<Key>(text.begin(), text.end());
}

// The reply leaves the quotation for the editor; this one keeps it.
TEST(MailReply, TheUploadFileHoldsTheHeadingTheQuotationAndTheCommand) {
  MailLog log;
  log.add("SYSOP01", "Taro", {"", "line one", "line two", "BMAIL (X:XMODEM) > ", "not quoted"});
  TestApp t(log.bytes, log.index);
  t.config.headReplyMail = sj("%s %s のメールへの返事");
  t.config.quotation = "%s> ";
  t.editor.keeps();
  read(t, {'r', 'y', key::kEnter, 'y'});
  const std::string text =
      sj("97/01/02 12:34:56 のメールへの返事") + "\r\n\r\nTaro> line one\r\nTaro> line two\r\n";
  EXPECT_EQ(t.editor.found[0], text);
  EXPECT_EQ(t.uploadBytes(), "EMSYSOP01;0\r\nRe:Title of SYSOP01;Y\r\n" + text + "\r\n//\r\nS\r\n");
  EXPECT_EQ(t.tempBytes(), "<none>");
  // Back on the same mail.
  EXPECT_EQ(t.backend.row(0), "Private Message is from: SYSOP01 Taro");
}

TEST(MailReply, Quotation) {
  struct Case {
    const char* name;
    std::vector<std::string> body;
    std::string end;
    std::string quotation;
    std::string quoted;  // after the heading
  } cases[] = {
      {"up to the delete question", {"", "a", "b"}, deleteQuestion(), "> ", "> a\n> b\n"},
      {"up to the end of the log", {"", "a"}, "", "> ", "> a\n"},
      {"up to the main menu", {"", "a", "MAIN (A,B) >", "b"}, "", "> ", "> a\n"},
      {"empty lines are quoted", {"", "a", "", "b"}, "", "> ", "> a\n> \n> b\n"},
      // A mail that ends at once quotes nothing of what follows it.
      {"no body", {}, deleteQuestion() + "\r\nMAIN (A,B) >\r\nnext", "> ", ""},
      {"a prefix of 68 bytes leaves 10 for the text",
       {"", "0123456789ABCDEF"},
       "",
       std::string(70, '>') + "%s",
       std::string(68, '>') + "0123456789\n" + std::string(68, '>') + "ABCDEF\n"},
      // 31 pieces of 33 bytes: a long line gives only its first 1023.
      {"a long line is cut",
       {"", std::string(5000, 'z'), "b"},
       "",
       std::string(45, '>'),
       [] {
         std::string quoted;
         for (int i = 0; i < 31; ++i) quoted += std::string(45, '>') + std::string(33, 'z') + "\n";
         return quoted + std::string(45, '>') + "b\n";
       }()},
  };
  for (const Case& c : cases) {
    MailLog log;
    log.add("A", "", c.body, c.end);
    TestApp t(log.bytes, log.index);
    t.config.quotation = c.quotation;
    read(t, {'R', 'y', key::kEnter, 'n'});  // the text dropped in the preview
    ASSERT_EQ(t.editor.found.size(), 1u) << c.name;
    EXPECT_EQ(t.editor.found[0], "\r\n\r\n" + toTextMode(c.quoted)) << c.name;
  }
}

// Texts of the log reach the confirmation and the title prompt, which
// redraws at every key: a BEL byte among them shows and never sounds. The
// title is proposed as the host will get it, the BEL a blank.
TEST(MailReply, ABellInTheSendersIdOrTitleNeverSounds) {
  MailLog log;
  log.add("A\a", "a", {"", "x"});
  TestApp t(log.bytes, log.index);
  read(t, {'r', 'y', 'z', key::kEscape});
  EXPECT_EQ(t.backend.bells(), 0);
  EXPECT_EQ(rowToUtf8(t.backend.screenAtKey(1), 12), "A?");
  EXPECT_EQ(rowToUtf8(t.backend.screenAtKey(3), 11), "Re:Title of A z");
}

TEST(MailReply, ATemporaryFileThatCannotBeMadeIsTold) {
  MailLog log;
  log.add("A", "a", {"", "x"});
  TestApp t(log.bytes, log.index);
  t.config.temporaryDir = t.path("missing/");
  read(t, {'r', 'y', key::kEnter, 'k'});
  EXPECT_EQ(t.backend.rowAtKey(3, 0), "【一時ファイルを作成できません】");
  EXPECT_EQ(t.editor.commandLines.size(), 0u);
}

TEST(MailSave, TheSameMailSavedTwiceToOneFileIsWholeTwice) {
  MailLog log;
  log.add("A", "a", {"", "body", "BMAIL (X:XMODEM) > ", "MAIN (A,B) >", "after"})
      .add("B", "b", {"", "last"}, "");
  const std::string first =
      "Private Message is from: A a\r\nDate: 97/01/02 12:34:56\r\nTitle:Title of A\r\n"
      "\r\nbody\r\nBMAIL (X:XMODEM) > \r\nMAIN (A,B) >\r\nafter\r\n";
  const std::string last =
      "Private Message is from: B b\r\nDate: 97/01/02 12:34:56\r\nTitle:Title of B\r\n"
      "\r\nlast\r\n";
  struct Case {
    const char* name;
    std::string before;  // "<none>": no file
    int mail;
    std::string after;
  } cases[] = {
      {"a new file", "<none>", 0, first + first},
      {"a file without a last line end", "old", 0, "old\r\n" + first + first},
      {"a file ended by an end mark", "old\r\n\x1a", 0, "old\r\n" + first + first},
      {"the last mail runs to the end of the log", "<none>", 1, last + last},
  };
  for (const Case& c : cases) {
    TestApp t(log.bytes, log.index);
    const std::string path = t.path("MAILLOG.TXT");
    if (c.before != "<none>") writeBytes(path, c.before);
    read(t, {'s', key::kEnter, 'S', key::kEnter}, c.mail);
    EXPECT_EQ(fileBytes(path), c.after) << c.name;
  }
}

TEST(MailSave, ANamedFileAndACancel) {
  MailLog log;
  log.add("A", "a", {"x"});
  TestApp t(log.bytes, log.index);
  // The proposal is offered; Ctrl+U empties it for a name of one's own.
  read(t, concat({'s', key::kCtrlU},
                 concat(typed(t.path("mine.txt")), {key::kEnter, 's', key::kEscape})));
  EXPECT_NE(fileBytes(t.path("mine.txt")).find("\r\nx\r\n"), std::string::npos);
  EXPECT_EQ(fileBytes(t.path("MAILLOG.TXT")), "<none>");
  EXPECT_NE(t.backend.rowAtKey(1, 10).find("メールを保存するファイルのファイル名"),
            std::string::npos);
  EXPECT_EQ(t.backend.rowAtKey(1, 11), t.path("MAILLOG.TXT"));
}

TEST(MailActions, AFileThatCannotBeWrittenIsToldAndTheMailShowsAgain) {
  struct Case {
    std::string Config::*setting;
    std::string value;  // under the test's directory unless absolute
    std::vector<Key> keys;
    std::size_t toldAt;
    std::string shown;  // in the notice
  } cases[] = {
      {&Config::cutfileDir, "missing/", {'s', key::kEnter, 'k'}, 2, "missing/MAILLOG.TXT"},
      {&Config::idfile, "/dev/full", {'i', 'c', key::kEnter, 'k'}, 3, "/dev/full"},  // no write
  };
  for (const Case& c : cases) {
    MailLog log;
    log.add("A", "a", {"x"});
    TestApp t(log.bytes, log.index);
    t.config.*c.setting = c.value.starts_with("/") ? c.value : t.path(c.value);
    read(t, c.keys);
    const Screen& told = t.backend.screenAtKey(c.toldAt);
    EXPECT_EQ(rowToUtf8(told, 0), "【ファイルに書き込めません】") << c.shown;
    EXPECT_NE(rowToUtf8(told, 2).find(c.shown), std::string::npos) << c.shown;
    EXPECT_EQ(t.backend.row(3), "x") << c.shown;
  }
}

TEST(MailRegister, TheSenderIsAppendedOnALineOfItsOwn) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  } cases[] = {
      {"ended by an end mark", "A,a,x\r\n\x1a", "A,a,x\r\nSYSOP01,Taro,friend" + sj("，") + " work\r\n"},
      {"last line without a line end", "A,a,x", "A,a,x\r\nSYSOP01,Taro,friend" + sj("，") + " work\r\n"},
      {"a lone end mark", "\x1a", "SYSOP01,Taro,friend" + sj("，") + " work\r\n"},
      {"empty", "", "SYSOP01,Taro,friend" + sj("，") + " work\r\n"},
  };
  for (const Case& c : cases) {
    MailLog log;
    log.add("SYSOP01", "Taro", {"x"});
    TestApp t(log.bytes, log.index);
    writeBytes(t.config.idfile, c.before);
    read(t, concat({'i'}, concat(typed("friend, work"), {key::kEnter, 'k'})));
    EXPECT_EQ(fileBytes(t.config.idfile), c.after) << c.name;
    const Screen& told = t.backend.screenAtKey(14);
    // The file's name whole, however long the path before it.
    const std::string row = rowToUtf8(told, 23);
    EXPECT_TRUE(row.starts_with("ＩＤをＩＤファイル[") && row.ends_with("/ID.TXT]に登録しました。"))
        << c.name << ": " << row;
    EXPECT_EQ(told.at(0, 23).attribute, attr::kBar);
  }
}

TEST(MailRegister, OnATallerTerminalTheNoticeStandsOnTheBottomRow) {
  MailLog log;
  log.add("A", "a", {"x"});
  TestApp t(log.bytes, log.index);
  t.backend.setRows(40);
  writeBytes(t.config.idfile, "");
  read(t, {'i', 'c', key::kEnter, 'k'});
  EXPECT_TRUE(t.backend.rowAtKey(3, 39).ends_with("/ID.TXT]に登録しました。"))
      << t.backend.rowAtKey(3, 39);
}

// A sender's ID from the log that would not read back as itself is not
// registered; the handle and the comment are written so that they read
// back whole.
TEST(MailRegister, WhatIsWrittenReadsBackAsItWas) {
  for (const std::string id : {"A,B", "A;B", "A B", "0"}) {
    MailLog log;
    log.add(id, "a", {"x"});
    TestApp t(log.bytes, log.index);
    writeBytes(t.config.idfile, "");
    read(t, {'i', key::kEnter, 'k'});
    EXPECT_EQ(fileBytes(t.config.idfile), "") << id;
    EXPECT_EQ(t.backend.rowAtKey(1, 0), "【ＩＤを登録できません】") << id;
  }
  const std::vector<IdEntry> wanted{{"A", sj("Ta，ro；x "), sj("c，d；e")}};
  for (const bool direct : {true, false}) {
    SCOPED_TRACE(direct);
    const std::optional<std::string> line = idFileLine("A", "Ta,ro;x\x01", "c,d;e");
    ASSERT_TRUE(line);
    if (direct) {
      EXPECT_EQ(parseIdFile(*line), wanted);
      continue;
    }
    MailLog log;
    log.add("A", "Ta,ro;x", {"x"});
    TestApp t(log.bytes, log.index);
    writeBytes(t.config.idfile, "");
    read(t, concat({'i'}, concat(typed("c,d;e"), {key::kEnter, 'k'})));
    EXPECT_EQ(parseIdFile(fileBytes(t.config.idfile)),
              (std::vector<IdEntry>{{"A", sj("Ta，ro；x"), sj("c，d；e")}}));
  }
}

TEST(MailRegister, AnEmptyCommentCancels) {
  MailLog log;
  log.add("A", "a", {"x"});
  TestApp t(log.bytes, log.index);
  writeBytes(t.config.idfile, "B,b\r\n");
  read(t, {'I', key::kEnter});
  EXPECT_EQ(fileBytes(t.config.idfile), "B,b\r\n");
}

TEST(MailRegister, WithoutAnIdFileTheProgramEnds) {
  MailLog log;
  log.add("A", "a", {"x"});
  TestApp t(log.bytes, log.index);
  t.backend.press('i').type("c").press(key::kEnter);
  const ProgramExit exit = testing::exitOf([&] { readMail(t.app, t.reading.search); });
  EXPECT_EQ(exit.status, kExitFatal);
  EXPECT_EQ(utf8(exit.message), "ＩＤファイルが開けません。");
  EXPECT_EQ(exit.detail, t.config.idfile + ": No such file or directory");
  EXPECT_EQ(fileBytes(t.config.idfile), "<none>");
}

}  // namespace
}  // namespace zazir

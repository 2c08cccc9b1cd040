// A composition from its temporary file to its command: the file is the
// composition's own, an editor that fails writes nothing, and Japanese
// typed on a UTF-8 terminal reaches the upload file as CP932.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "compose/compose.h"
#include "compose/uploadview.h"
#include "console/keys.h"
#include "console/render.h"
#include "formats/hostcommands.h"
#include "platform/fileidentity.h"
#include "platform/textfile.h"
#include "services/uploadfile.h"
#include "support/test_app.h"
#include "writers/sendmail.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::sj;
using testing::utf8;
using testing::writeBytes;

class CompositionTest : public testing::TestApp, public ::testing::Test {
 protected:
  Composition start(std::string_view prepared = {}) {
    return startComposition(app, prepared).value();
  }
};

// Whatever stands under the usual name stays exactly as it was, and the
// text is composed in a file that only its user can read. The command
// carries the text as the preview showed it, whatever becomes of the file.
TEST_F(CompositionTest, TheTemporaryFileIsPrivateAndNeverTakesAnotherFilesPlace) {
  const std::string victim = path("victim.txt");
  writeBytes(victim, "victim");
  const auto holding = [](std::string bytes) {
    return [bytes](const std::string& p) { writeBytes(p, bytes); };
  };
  struct Case {
    const char* name;
    std::function<void(const std::string& usual)> place;
    bool told;  // as a text kept from before
  } cases[] = {
      {"nothing", [](const std::string&) {}, false},
      {"a kept text", holding("kept\r\n"), true},
      {"an empty file", holding(""), false},
      {"a link", [&](const std::string& p) { symlink(victim.c_str(), p.c_str()); }, false},
      {"the log",
       [&](const std::string& p) {
         writeBytes(p, "log");
         state.logIdentity = identityOfPath(p);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unlink(tempPath().c_str());
    removeFile(uploadPath(), FileGuard());
    c.place(tempPath());
    const std::string before = fileBytes(tempPath());
    mode_t mode = 0;
    editor.then([&](const std::string& p) {
      struct stat info {};
      stat(p.c_str(), &info);
      mode = info.st_mode & 07777;
      writeBytes(p, "new text\r\n");
    });
    backend.type(c.told ? " y" : "y");
    const std::size_t firstKey = backend.keysRead();
    Composition composition = start();
    const bool usual = composition.path == tempPath();
    EXPECT_EQ(usual, std::string(c.name) == "nothing");
    ASSERT_TRUE(composeText(app, composition));
    EXPECT_EQ(mode, 0600u);
    writeBytes(composition.path, "EW9;evil;Y\r\n");  // after the preview
    EXPECT_TRUE(writeComposedCommand(app, composition, newPostCommand(1, "t")));
    EXPECT_EQ(uploadBytes(), "EW1;t;Y\r\nnew text\r\n\r\n//\r\nS\r\n");
    EXPECT_FALSE(fileExists(composition.path));
    EXPECT_EQ(usual ? before : fileBytes(tempPath()), before);
    EXPECT_EQ(fileBytes(victim), "victim");
    if (c.told) {
      const Screen& told = backend.screenAtKey(firstKey);
      EXPECT_EQ(rowToUtf8(told, 0), "【前に書いた文章が残っています】");
      EXPECT_EQ(rowToUtf8(told, 2),
                "　前に書いた文章がファイル[" + tempPath() + "]に残っています。");
      EXPECT_EQ(rowToUtf8(told, 4), "　ファイル[" + composition.path + "]で書きます。");
    }
    EXPECT_EQ(backend.pendingKeys(), 0u);
    state.logIdentity.reset();
  }
  unlink(tempPath().c_str());
  EXPECT_NE(start().path, start().path);  // two at once
}

// An editor that cannot start, is killed or fails: told with its command
// line, nothing asked or written, the text kept. A reply the editor left
// as it was prepared is pointed out and not written by a bare Return.
TEST_F(CompositionTest, AnEditorThatFailsIsNoTextWritten) {
  using End = CommandResult::End;
  ASSERT_TRUE(writeTextFile(config.signature, "--\n"));
  const std::string prepared = "heading\n\nq> quoted\n";
  struct Case {
    CommandResult result;
    bool onEdit;  // fails when run again from the preview
    std::string reason;
  } cases[] = {
      {{End::NotStarted, 127},
       false,
       "　エディタを起動できませんでした（見つからないか、実行できません）。"},
      {{End::Exited, 1}, false, "　エディタが終了コード1で終了しました。"},
      {{End::Killed, 9}, false, "　エディタがシグナル9で終了させられました。"},
      {{End::Exited, 2}, true, "　エディタが終了コード2で終了しました。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    if (c.onEdit) {
      editor.writes("typed\r\n");
      backend.type("n").type("e");  // no signature; edit again
    }
    editor.ends(c.result);
    backend.type(" ");
    Composition composition = start(prepared);
    EXPECT_FALSE(composeText(app, composition));
    const Screen& told = backend.screenAtKey(backend.keysRead() - 1);
    EXPECT_EQ(rowToUtf8(told, 0), "【エディタが正しく終了しませんでした】");
    EXPECT_EQ(rowToUtf8(told, 2), c.reason);
    EXPECT_EQ(rowToUtf8(told, 3), "　コマンド：myedit -a " + composition.path);
    EXPECT_EQ(rowToUtf8(told, 6), "　文章はファイル[" + composition.path + "]に残っています。");
    EXPECT_EQ(fileBytes(composition.path), c.onEdit ? "typed\r\n" : toTextMode(prepared));
    EXPECT_EQ(backend.pendingKeys(), 0u);
    removeFile(composition.path, FileGuard());
  }
  EXPECT_EQ(uploadBytes(), "<none>");

  // A reply left as prepared: Return rings the bell; "Y" writes it.
  config.headReplyMail = "heading";
  const LogOffset mail = log.add("Private Message is from: SYSOP01 q");
  log.add("Date: 97/01/02 12:34:56");
  log.add("Title:t");
  log.add("");
  log.add("quoted");
  withLog();
  editor.keeps();
  backend.type("y").press(key::kEnter);  // the recipients, the proposed title
  backend.press(key::kEnter);            // the signature
  backend.press(key::kEnter).type("y");
  const int bells = backend.bells();
  MailEntry entry;
  entry.headerOffset = mail;
  entry.senderId = "SYSOP01";
  entry.senderName = "q";
  entry.title = "t";
  sendMailReply(app, entry);
  EXPECT_EQ(backend.rowAtKey(backend.keysRead() - 1, 23),
            "用意したままの文章です。書き込みますか？(Y/N/E) 0004 lines. Now:Bottom");
  EXPECT_EQ(backend.bells(), bells + 1);
  EXPECT_EQ(uploadBytes(),
            "EMSYSOP01;0\r\nRe:t;Y\r\n" + toTextMode(prepared + "--\n") + "\r\n//\r\nS\r\n");

  // "F" with an editor that is not there says so too.
  editor.ends({End::NotStarted, 127});
  backend.type(" ");
  viewUploadFile(app);
  EXPECT_EQ(backend.rowAtKey(backend.keysRead() - 1, 0), "【エディタが正しく終了しませんでした】");
}

// The editor gets the text in the terminal's codeset, or in the one
// EDITOR_CODE names: the prepared quotation and, on "E", the signature too.
// What it gives back is CP932 with CR LF in the upload file.
TEST_F(CompositionTest, JapaneseTypedInTheEditorReachesTheUploadFile) {
  ASSERT_TRUE(writeTextFile(config.signature, sj("署名\n")));
  const std::string prepared = sj("やまだ> こんにちは\n");
  const std::string typed = "返事です。〜①\n";  // UTF-8
  struct Case {
    const char* terminal;
    EditorCode code;
    bool utf8;
  } cases[] = {
      {"UTF-8", EditorCode::Locale, true},
      {"SHIFT_JIS", EditorCode::Locale, false},
      {"UTF-8", EditorCode::Sjis, false},
      {"CP932", EditorCode::Utf8, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.terminal) + " " + std::to_string(static_cast<int>(c.code)));
    backend.setInputCodeset(c.terminal);
    config.editorCode = c.code;
    auto inEditor = [&](const std::string& text) { return c.utf8 ? utf8(text) : toTextMode(text); };
    const std::string typedThere = c.utf8 ? typed : toTextMode(sj(typed));
    editor.then([&](const std::string& p) { writeBytes(p, fileBytes(p) + typedThere); }).keeps();
    backend.press(key::kEnter).type("e").type("y");  // signature; edit again; write
    Composition composition = start(prepared);
    ASSERT_TRUE(composeText(app, composition));
    ASSERT_TRUE(writeComposedCommand(app, composition, newPostCommand(1, "t")));
    const std::size_t runs = editor.found.size();
    EXPECT_EQ(editor.found[runs - 2], inEditor(prepared));
    EXPECT_EQ(editor.found[runs - 1], inEditor(prepared) + typedThere + inEditor(sj("署名\n")));
    EXPECT_EQ(uploadBytes(),
              "EW1;t;Y\r\n" + toTextMode(prepared + sj(typed) + sj("署名\n")) + "\r\n//\r\nS\r\n");
    removeFile(uploadPath(), FileGuard());
  }

  // A character CP932 lacks, and a byte the log's quote cannot pass on: both
  // marked in reverse video; neither "Y" nor Return writes, "E" mends.
  backend.setInputCodeset("UTF-8");
  config.editorCode = EditorCode::Locale;
  removeFile(config.signature, FileGuard());
  editor.then([](const std::string& p) { writeBytes(p, fileBytes(p) + "\xF0\x9F\x98\x80 ok\n"); })
      .writes("mended\n");
  backend.type("y").press(key::kEnter).type("e").type("y");
  const int bells = backend.bells();
  Composition composition = start("q> a\x80z\n");
  EXPECT_TRUE(composeText(app, composition));
  EXPECT_EQ(backend.bells(), bells + 2);
  const Screen& marked = backend.screenAtKey(backend.keysRead() - 2);
  EXPECT_EQ(rowToUtf8(marked, 0), "q> a〓z");
  EXPECT_EQ(rowToUtf8(marked, 1), "〓 ok");
  for (int column : {4, 5}) EXPECT_EQ(marked.at(column, 0).attribute, attr::kBar);
  EXPECT_EQ(marked.at(3, 0).attribute, attr::kStartup);
  EXPECT_EQ(marked.at(0, 1).attribute, attr::kBar);
  EXPECT_EQ(rowToUtf8(marked, 23),
            "送れない文字(反転の〓)があります。E:編集しなおす N:やめる 0002 lines. Now:Bottom");
  EXPECT_EQ(editor.found[editor.found.size() - 2], "q> a\xEF\xBF\xBDz\n");
  EXPECT_EQ(composition.text, "mended\n");
}

}  // namespace
}  // namespace zazir

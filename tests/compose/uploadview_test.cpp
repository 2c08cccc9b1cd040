// "F": the upload file in the editor's codeset, and back only when it
// changed, keeping what another run appended meanwhile.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "compose/uploadview.h"
#include "console/keys.h"
#include "console/render.h"
#include "formats/hostcommands.h"
#include "platform/fileidentity.h"
#include "platform/textfile.h"
#include "services/uploadfile.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::sj;
using testing::utf8;
using testing::writeBytes;

class UploadViewTest : public testing::TestApp, public ::testing::Test {
 protected:
  // What another run appends while the editor is open.
  void appendAsAnotherRun(std::string_view command) {
    ASSERT_EQ(appendText({uploadPath(), AppendRule::AsItStands, AppendMode::CreateIfMissing, {}},
                         command),
              AppendOutcome::Written);
  }
  // The copies left in the directory beside the upload file.
  bool copyLeft() const { return fileExists(path("ZQ2UP.TMP")); }
};

TEST_F(UploadViewTest, TheEditorGetsTheFileInItsCodesetAndItComesBackOnlyWhenChanged) {
  const std::string command = sj("EW3;題名;Y\r\n本文\r\n\r\n//\r\nS\r\n");
  const std::string added = sj("追記\r\n");
  struct Case {
    const char* name;
    EditorCode code;
    std::string before;
    std::string given;  // what the editor finds
    std::string typed;  // added to its file; empty: left as it was
    std::string after;  // the upload file then
  } cases[] = {
      {"UTF-8", EditorCode::Utf8, command, utf8(fromTextMode(command)), "追記\n", command + added},
      {"UTF-8 untouched, odd bytes and all", EditorCode::Utf8,
       command + "lf only\n\x1a" + "after the end mark", utf8(fromTextMode(command) + "lf only\n"),
       "", command + "lf only\n\x1a" + "after the end mark"},
      {"UTF-8, what follows an end mark kept", EditorCode::Utf8, command + "\x1a" + "after",
       utf8(fromTextMode(command)), "追記\n", command + added + "\x1a" + "after"},
      {"Shift-JIS", EditorCode::Sjis, command, command, toTextMode(sj("追記\n")), command + added},
      {"no upload file yet", EditorCode::Utf8, "<none>", "", "EW1;t;Y\n", "EW1;t;Y\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    removeFile(uploadPath(), FileGuard());
    if (c.before != "<none>") writeBytes(uploadPath(), c.before);
    const std::optional<FileIdentity> identity = identityOfPath(uploadPath());
    config.editorCode = c.code;
    mode_t mode = 0;
    editor.then([&](const std::string& p) {
      struct stat info {};
      lstat(p.c_str(), &info);
      mode = info.st_mode & 07777;
      if (!c.typed.empty()) writeBytes(p, fileBytes(p) + c.typed);
    });
    viewUploadFile(app);
    EXPECT_EQ(editor.found.back(), c.given);
    EXPECT_NE(editor.paths.back(), uploadPath());
    EXPECT_EQ(mode, 0600u);
    EXPECT_EQ(uploadBytes(), c.after);
    if (identity) {
      EXPECT_EQ(identityOfPath(uploadPath()), identity);  // written over, not replaced
    }
    EXPECT_FALSE(fileExists(editor.paths.back()));
  }

  // A file already under the copy's name is left alone.
  writeBytes(path("ZQ2UP.TMP"), "someone's");
  editor.keeps();
  viewUploadFile(app);
  EXPECT_EQ(fileBytes(path("ZQ2UP.TMP")), "someone's");
  EXPECT_NE(editor.paths.back(), path("ZQ2UP.TMP"));

  // A file larger than any upload file needs is not handed over whole.
  const std::string large(std::size_t{4} << 20 | 1, 'x');
  writeBytes(uploadPath(), large);
  const std::size_t runs = editor.commandLines.size();
  backend.type(" ");
  viewUploadFile(app);
  EXPECT_EQ(editor.commandLines.size(), runs);
  EXPECT_EQ(backend.rowAtKey(backend.keysRead() - 1, 0), "【アップロードファイルが大きすぎます】");
  EXPECT_EQ(uploadBytes(), large);
}

// A command another run appends while the editor is open follows the
// edited text; a file rewritten or put elsewhere meanwhile is left as it
// is, and so is one that cannot take the text or whose copy could not be
// read back; the edit is kept and named.
TEST_F(UploadViewTest, WhatOthersDidMeanwhileIsNeverLost) {
  const std::string victim = path("victim.txt");
  const std::string box = "[何かキーを押すと戻ります]";
  std::optional<testing::FileSizeLimit> full;
  struct Case {
    const char* name;
    std::string before;
    std::function<void(const std::string& copy)> meanwhile;
    std::string after;
    bool kept;           // the copy stays, named
    std::string status;  // the status row of the next screen
  } cases[] = {
      {"another run's command", "EW1;a;Y\r\n",
       [&](const std::string& copy) {
         appendAsAnotherRun("EW2;other;Y\n");
         writeBytes(copy, "EW1;mine;Y");  // no line end: the other command still starts a line
       },
       "EW1;mine;Y\r\nEW2;other;Y\r\n", false,
       "編集中にほかで追加されたコマンドは、編集した文章の後に残しました"},
      {"rewritten", "EW1;a;Y\r\n",
       [&](const std::string& copy) {
         writeBytes(uploadPath(), "EW9;else;Y\r\n");
         writeBytes(copy, "EW1;mine;Y\n");
       },
       "EW9;else;Y\r\n", true, box},
      {"a link planted where there was none", "<none>",
       [&](const std::string& copy) {
         writeBytes(victim, "victim");
         symlink(victim.c_str(), uploadPath().c_str());
         writeBytes(copy, "EW1;mine;Y\n");
       },
       "victim", true, box},
      {"a full disk", "EW1;a;Y\r\n",
       [&](const std::string& copy) {
         writeBytes(copy, "EW1;mine;Y\n");
         full.emplace(10);
       },
       "EW1;a;Y\r\n", true, box},
      {"the copy taken away", "EW1;a;Y\r\n",
       [&](const std::string& copy) { removeFile(copy, FileGuard()); }, "EW1;a;Y\r\n", false, box},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::unlink(uploadPath().c_str());  // a link the case before planted too
    if (c.before != "<none>") writeBytes(uploadPath(), c.before);
    editor.then(c.meanwhile);
    backend.type(" ");  // read by the notice, or by the wait below
    viewUploadFile(app);
    full.reset();
    if (backend.pendingKeys() > 0) app.console.getKey();
    EXPECT_EQ(backend.rowAtKey(backend.keysRead() - 1, 23), c.status);
    EXPECT_EQ(uploadBytes(), c.after);
    const std::string& copy = editor.paths.back();
    EXPECT_EQ(fileExists(copy), c.kept);
    if (c.kept) {
      EXPECT_EQ(fileBytes(copy), "EW1;mine;Y\n");
      EXPECT_NE(backend.dump().find(copy), std::string::npos) << backend.dump();
    }
    removeFile(copy, FileGuard());
  }
}

// A file the upload file's name leads to that no command may go to is told
// at once: the editor never gets it, and no copy of it is left.
TEST_F(UploadViewTest, AFileNoCommandMayGoToIsToldBeforeTheEditor) {
  const std::string victim = path("victim.txt");
  struct Case {
    const char* name;
    std::function<void()> plant;
    std::string why;  // the notice's fourth row
  } cases[] = {
      {"another log", [&] { writeBytes(uploadPath(), testing::exampleLog()); },
       "　通信ログファイル（通信の記録）と読めます。"},
      {"a link put in its place",
       [&] {
         writeBytes(victim, "EW1;a;Y\r\n");
         ASSERT_EQ(symlink(victim.c_str(), uploadPath().c_str()), 0);
       },
       "　シンボリックリンクです。選んだ後に置かれたリンクや、"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::unlink(uploadPath().c_str());
    c.plant();
    const std::string before = fileBytes(uploadPath());
    backend.type(" ");
    viewUploadFile(app);
    EXPECT_TRUE(editor.commandLines.empty());
    EXPECT_FALSE(copyLeft());
    EXPECT_EQ(backend.rowAtKey(backend.keysRead() - 1, 3), c.why);
    EXPECT_EQ(fileBytes(uploadPath()), before);
  }
}

// An editor may leave the last line without its end, another program the
// end mark that ends a replay: the next command still starts a line of its
// own, and is replayed.
TEST_F(UploadViewTest, TheNextCommandStartsALineOfItsOwnWhateverTheEditorLeft) {
  writeBytes(uploadPath(), "EW1;a;Y\r\n");
  editor.writes("EW1;mine;Y");
  viewUploadFile(app);
  ASSERT_TRUE(appendToUploadFile(app, notewallLineCommand("x")));
  EXPECT_EQ(uploadBytes(), "EW1;mine;Y\r\nP\r\nx\r\n\r\n");

  writeBytes(uploadPath(), "EW1;a;Y\r\n\x1a");
  ASSERT_TRUE(appendToUploadFile(app, notewallLineCommand("x")));
  EXPECT_EQ(uploadBytes(), "EW1;a;Y\r\nP\r\nx\r\n\r\n");
}

// A character CP932 lacks is shown as the preview shows it; "N" leaves the
// upload file as it was, "E" edits again. "F" there does not open it twice.
TEST_F(UploadViewTest, ACharacterCp932LacksIsPointedOutAndNeverWritten) {
  config.editorCode = EditorCode::Utf8;
  const std::string before = "EW1;a;Y\r\n";
  for (const bool mend : {false, true}) {
    SCOPED_TRACE(mend);
    writeBytes(uploadPath(), before);
    editor.then([](const std::string& p) { writeBytes(p, "EW1;\xF0\x9F\x98\x80;Y\n"); });
    if (mend) editor.writes("EW1;b;Y\n");
    const int bells = backend.bells();
    backend.type("f").type(mend ? "e" : "n");
    if (!mend) backend.type(" ");
    viewUploadFile(app);
    const std::size_t preview = backend.keysRead() - (mend ? 2 : 3);
    EXPECT_EQ(backend.rowAtKey(preview, 0), "EW1;〓;Y");
    EXPECT_EQ(backend.screenAtKey(preview).at(4, 0).attribute, attr::kBar);
    EXPECT_EQ(backend.rowAtKey(preview, 23),
              "送れない文字(反転の〓)があります。E:編集しなおす N:やめる 0001 lines. Now:Bottom");
    EXPECT_EQ(backend.bells(), bells + 1);  // "F"
    EXPECT_EQ(uploadBytes(), mend ? "EW1;b;Y\r\n" : before);
    if (!mend) {
      EXPECT_EQ(backend.rowAtKey(preview + 2, 0), "【アップロードファイルは元のままです】");
    }
    EXPECT_FALSE(fileExists(editor.paths.back()));
  }
}

// A file larger than a composed text may be still comes back whole; a copy
// the editor made larger than any such file's leaves it as it was.
TEST_F(UploadViewTest, ALargeFileComesBackWholeAndATooLargeCopyLeavesIt) {
  const std::string before(std::size_t{3} << 20, 'a');
  for (const bool tooLarge : {false, true}) {
    SCOPED_TRACE(tooLarge);
    writeBytes(uploadPath(), before);
    editor.then([&](const std::string& p) {
      writeBytes(p, fileBytes(p) + (tooLarge ? std::string(std::size_t{10} << 20, 'b') : "x\n"));
    });
    if (tooLarge) backend.type(" ");
    viewUploadFile(app);
    EXPECT_EQ(uploadBytes(), tooLarge ? before : before + "x\r\n");
  }
}

}  // namespace
}  // namespace zazir

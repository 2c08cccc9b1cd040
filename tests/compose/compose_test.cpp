#include "compose/compose.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "compose/preview.h"
#include "services/uploadfile.h"

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/render.h"
#include "formats/hostcommands.h"
#include "platform/textfile.h"
#include "support/test_app.h"
#include "text/cp932.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::sj;
using testing::TestApp;
using testing::utf8;

std::string numberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

class ComposeTest : public TestApp, public ::testing::Test {
 protected:
  // A composition of `prepared` in a new temporary file.
  Composition start(std::string_view prepared = {}) {
    std::optional<Composition> started = startComposition(app, prepared);
    EXPECT_TRUE(started.has_value());
    return started.value_or(Composition{});
  }
  // The usual file holding `bytes`, read back as after an editor run.
  Composition edited(const std::string& bytes) {
    testing::writeBytes(tempPath(), bytes);
    Composition composition;
    composition.path = tempPath();
    readBack(composition);
    return composition;
  }
  PreviewAnswer preview(const std::string& bytes) {
    int top = 0;
    return previewText(app, edited(bytes), top);
  }
};

TEST_F(ComposeTest, TheEditorRunsOnTheTemporaryFileWithItsOptions) {
  EXPECT_EQ(tempFileName(config), dir + "ZQ2OFF.TMP");
  runEditorOn(app, tempFileName(config));
  config.editor = "ed";
  config.editorOpt1 = "";
  config.editorOpt2 = "+1";
  config.temporaryDir = "/tmp/my dir/";
  runEditorOn(app, tempFileName(config));
  ASSERT_EQ(editor.commandLines.size(), 2u);
  EXPECT_EQ(editor.commandLines[0], "myedit -a " + dir + "ZQ2OFF.TMP ");
  EXPECT_EQ(editor.commandLines[1], "ed  '/tmp/my dir/ZQ2OFF.TMP' +1");
  EXPECT_EQ(backend.suspends(), 2);  // the terminal was handed over each time
}

TEST_F(ComposeTest, TheTemporaryFileIsNeverWrittenThroughASymbolicLink) {
  const std::string victim = dir + "victim.txt";
  ASSERT_TRUE(writeTextFile(victim, "keep me"));
  ASSERT_EQ(symlink(victim.c_str(), tempPath().c_str()), 0);
  Composition composition = start("quoted text\n");
  EXPECT_NE(composition.path, tempPath());
  // Nor is the signature added through one (the editor ran in between).
  ASSERT_EQ(unlink(composition.path.c_str()), 0);
  ASSERT_EQ(symlink(victim.c_str(), composition.path.c_str()), 0);
  ASSERT_TRUE(writeTextFile(config.signature, "sig\n"));
  appendSignature(app, composition);
  EXPECT_EQ(fileBytes(victim), "keep me");
}

TEST_F(ComposeTest, AnEmptyEditIsToldWithMessageBox3AndWritesNothing) {
  struct Case {
    const char* name;
    std::function<void(testing::FakeEditor&)> edit;
    bool tempStays;
  } cases[] = {
      // An empty file has nothing to keep.
      {"saved empty", [](auto& e) { e.writes(""); }, false},
      {"file deleted", [](auto& e) { e.deletes(); }, false},
      {"end mark first",
       [](auto& e) {
         e.writes(
             "\x1a"
             "after the mark");
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Composition composition = start();
    c.edit(editor);
    const int bells = backend.bells();
    backend.type("x");
    EXPECT_FALSE(composeText(app, composition));
    EXPECT_EQ(backend.row(0), "【書き込みできません】");
    EXPECT_EQ(backend.bells(), bells + 1);
    EXPECT_EQ(backend.pendingKeys(), 0u);
    EXPECT_EQ(fileExists(tempPath()), c.tempStays);
    EXPECT_EQ(uploadBytes(), "<none>");
  }
}

TEST_F(ComposeTest, AnEditorThatPutsALinkInTheFilesPlaceIsToldSo) {
  const std::string victim = dir + "victim.txt";
  testing::writeBytes(victim, "not for the host\r\n");
  Composition composition = start();
  editor.then([&](const std::string& path) {
    ::unlink(path.c_str());
    ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);
  });
  backend.type("x");
  EXPECT_FALSE(composeText(app, composition));
  EXPECT_EQ(backend.rowAtKey(0, 2),
            "　一時ファイル[" + utf8(composition.path) + "]は、エディタの実行中に");
  EXPECT_EQ(backend.rowAtKey(0, 3), "　シンボリックリンクに置き換えられました。");
  EXPECT_EQ(backend.pendingKeys(), 0u);
  EXPECT_EQ(fileBytes(victim), "not for the host\r\n");
  EXPECT_EQ(uploadBytes(), "<none>");
}

TEST_F(ComposeTest, TheSignatureIsOfferedAndStartsOnALineOfItsOwn) {
  ASSERT_TRUE(writeTextFile(config.signature, "--\nsig\n"));
  struct Case {
    std::string text;
    std::string answer;
    std::string result;
  } cases[] = {
      {"a\r\n", "\r", "a\r\n--\r\nsig\r\n"},
      {"a", "y", "a\r\n--\r\nsig\r\n"},
      {"a\r\n\x1a", "\r", "a\r\n--\r\nsig\r\n"},
      {"a\x1a", "Y", "a\r\n--\r\nsig\r\n"},
      {"a\r\n", "n", "a\r\n"},
      {"a\r\n", "\x1b", "a\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Composition composition = start();
    editor.writes(c.text);
    backend.type(c.answer).type("y");
    EXPECT_TRUE(composeText(app, composition));
    EXPECT_EQ(tempBytes(), c.result);
    EXPECT_EQ(composition.text, fromTextMode(c.result));
    removeFile(tempPath(), FileGuard());
  }
  const Screen& asked = backend.screenAtKey(0);
  const std::string question =
      sj("シグネーチャファイル[" + config.signature + "]を付加しますか？([Ｙ]/N)");
  EXPECT_EQ(rowToUtf8(asked, 23), utf8(cutToBytes(question, 80)));  // a long path runs off
  EXPECT_EQ(asked.at(0, 23).attribute, attr::kBar);
}

TEST_F(ComposeTest, WithoutASignatureFileThePreviewComesAtOnce) {
  Composition composition = start();
  editor.writes("text\r\n");
  backend.type("y");
  EXPECT_TRUE(composeText(app, composition));
  EXPECT_EQ(backend.row(0), "text");
  EXPECT_EQ(backend.row(23), "書き込んでよいですか？([Ｙ]/N/E) 0001 lines. Now:Bottom");
  EXPECT_EQ(backend.screen().at(0, 23).attribute, attr::kBar);
}

TEST_F(ComposeTest, PreviewLinesAreCutAt78BytesKeepingCharactersWhole) {
  const std::string kanji = sj("漢");
  backend.type("y");
  EXPECT_EQ(preview(toTextMode(std::string(100, 'a') + "\n" + std::string(78, 'b') + "\n" +
                               std::string(77, 'c') + kanji + "d\nlast")),
            PreviewAnswer::Write);
  EXPECT_EQ(backend.row(0), std::string(78, 'a'));
  EXPECT_EQ(backend.row(1), std::string(22, 'a'));
  EXPECT_EQ(backend.row(2), std::string(78, 'b'));  // no empty row after a line of exactly 78
  EXPECT_EQ(backend.row(3), std::string(77, 'c'));
  EXPECT_EQ(backend.row(4), "漢d");
  EXPECT_EQ(backend.row(5), "last");
  EXPECT_EQ(backend.row(23), "書き込んでよいですか？([Ｙ]/N/E) 0006 lines. Now:Bottom");
}

TEST_F(ComposeTest, PreviewScrollsByThe20LineMeasure) {
  const Key down = key::kDown, up = key::kUp, next = key::kCtrlN, back = key::kCtrlB;
  struct Case {
    int lines;
    std::vector<Key> keys;
    std::string firstRow;
    std::string indicator;
  } cases[] = {
      {15, {down}, "line 1", "0015 lines. Now:Bottom"},
      {20, {down, '2', next}, "line 1", "0020 lines. Now:Bottom"},
      {21, {}, "line 1", "0021 lines. Now:Top"},
      {21, {down}, "line 2", "0021 lines. Now:Bottom"},
      {21, {down, down, '2'}, "line 2", "0021 lines. Now:Bottom"},
      {21, {down, up}, "line 1", "0021 lines. Now:Top"},
      {100, {next, next}, "line 41", "0100 lines. Now:050%"},
      {100, {next, next, next, next, next}, "line 81", "0100 lines. Now:Bottom"},
      {100, {next, next, next, next, next, back}, "line 61", "0100 lines. Now:075%"},
      {100, {next, '8'}, "line 20", "0100 lines. Now:023%"},
      {100, {key::kPageDown, key::kPageDown, key::kPageUp}, "line 21", "0100 lines. Now:025%"},
      {100, {key::kEnd}, "line 81", "0100 lines. Now:Bottom"},
      {100, {key::kEnd, key::kHome}, "line 1", "0100 lines. Now:Top"},
      {600, {}, "line 1", "first 512 of 600 lines. Now:Top"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lines) + " lines, " + std::to_string(c.keys.size()) + " keys");
    backend.press(c.keys).type("y");
    EXPECT_EQ(preview(numberedLines(c.lines)), PreviewAnswer::Write);
    EXPECT_EQ(backend.row(0), c.firstRow);
    EXPECT_EQ(backend.row(23), "書き込んでよいですか？([Ｙ]/N/E) " + c.indicator);
  }
}

TEST_F(ComposeTest, PreviewAnswers) {
  struct Case {
    Key key;
    bool write;
  } cases[] = {{'Y', true},  {'y', true},  {key::kEnter, true}, {'N', false},
               {'n', false}, {'Q', false}, {'q', false},        {key::kEscape, false}};
  for (const Case& c : cases) {
    backend.type("zZ5 ").press(c.key);  // other keys change nothing
    EXPECT_EQ(preview("x\r\n") == PreviewAnswer::Write, c.write) << c.key;
    EXPECT_EQ(backend.pendingKeys(), 0u);
  }
}

TEST_F(ComposeTest, HelpInThePreviewShowsTheMenuHelpThenThePreviewAgain) {
  backend.type("?").type(" ").press(key::kCtrlA).type(" ").type("y");
  EXPECT_EQ(preview("x\r\n"), PreviewAnswer::Write);
  EXPECT_EQ(backend.rowAtKey(1, 0), "【メニュー選択】");
  EXPECT_EQ(backend.rowAtKey(3, 0), "【メニュー選択】");
  EXPECT_EQ(backend.row(0), "x");
}

// "F" opens the upload file in the editor, then shows the text where it
// stood; the composition goes on.
TEST_F(ComposeTest, TheUploadFileFromThePreviewThenThePreviewAgain) {
  Composition composition = start();
  editor.writes(numberedLines(30)).then([](const std::string& p) {
    testing::writeBytes(p, "EW1;x;Y\n");
  });
  backend.press(key::kDown, 3).type("f").type("y");
  EXPECT_TRUE(composeText(app, composition));
  ASSERT_EQ(editor.paths.size(), 2u);
  EXPECT_EQ(editor.paths[1], path("ZQ2UP.TMP"));
  EXPECT_EQ(uploadBytes(), "EW1;x;Y\r\n");
  EXPECT_EQ(backend.screenAtKey(4), backend.screenAtKey(3));
  EXPECT_EQ(backend.rowAtKey(4, 0), "line 4");
}

TEST_F(ComposeTest, EditingAgainShowsTheNewTextFromTheSameLine) {
  Composition composition = start();
  editor.writes(numberedLines(30)).writes(numberedLines(25));
  backend.press(key::kDown, 7).type("E").type("y");
  EXPECT_TRUE(composeText(app, composition));
  EXPECT_EQ(editor.commandLines.size(), 2u);
  EXPECT_EQ(editor.commandLines[1], editor.commandLines[0]);
  EXPECT_EQ(backend.rowAtKey(7, 0), "line 8");
  EXPECT_EQ(backend.row(0), "line 6");  // top 7 brought into range for 25 lines
  EXPECT_EQ(backend.row(23), "書き込んでよいですか？([Ｙ]/N/E) 0025 lines. Now:Bottom");
  EXPECT_EQ(tempBytes(), numberedLines(25));
}

TEST_F(ComposeTest, ATextEmptiedOrDeletedByTheSecondEditIsCaught) {
  struct Case {
    const char* name;
    std::function<void(testing::FakeEditor&)> secondEdit;
  } cases[] = {
      {"emptied", [](auto& e) { e.writes(""); }},
      {"deleted", [](auto& e) { e.deletes(); }},
  };
  std::size_t keysRead = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Composition composition = start();
    editor.writes("first\r\n");
    c.secondEdit(editor);
    backend.type("e");
    backend.type("2").type("y");  // the preview of nothing still answers keys
    backend.type(" ");            // the message box
    EXPECT_FALSE(composeText(app, composition));
    EXPECT_EQ(backend.rowAtKey(keysRead + 1, 23),
              "書き込んでよいですか？([Ｙ]/N/E) 0000 lines. Now:Bottom");
    keysRead += 4;
    EXPECT_EQ(backend.row(0), "【書き込みできません】");
    EXPECT_EQ(backend.pendingKeys(), 0u);
    EXPECT_EQ(uploadBytes(), "<none>");
  }
}

TEST_F(ComposeTest, AComposedCommandIsAppendedAndTheTemporaryFileDeleted) {
  EXPECT_TRUE(writeComposedCommand(app, edited("a\r\nb\r\n"), newPostCommand(3, "t")));
  EXPECT_TRUE(writeComposedCommand(app, edited("c"), newPostCommand(3, "u")));
  EXPECT_EQ(uploadBytes(), "EW3;t;Y\r\na\r\nb\r\n\r\n//\r\nS\r\nEW3;u;Y\r\nc\r\n//\r\nS\r\n");
  EXPECT_FALSE(fileExists(tempPath()));
}

// A text longer than the preview holds: it says which part it shows and
// where the page stands in the whole, never at its bottom, and Y writes
// the whole text.
TEST_F(ComposeTest, ThePreviewSaysThePartOfALongerTextItShowsAndYWritesItWhole) {
  Composition composition = start();
  editor.writes(numberedLines(600));
  backend.press(key::kEnd).type("y");
  ASSERT_TRUE(composeText(app, composition));
  const std::string question = "書き込んでよいですか？([Ｙ]/N/E) ";
  EXPECT_EQ(backend.rowAtKey(0, 23), question + "first 512 of 600 lines. Now:Top");
  EXPECT_EQ(backend.row(0), "line 493");
  EXPECT_EQ(backend.row(23), question + "first 512 of 600 lines. Now:084%");
  ASSERT_TRUE(writeComposedCommand(app, composition, newPostCommand(3, "t")));
  EXPECT_TRUE(uploadBytes().starts_with("EW3;t;Y\r\n" + numberedLines(600))) << uploadBytes();
}

// A text over the bound is refused before it is read, whether the editor
// or the signature makes it so; it stays in its file, and the notice says
// where. A text of the bound itself goes on to the preview.
TEST_F(ComposeTest, ATextOverTheBoundIsRefusedUnreadAndStaysInItsFile) {
  const std::size_t bound = kMaxComposedBytes;
  struct Case {
    const char* name;
    std::size_t textBytes;
    std::string signature;  // none when empty
    bool refused;
  } cases[] = {
      {"at the bound", bound, "", false},
      {"one byte over", bound + 1, "", true},
      {"over with the signature", 10, std::string(bound - 9, 's'), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.signature.empty()) {
      removeFile(config.signature, FileGuard());
    } else {
      ASSERT_TRUE(writeTextFile(config.signature, c.signature));
      backend.type("y");
    }
    Composition composition = start();
    const std::string text = std::string(c.textBytes - 2, 'a') + "\r\n";
    editor.writes(text);
    backend.type(c.refused ? " " : "n");
    EXPECT_EQ(composeText(app, composition), false);
    const Screen& shown = backend.screenAtKey(backend.keysRead() - 1);
    std::string screen;
    for (int row = 0; row < shown.rows(); ++row) screen += rowToUtf8(shown, row);
    EXPECT_EQ(screen.find("【文章が大きすぎます】") != std::string::npos, c.refused);
    EXPECT_EQ(screen.find("[" + tempPath() + "]") != std::string::npos, c.refused);
    EXPECT_EQ(composition.tooLarge > 0, c.refused);
    if (c.textBytes > bound) {
      EXPECT_TRUE(composition.edited.empty());
    }
    // Refused, the text stays as written; dropped with N, it goes.
    EXPECT_EQ(tempBytes(), c.refused ? text : "<none>");
    EXPECT_EQ(uploadBytes(), "<none>");
    removeFile(tempPath(), FileGuard());
  }
}

}  // namespace
}  // namespace zazir

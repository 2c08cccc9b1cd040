#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <new>

#include "console/keys.h"
#include "formats/config.h"
#include "formats/logindex.h"
#include "services/uploadfile.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::exitOf;
using testing::FakeEditor;
using testing::fileBytes;
using testing::ScriptedBackend;
using testing::sj;
using testing::TestApp;
using testing::writeBytes;

TEST(DeriveFileNames, TheLogsBaseNameFillsTheFormatsAndTheUploadNameTakes13Bytes) {
  struct Case {
    std::string logPath;
    std::string uploadFormat;
    std::string upload;  // exactly 13 bytes
    std::string idfile;
  } cases[] = {
      {"logs/0105.LOG", "%s.UP", "0105.LOG.UP  ", "dir/0105.LOG.ID"},
      {"0105.LOG", "UPLOAD.TXT", "UPLOAD.TXT   ", "dir/0105.LOG.ID"},
      {"/a/b/20260605.LOG", "%s.UP", "20260605.LOG.", "dir/20260605.LOG.ID"},
      // A double-byte character across the 13th byte is left out whole.
      {"x/0123456789ab" + sj("ロ"), "%s", "0123456789ab ", "dir/0123456789ab" + sj("ロ") + ".ID"},
      // The cut keeps 12 bytes whole: ".UP" does not fit after them.
      {sj("ログファイル名.LOG"), "%s.UP", sj("ログファイル "),
       "dir/" + sj("ログファイル名.LOG.ID")},
      {"0105.LOG", "%s%%%d", "0105.LOG%%d  ", "dir/0105.LOG.ID"},
  };
  for (const Case& c : cases) {
    Config config;
    config.uploadfile = c.uploadFormat;
    config.idfile = "dir/%s.ID";
    config.grouplistfile = "GROUP.TXT";
    deriveFileNames(config, c.logPath);
    EXPECT_EQ(config.uploadfile, c.upload) << c.logPath;
    EXPECT_EQ(config.idfile, c.idfile) << c.logPath;
    EXPECT_EQ(config.grouplistfile, "GROUP.TXT") << c.logPath;
  }
}

// A log whose reading runs out of memory after its first mail.
class ExhaustingStream : public MemoryLineStream {
 public:
  using MemoryLineStream::MemoryLineStream;
  bool readLineView(std::string_view& line, std::size_t maxBytes) override {
    if (++reads_ > 4) throw std::bad_alloc();
    return MemoryLineStream::readLineView(line, maxBytes);
  }

 private:
  int reads_ = 0;
};

TEST(IndexLogAtStartup, RunningOutOfMemoryIsToldAsTheMailTablesFailure) {
  const std::string log = "Private Message is from: A b\r\nd 1 2\r\nSubj: t\r\n";
  ScriptedBackend backend;
  Console console(backend);
  LogIndex index;
  MemoryLineStream whole(log + log);
  indexLogAtStartup(console, whole, index);
  EXPECT_EQ(index.mailCount(), 2);

  ExhaustingStream exhausting(log + log);
  const ProgramExit exit = exitOf([&] { indexLogAtStartup(console, exhausting, index); });
  EXPECT_EQ(exit.status, 50);
  EXPECT_EQ(backend.row(2), "メール用にメモリを確保できませんでした。");
  EXPECT_EQ(index.mailCount(), 0);  // what it held is given back
}

class UploadPolicyTest : public TestApp, public ::testing::Test {
 protected:
  // The question shows the path: a short one keeps it on one row.
  testing::InDirectory inDirectory_{dir};
  void SetUp() override { config.uploadfileDir.clear(); }
};

TEST_F(UploadPolicyTest, AnOldUploadFileIsAskedAboutOnlyWhenItHoldsSomething) {
  const char* kMissing = "<none>";
  struct Case {
    const char* name;
    UploadFileExist policy;
    std::string before;  // kMissing: no file
    std::string keys;    // the answer, when asked
    std::string after;
  } cases[] = {
      {"asked, yes deletes", UploadFileExist::WriteQuestion, "EW1", "y", kMissing},
      {"asked, Esc keeps", UploadFileExist::WriteQuestion, "EW1", "\x1b", "EW1"},
      {"an empty file is not asked about", UploadFileExist::WriteQuestion, "", "", ""},
      {"a missing file is not asked about", UploadFileExist::WriteQuestion, kMissing, "", kMissing},
      {"killed without asking", UploadFileExist::WriteKillout, "EW1", "", kMissing},
      {"killing a missing file", UploadFileExist::WriteKillout, kMissing, "", kMissing},
      {"kept for appending", UploadFileExist::WriteAppend, "EW1", "", "EW1"},
  };
  for (const Case& c : cases) {
    std::remove(uploadPath().c_str());
    if (c.before != kMissing) writeBytes(uploadPath(), c.before);
    config.uploadFileExist = c.policy;
    console.clearScreen();
    console.present();
    backend.type(c.keys);
    applyUploadFilePolicy(app);  // a question without its answer throws
    EXPECT_EQ(uploadBytes(), c.after) << c.name;
    EXPECT_EQ(backend.row(11), c.keys.empty()
                                   ? ""
                                   : "アップロードファイル[TESTLOG.UPL  ]が、すでに存在します。"
                                     "削除しますか？(Y/N)")
        << c.name;
    EXPECT_EQ(backend.pendingKeys(), 0u) << c.name;
  }
}

// The environment of a whole run: the state directory in a test's own
// directory, no configuration anywhere.
std::string stateHome;
std::string configHome;  // the user's configuration directory, when set
const char* testEnvironment(const char* name) {
  const std::string_view wanted = name;
  if (wanted == "XDG_CONFIG_HOME") return configHome.c_str();
  return wanted == "XDG_STATE_HOME" || wanted == "XDG_CONFIG_DIRS" ? stateHome.c_str() : nullptr;
}

// Whole runs over the example log: what the first showed is read in the
// second; a damaged state file only forgets it.
TEST(ReadMarksAcrossRuns, MarksSurviveASecondRunAndADamagedFileForgetsThem) {
  testing::TempDir dir;
  testing::InDirectory inDirectory(dir.dir);
  writeBytes(dir.path("DEMO.LOG"), testing::exampleLog());
  stateHome = dir.path("state");
  StartupOptions options{"zazir", dir.path("DEMO.LOG"), testEnvironment, {}};
  // Past the chat question to the message boards' list.
  const std::vector<Key> toBoards = {'n', key::kDown, key::kEnter};
  const std::vector<Key> quit = {key::kEscape, key::kEscape, 'q', 'y'};
  const auto run = [&](const std::vector<Key>& keys) {
    auto backend = std::make_unique<ScriptedBackend>();
    backend->press(toBoards).press(keys).press(quit);
    Console console(*backend);
    EXPECT_EQ(exitOf([&] { runProgram(console, options); }).status, 0);
    return backend;
  };
  // pc98: the first of its three messages shown.
  run({key::kDown, key::kEnter});
  auto second = run({key::kDown, key::kEnter, 'T', key::kEscape});
  EXPECT_EQ(second->rowAtKey(3, 2),
            "   2: pc98       パソコン何でも相談室 ★未読あり(3件) [未読 2/3]");
  EXPECT_EQ(second->rowAtKey(6, 1), "   #1021  AKN00412 かずや       ハードディスクの増設");
  EXPECT_EQ(second->rowAtKey(6, 2), "N  #1022  AKN00208 Hiro         Re:ハードディスクの増設");

  const auto file = std::filesystem::directory_iterator(dir.path("state/zazir"))->path();
  std::string bytes = fileBytes(file);
  bytes[bytes.size() / 2] ^= 0x10;
  writeBytes(file, bytes);
  auto third = run({});
  EXPECT_EQ(third->rowAtKey(3, 2), "   2: pc98       パソコン何でも相談室 ★未読あり(3件)");
}

// Whole runs over the example log in logs/, the configuration (if any) in
// the current directory.
class ConfiguredRun : public testing::TempDir, public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(path("logs"));
    writeBytes(path("logs/DEMO.LOG"), testing::exampleLog());
    stateHome = path("state");
  }
  // Runs with `keys`, then from the main menu to the quit.
  void run(const std::vector<Key>& keys) {
    backend.press(keys).press('q').press('y');
    Console console(backend, [this](const std::string& line) { return editor.run(line); });
    StartupOptions options{"zazir", "logs/DEMO.LOG", testEnvironment, {}};
    try {
      EXPECT_EQ(exitOf([&] { runProgram(console, options); }).status, 0);
    } catch (const testing::ScriptExhausted&) {
      ADD_FAILURE() << "a screen waits for a key:\n" << backend.dump();
    }
  }
  // Whether a screen waiting for a key held `text`.
  bool shown(const std::string& text) const {
    for (std::size_t key = 0; key < backend.keysRead(); ++key) {
      for (int row = 0; row < 25; ++row) {
        if (backend.rowAtKey(key, row).find(text) != std::string::npos) return true;
      }
    }
    return false;
  }

  testing::InDirectory inDirectory_{dir};
  ScriptedBackend backend;
  FakeEditor editor{dir};
};

// Past the chat question to the first message of pc98, a reply keeping
// its title written as prepared, and back to the main menu.
const std::vector<Key> kReplyToTheFirstMessage = {'n',         key::kDown, key::kEnter, key::kDown,
                                                  key::kEnter, 'R',        key::kEnter, 'y'};
const std::vector<Key> kBackToTheMenu = {key::kEscape, key::kEscape};

TEST_F(ConfiguredRun, AFileNamingOnlyTheEditorLeavesEverythingElseBuiltIn) {
  writeBytes(path("ZAZIR.CFG"), "EDITOR=vim\n");
  run(testing::concat(kReplyToTheFirstMessage, kBackToTheMenu));
  EXPECT_EQ(editor.commandLines.size(), 1u);
  // Beside the log, with the built-in heading and quotation.
  const std::string upload = fileBytes(path("logs/DEMO.LOG.UP"));
  for (const char* line :
       {"かずやさんの #1021「ハードディスクの増設」へのレスです。\r\n",
        "かずや> PC-9821 に SCSI のハードディスクを増設しようと思っています。\r\n"}) {
    EXPECT_NE(upload.find(sj(line)), std::string::npos) << line;
  }

  // The upload file cannot be written: the failure names it.
  std::filesystem::remove(path("logs/DEMO.LOG.UP"));
  std::filesystem::create_directory(path("logs/DEMO.LOG.UP"));
  backend = ScriptedBackend{};
  editor = FakeEditor{dir};
  run(testing::concat(kReplyToTheFirstMessage, testing::concat({' '}, kBackToTheMenu)));
  EXPECT_TRUE(shown("アップロードファイル[logs/DEMO.LOG.UP  ]に書き込めませんでした。"))
      << backend.dump();
}

// No configuration anywhere: the status row tells where one would go and
// where the upload file is written, a path too long for the row losing
// its start.
TEST_F(ConfiguredRun, AFirstRunTellsWhereTheFilesGo) {
  configHome = path("configuration-directory-with-a-long-name");
  run({'n'});
  configHome.clear();
  EXPECT_EQ(backend.rowAtKey(0, 23),
            "設定ファイルなし：…/zazir/ZAZIR.CFG　アップロード先：logs/DEMO.LOG.UP");
  EXPECT_EQ(backend.rowAtKey(1, 23), "");
}

}  // namespace
}  // namespace zazir

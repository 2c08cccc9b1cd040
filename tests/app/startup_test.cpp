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
const char* testEnvironment(const char* name) {
  const std::string_view wanted = name;
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
            "   2: pc98       パソコン何でも相談室 ★未読あり(3件) [未読 2]");
  EXPECT_EQ(second->rowAtKey(6, 1), "   #1021  AKN00412 かずや       ハードディスクの増設");
  EXPECT_EQ(second->rowAtKey(6, 2), "N  #1022  AKN00208 Hiro         Re:ハードディスクの増設");

  const auto file = std::filesystem::directory_iterator(dir.path("state/zazir"))->path();
  std::string bytes = fileBytes(file);
  bytes[bytes.size() / 2] ^= 0x10;
  writeBytes(file, bytes);
  auto third = run({});
  EXPECT_EQ(third->rowAtKey(3, 2), "   2: pc98       パソコン何でも相談室 ★未読あり(3件)");
}

}  // namespace
}  // namespace zazir

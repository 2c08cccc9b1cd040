#include "app/logsearchscreen.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/startup.h"
#include "console/keys.h"
#include "console/render.h"
#include "formats/hostcommands.h"
#include "formats/logindex_support.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::ScriptedBackend;
using testing::sj;

std::string chooserStateHome;

const char* chooserSearchEnvironment(const char* name) {
  const std::string_view wanted = name;
  return wanted == "XDG_STATE_HOME" || wanted == "XDG_CONFIG_HOME" || wanted == "XDG_CONFIG_DIRS"
             ? chooserStateHome.c_str()
             : nullptr;
}

// The first key at which the screen showed `text` on `row`.
std::size_t keyShowing(const ScriptedBackend& backend, int row, const std::string& text) {
  for (std::size_t key = 0; key < backend.keysRead(); ++key) {
    if (backend.rowAtKey(key, row).find(text) != std::string::npos) return key;
  }
  ADD_FAILURE() << "never shown: " << text << "\n" << backend.dump();
  return 0;
}

// ZAZIR started on the folder logs/ with the keys `backend` holds, to
// the end of the run.
void runOnLogsFolder(ScriptedBackend& backend) {
  Console console(backend);
  const StartupOptions options{"zazir", "logs/", chooserSearchEnvironment, {}};
  try {
    EXPECT_EQ(testing::exitOf([&] { runProgram(console, options); }).status, 0);
  } catch (const testing::ScriptExhausted&) {
    ADD_FAILURE() << "a screen waits for a key:\n" << backend.dump();
  }
}

// Two logs in a directory: `/` in the chooser searches both, Return reads
// a hit in its log, Esc goes back to the hits, then to the chooser.
TEST(LogChooserSearch, ListsTheHitsOfEveryLogAndReadsOneInItsLog) {
  testing::TempDir dir;
  testing::InDirectory inDirectory(dir.dir);
  std::filesystem::create_directory(dir.path("logs"));
  chooserStateHome = dir.path("state");
  testing::writeBytes(dir.path("logs/A.LOG"),
                      testing::logOf({testing::listingLine(1, "spa", "onsen", "検索中"),
                                      sj("新しいメッセージが 1 件あります。"),
                                      "Message  #7 is from: USR00007 " + sj("ゆう"),
                                      "Date: 96/06/01 10:00:00", sj("題名: 秘湯めぐり"), "",
                                      sj("山奥の温泉に行きました。"), sj("*CH ボード番号 >")}));
  testing::writeBytes(dir.path("logs/DEMO.LOG"), testing::exampleLog());
  ScriptedBackend backend;
  // Opened as choosing it would open it: the start-up question, then the
  // reader.
  backend.type("/温泉\r").press(key::kEnter).type("n").press(key::kEscape, 3);
  runOnLogsFolder(backend);

  const std::size_t list = keyShowing(backend, 1, "検索「温泉」");
  const std::vector<std::string> shown = {
      "検索「温泉」 1～5件目 / 全5件",
      "A.LOG        spa        #7      秘湯めぐり     山奥の温泉に行きました。",
      "DEMO.LOG     travel     #1105   草津に行って… まさるです。週末に草津温泉へ行…",
      "DEMO.LOG     travel     #1105   草津に行って… おみやげの温泉まんじゅうは職場…",
      "DEMO.LOG     data       #3      003:ONSEN.TX… …東近郊の温泉リスト",
      "DEMO.LOG     data       #3      003:ONSEN.TX…     日帰りで行ける温泉を、泉質…",
      ""};
  for (std::size_t k = 0; k < shown.size(); ++k) {
    EXPECT_EQ(backend.rowAtKey(list, static_cast<int>(k) + 1), shown[k]) << k;
  }
  // Return: A.LOG's message, its match in reverse video.
  const Screen& reader = backend.screenAtKey(list + 2);
  EXPECT_EQ(rowToUtf8(reader, 0), "Message  #7 is from: USR00007 ゆう");
  EXPECT_EQ(rowToUtf8(reader, 4), "山奥の温泉に行きました。");
  EXPECT_EQ(reader.at(6, 4).attribute, attr::kBar);
  EXPECT_EQ(reader.at(9, 4).attribute, attr::kBar);
  EXPECT_EQ(reader.at(10, 4).attribute, attr::kStartup);
  // Esc: the hits again, on the same row; Esc again: the chooser.
  EXPECT_EQ(backend.rowAtKey(list + 3, 1), shown[0]);
  EXPECT_EQ(testing::highlightedRows(backend.screenAtKey(list + 3)), std::vector<int>{2});
  EXPECT_EQ(backend.rowAtKey(list + 4, 0), "           A.LOG        DEMO.LOG");
}

// Files marked for download in a log read from the hits are offered as the
// quit offers them when the log is left, not written unasked.
TEST(LogChooserSearch, LeavingALogOffersItsDownloadsAsTheQuitDoes) {
  testing::TempDir dir;
  testing::InDirectory inDirectory(dir.dir);
  std::filesystem::create_directory(dir.path("logs"));
  chooserStateHome = dir.path("state");
  testing::writeBytes(dir.path("logs/DEMO.LOG"), testing::exampleLog());
  ScriptedBackend backend;
  backend.type("/ONSEN.TXT\r").press(key::kEnter).type("nD").press(key::kEscape, 2).type("y");
  backend.press(key::kEscape);
  runOnLogsFolder(backend);
  const std::size_t asked = keyShowing(backend, 12, "これらをダウンロードしますか？");
  EXPECT_EQ(backend.rowAtKey(asked + 1, 0), "        DEMO.LOG");
  // File 3 of board 3 (data), as the quit writes the batch.
  const std::string upload = testing::fileBytes(dir.path("logs/DEMO.LOG.UP"));
  const HostCommand command = downloadBatch({{3, 3}});
  std::string batch;  // in the upload file's text mode
  for (const char c : command.bytes()) batch += c == '\n' ? "\r\n" : std::string(1, c);
  EXPECT_TRUE(upload.ends_with(batch)) << upload;
}

}  // namespace
}  // namespace zazir

#include "services/configfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "console/dialogs.h"
#include "support/scripted_backend.h"
#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::ScriptedBackend;
using testing::utf8;

class ConfigLoading : public testing::TempDir, public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    testing::writeBytes(path(name), bytes);
    return path(name);
  }
};

TEST_F(ConfigLoading, LoadingFillsTheSettings) {
  const std::string file = write("ZAZIR.CFG", "EDITOR=vi\r\nLINECHAT_QUOTE=LINECHAT_NO\r\n");
  ScriptedBackend backend;
  Console console(backend);
  Config config;
  loadConfiguration(console, file, config);
  EXPECT_EQ(config.editor, "vi");
  EXPECT_EQ(config.lineChatQuote, LineChatQuote::No);
}

TEST_F(ConfigLoading, FailuresEndTheProgramWithStatus50AndTheirMessage) {
  struct Case {
    const char* name;
    std::string path;
    const char* message;
  };
  // Without read permission (the superuser reads it all the same).
  const std::string locked = write("locked.CFG", "EDITOR=vi\r\n");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  std::filesystem::create_directory(path("adir.CFG"));
  std::vector<Case> cases = {
      {"missing", path("none.CFG"), "設定ファイルが開けません。"},
      {"a directory", path("adir.CFG"), "設定ファイルが開けません。"},
      {"invalid policy", write("bad.CFG", "EDITOR=vi\r\nDELETENULLLINE=yes\r\n"),
       "ZAZIR.CFG内のDELETENULLLINE=の行で、不正な指定があります。"},
  };
  if (::geteuid() != 0) cases.push_back({"unreadable", locked, "設定ファイルが開けません。"});
  for (const Case& c : cases) {
    ScriptedBackend backend;
    Console console(backend);
    Config config;
    const ProgramExit exit = testing::exitOf([&] { loadConfiguration(console, c.path, config); });
    EXPECT_EQ(exit.status, 50) << c.name;
    EXPECT_EQ(utf8(exit.message), c.message) << c.name;
    EXPECT_EQ(backend.row(0), "致命的エラーが発生しました。") << c.name;
    EXPECT_EQ(backend.row(2), c.message) << c.name;
  }
}

}  // namespace
}  // namespace zazir

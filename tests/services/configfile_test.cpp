#include "services/configfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "console/dialogs.h"
#include "platform/textfile.h"
#include "services/editortext.h"
#include "support/scripted_backend.h"
#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::ScriptedBackend;
using testing::sj;
using testing::utf8;

class ConfigLoading : public testing::TempDir, public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    testing::writeBytes(path(name), bytes);
    return path(name);
  }
};

TEST_F(ConfigLoading, AFileInUtf8OrInCp932GivesTheSameSettings) {
  const std::string text = "HEADREPLYNEWS=%sさんの %s 番「%s」へのレスです。\r\n"
                           "QUOTATION=%s＞\r\nLINECHAT_QUOTE=LINECHAT_NO\r\n";
  const std::string kEmoji = "\xF0\x9F\x98\x80";
  struct Case {
    const char* name;
    std::string bytes;
    std::string quotation;  // UTF-8
  } cases[] = {
      {"CP932", sj(text), "%s＞"},
      {"UTF-8", text, "%s＞"},
      {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + text, "%s＞"},
      // A character CP932 lacks is shown, not dropped.
      {"UTF-8 with an emoji", text + "QUOTATION=" + kEmoji + "%s>\r\n", "〓%s>"},
  };
  for (const Case& c : cases) {
    ScriptedBackend backend;
    Console console(backend);
    Config config;
    loadConfiguration(console, write("ZAZIR.CFG", c.bytes), config);
    EXPECT_EQ(utf8(config.headReplyNews), "%sさんの %s 番「%s」へのレスです。") << c.name;
    EXPECT_EQ(utf8(config.quotation), c.quotation) << c.name;
    EXPECT_EQ(config.lineChatQuote, LineChatQuote::No) << c.name;
  }
}

TEST_F(ConfigLoading, FailuresEndTheProgramWithStatus50TheirMessageAndTheFile) {
  struct Case {
    const char* name;
    std::string path;
    const char* message;
    std::string detail;
  };
  const char* kPolicy = "ZAZIR.CFG内のDELETENULLLINE=の行で、不正な指定があります。";
  // Without read permission (the superuser reads it all the same).
  const std::string locked = write("locked.CFG", "EDITOR=vi\r\n");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  const std::string bad = write("bad.CFG", "EDITOR=vi\r\nDELETENULLLINE=yes\r\n");
  // The rest of a long line is on the same line.
  const std::string longLine =
      write("long.CFG", "EDITOR=" + std::string(100, 'x') + "\r\nDELETENULLLINE=yes\r\n");
  std::filesystem::create_directory(path("adir.CFG"));
  std::vector<Case> cases = {
      {"missing", path("none.CFG"), "設定ファイルが開けません。",
       path("none.CFG") + ": No such file or directory"},
      {"a directory", path("adir.CFG"), "設定ファイルが開けません。",
       path("adir.CFG") + ": Is a directory"},
      {"invalid policy", bad, kPolicy, bad + ":2: not a value this setting takes"},
      {"after a long line", longLine, kPolicy, longLine + ":2: not a value this setting takes"},
  };
  if (::geteuid() != 0) {
    cases.push_back({"unreadable", locked, "設定ファイルが開けません。",
                     locked + ": Permission denied"});
  }
  for (const Case& c : cases) {
    ScriptedBackend backend;
    Console console(backend);
    Config config;
    const ProgramExit exit = testing::exitOf([&] { loadConfiguration(console, c.path, config); });
    EXPECT_EQ(exit.status, 50) << c.name;
    EXPECT_EQ(utf8(exit.message), c.message) << c.name;
    EXPECT_EQ(exit.detail, c.detail) << c.name;
    EXPECT_EQ(backend.row(0), "致命的エラーが発生しました。") << c.name;
    EXPECT_EQ(backend.row(2), c.message) << c.name;
  }
}

TEST(BuiltInConfiguration, IsTheBundledSamples) {
  const std::optional<std::string> sample =
      readBinaryFile(std::string(ZAZIR_SOURCE_DIR) + "/examples/ZAZIR.CFG");
  ASSERT_TRUE(sample.has_value());
  Config parsed;
  ASSERT_FALSE(parseConfiguration(fromUserFile(*sample), parsed).has_value());
  const Config builtIn = builtInConfiguration();
  for (std::string Config::*field :
       {&Config::editor, &Config::editorOpt1, &Config::editorOpt2, &Config::signature,
        &Config::quotation, &Config::logfileDir, &Config::uploadfileDir, &Config::uploadfile,
        &Config::cutfileDir, &Config::temporaryDir, &Config::idfile, &Config::grouplistfile,
        &Config::headReplyMail, &Config::headReplyNews, &Config::headReplyNewsTitleChange}) {
    EXPECT_EQ(utf8(builtIn.*field), utf8(parsed.*field));
  }
  EXPECT_EQ(builtIn.uploadFileExist, parsed.uploadFileExist);
  EXPECT_EQ(builtIn.lineChatQuote, parsed.lineChatQuote);
  EXPECT_EQ(builtIn.deleteNullLine, parsed.deleteNullLine);
  EXPECT_EQ(builtIn.editorCode, parsed.editorCode);
}

}  // namespace
}  // namespace zazir

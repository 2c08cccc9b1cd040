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
  const std::string upload = write("upload.CFG", "UPLOADFILE_EXIST=ASK\r\n");
  std::filesystem::create_directory(path("adir.CFG"));
  std::vector<Case> cases = {
      {"missing", path("none.CFG"), "設定ファイルが開けません。",
       path("none.CFG") + ": No such file or directory"},
      {"a directory", path("adir.CFG"), "設定ファイルが開けません。",
       path("adir.CFG") + ": Is a directory"},
      {"invalid policy", bad, kPolicy,
       bad + ":2: not a value this setting takes (it takes FALSE or TRUE)"},
      {"after a long line", longLine, kPolicy,
       longLine + ":2: not a value this setting takes (it takes FALSE or TRUE)"},
      {"three values", upload, "ZAZIR.CFG内のUPLOADFILE_EXIST=の行で、不正な指定があります。",
       upload + ":1: not a value this setting takes (it takes WRITE_QUESTION, WRITE_APPEND or "
                "WRITE_KILLOUT)"},
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

// A file that is no configuration (a log, a hostile file) neither floods
// standard error nor sends its control bytes there.
TEST_F(ConfigLoading, NamesToldAtTheExitAreFewAndHoldNoControlByte) {
  std::string file = "\x1b[2J\a=1\n";
  for (int line = 2; line <= 30; ++line) file += "N=x\n";
  ScriptedBackend backend;
  Console console(backend);
  Config config;
  const std::string cfg = write("ZAZIR.CFG", file);
  const std::vector<std::string> notes = loadConfiguration(console, cfg, config);
  ASSERT_EQ(notes.size(), 21u);
  EXPECT_EQ(notes.front(), cfg + ":1: \"?[2J?\" is no setting's name and is ignored (EDITOR?)");
  EXPECT_EQ(notes.back(), cfg + ": 10 more such names");
}

// The README's sample and the bundled one: copied as they stand, each gives
// the built-in settings, and each writes out every setting but the upload
// file's directory (whose absence puts the file beside the log).
TEST(BuiltInConfiguration, IsWhatTheSamplesGive) {
  const std::optional<std::string> bundled =
      readBinaryFile(std::string(ZAZIR_SOURCE_DIR) + "/examples/ZAZIR.CFG");
  const std::optional<std::string> readme =
      readBinaryFile(std::string(ZAZIR_SOURCE_DIR) + "/README.md");
  ASSERT_TRUE(bundled && readme);
  // The indented block after the sentence that announces it.
  std::string fromReadme;
  std::size_t at = readme->find("\n    ", readme->find("A sample that can be copied as it stands"));
  while (at != std::string::npos && readme->compare(at, 5, "\n    ") == 0) {
    const std::size_t end = readme->find('\n', at + 1);
    fromReadme += readme->substr(at + 5, end - at - 5) + "\n";
    at = end;
  }
  ASSERT_NE(fromReadme.find("DELETENULLLINE="), std::string::npos) << fromReadme;

  const Config builtIn = builtInConfiguration();
  Config written = builtIn;
  written.uploadBesideLog = false;
  for (const std::string& sample : {*bundled, fromReadme}) {
    Config overBuiltIn = builtIn;
    ASSERT_FALSE(parseConfiguration(fromUserFile(sample), overBuiltIn).has_value());
    EXPECT_EQ(overBuiltIn, builtIn) << sample;
    Config overNothing;
    ASSERT_FALSE(parseConfiguration(fromUserFile(sample), overNothing).has_value());
    EXPECT_EQ(overNothing, written) << sample;
  }
  // Named, even empty, the directory is the one written.
  Config named = builtIn;
  parseConfiguration("UPLOADFILE_DIR=\n", named);
  EXPECT_FALSE(named.uploadBesideLog);
}

}  // namespace
}  // namespace zazir

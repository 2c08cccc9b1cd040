#include "formats/config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "support/scripted_backend.h"
#include "support/temp_dir.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::sj;
using testing::utf8;

using namespace std::string_literals;
using Field = std::string Config::*;

const std::pair<const char*, Field> kAllText[] = {
    {"EDITOR", &Config::editor},
    {"EDITOR_OPT1", &Config::editorOpt1},
    {"EDITOR_OPT2", &Config::editorOpt2},
    {"SIGNATURE", &Config::signature},
    {"QUOTATION", &Config::quotation},
    {"LOGFILE_DIR", &Config::logfileDir},
    {"UPLOADFILE_DIR", &Config::uploadfileDir},
    {"UPLOADFILE", &Config::uploadfile},
    {"CUTFILE_DIR", &Config::cutfileDir},
    {"TEMPORARY_DIR", &Config::temporaryDir},
    {"IDFILE", &Config::idfile},
    {"GROUPLISTFILE", &Config::grouplistfile},
    {"HEADREPLYMAIL", &Config::headReplyMail},
    {"HEADREPLYNEWS", &Config::headReplyNews},
    {"HEADREPLYNEWSTITLECHANGE", &Config::headReplyNewsTitleChange},
};

TEST(Configuration, TextSettings) {
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::pair<Field, std::string>> set;  // every other text setting stays empty
  } cases[] = {
      {"empty file", "", {}},
      {"comment and the blank before it",
       "EDITOR=C:\\BIN\\EDIT.EXE ; editor\r\n",
       {{&Config::editor, "C:\\BIN\\EDIT.EXE "}}},
      {"longer names first", "EDITOR_OPT1=-j\r\n", {{&Config::editorOpt1, "-j"}}},
      {"trailing text after a name",
       "EDITOR_OPT2=-x\r\nEDITORX=vi\r\n",
       {{&Config::editorOpt2, "-x"}, {&Config::editor, "vi"}}},
      {"title change before news",
       "HEADREPLYNEWSTITLECHANGE=a\r\nHEADREPLYNEWS=b\r\n",
       {{&Config::headReplyNewsTitleChange, "a"}, {&Config::headReplyNews, "b"}}},
      {"the policy is no upload file name",
       "UPLOADFILE=%s.UP\r\nUPLOADFILE_EXIST=WRITE_APPEND\r\nUPLOADFILE_EXISTS=WRITE_KILLOUT\r\n",
       {{&Config::uploadfile, "%s.UP"}}},
      {"quotation keeps its blank", "QUOTATION=%s> ; quote\r\n", {{&Config::quotation, "%s> "}}},
      {"later lines override, KEY= empties",
       "EDITOR=vi\r\nSIGNATURE=a\r\nEDITOR=\r\nSIGNATURE=b\r\n",
       {{&Config::signature, "b"}}},
      {"keys are case-sensitive and not trimmed", "editor=vi\r\n EDITOR=vi\r\n", {}},
      {"blanks around the = stay", "EDITOR = vi\r\n", {{&Config::editor, " vi"}}},
      {"runs of = separate", "==EDITOR==vi==x\r\n=\r\n===\r\n", {{&Config::editor, "vi"}}},
      {"a = inside a comment does not count",
       "; EDITOR=vi\r\nSIGNATURE=a;b=c\r\n",
       {{&Config::signature, "a"}}},
      {"only the first TAB becomes a blank", "QUOTATION=\t>\t\r\n", {{&Config::quotation, " >\t"}}},
      {"LF-only and mixed line ends",
       "EDITOR=a\nSIGNATURE=b\r\r\nIDFILE=c",
       {{&Config::editor, "a"}, {&Config::signature, "b"}, {&Config::idfile, "c"}}},
      {"CR-only line ends",
       "EDITOR=vi\rSIGNATURE=sig\rQUOTATION=q\r",
       {{&Config::editor, "vi"}, {&Config::signature, "sig"}, {&Config::quotation, "q"}}},
      {"a NUL ends the text of its line only",
       "EDITOR=vi\0SIGNATURE=x\r\n\0IDFILE=y\r\nQUOTATION=q\r\n"s,
       {{&Config::editor, "vi"}, {&Config::quotation, "q"}}},
      {"a 100-character line is read as two",
       "SIGNATURE=" + std::string(69, 'a') + "EDITOR=" + std::string(14, 'b') + "\r\nIDFILE=i\r\n",
       {{&Config::signature, std::string(69, 'a')},
        {&Config::editor, std::string(14, 'b')},
        {&Config::idfile, "i"}}},
      {"a 79-byte line and its line end",
       "CUTFILE_DIR=" + std::string(67, 'c') + "\r\nTEMPORARY_DIR=t\r\n",
       {{&Config::cutfileDir, std::string(67, 'c')}, {&Config::temporaryDir, "t"}}},
  };
  for (const Case& c : cases) {
    Config config;
    EXPECT_FALSE(parseConfiguration(c.file, config).has_value()) << c.name;
    for (const auto& [key, field] : kAllText) {
      std::string expected;
      for (const auto& [setField, value] : c.set) {
        if (setField == field) expected = value;
      }
      EXPECT_EQ(config.*field, expected) << c.name << ": " << key;
    }
  }
}

TEST(Configuration, EveryKeyReachesItsOwnSetting) {
  std::string file;
  for (const auto& [key, field] : kAllText) file += std::string(key) + "=v_" + key + "\r\n";
  Config config;
  ASSERT_FALSE(parseConfiguration(file, config).has_value());
  for (const auto& [key, field] : kAllText) EXPECT_EQ(config.*field, std::string("v_") + key);
}

TEST(Configuration, Policies) {
  const std::string kUpload = "ZAZIR.CFG内のUPLOADFILE_EXIST=の行で、不正な指定があります。";
  const std::string kChat = "ZAZIR.CFG内のLINECHAT_QUOTE=の行で、不正な指定があります。";
  const std::string kNull = "ZAZIR.CFG内のDELETENULLLINE=の行で、不正な指定があります。";
  const std::string kCode = "ZAZIR.CFG内のEDITOR_CODE=の行で、不正な指定があります。";
  using U = UploadFileExist;
  using L = LineChatQuote;
  struct Case {
    const char* name;
    std::string file;
    std::string error;  // UTF-8; empty for none
    U upload;
    L chat;
    bool deleteNull;
    std::string editor;
    EditorCode code = EditorCode::Locale;
  } cases[] = {
      {"defaults", "", "", U::WriteQuestion, L::Question, false, ""},
      {"upper-cased values", "LINECHAT_QUOTE=linechat_yes\r\nDELETENULLLINE=true\r\n", "",
       U::WriteQuestion, L::Yes, true, ""},
      {"mixed case", "LINECHAT_QUOTE=Linechat_No\r\n", "", U::WriteQuestion, L::No, false, ""},
      {"short value", "LINECHAT_QUOTE=NO\r\n", kChat, U::WriteQuestion, L::Question, false, ""},
      {"a blank is part of the value", "DELETENULLLINE=TRUE \r\n", kNull, U::WriteQuestion,
       L::Question, false, ""},
      {"the blank before a comment too", "UPLOADFILE_EXIST=WRITE_APPEND ; note\r\n", kUpload,
       U::WriteQuestion, L::Question, false, ""},
      {"key contains the name",
       " UPLOADFILE_EXIST =write_killout\r\nX_LINECHAT_QUOTE_Y=LINECHAT_NO", "", U::WriteKillout,
       L::No, false, ""},
      {"no value", "UPLOADFILE_EXIST=\r\n", kUpload, U::WriteQuestion, L::Question, false, ""},
      {"text settings are tried first", "EDITOR_LINECHAT_QUOTE=bad\r\n", "", U::WriteQuestion,
       L::Question, false, "bad"},
      {"parsing stops at the first invalid line",
       "UPLOADFILE_EXIST=WRITE_APPEND\r\nDELETENULLLINE=maybe\r\nEDITOR=vi\r\n"
       "LINECHAT_QUOTE=LINECHAT_YES\r\n",
       kNull, U::WriteAppend, L::Question, false, ""},
      {"the first name a key contains decides", "DELETENULLLINE_UPLOADFILE_EXIST=TRUE\r\n", kUpload,
       U::WriteQuestion, L::Question, false, ""},
      // Not the editor's name, though the key begins with it.
      {"the editor's codeset", "EDITOR_CODE=sjis\r\nEDITOR=vi\r\n", "", U::WriteQuestion,
       L::Question, false, "vi", EditorCode::Sjis},
      {"UTF8", "EDITOR_CODE=UTF8\r\n", "", U::WriteQuestion, L::Question, false, "",
       EditorCode::Utf8},
      {"LOCALE", "EDITOR_CODE=UTF8\r\nEDITOR_CODE=Locale\r\n", "", U::WriteQuestion, L::Question,
       false, ""},
      {"an unknown codeset", "EDITOR_CODE=EUC\r\n", kCode, U::WriteQuestion, L::Question, false,
       ""},
  };
  for (const Case& c : cases) {
    Config config;
    const auto error = parseConfiguration(c.file, config);
    EXPECT_EQ(error ? utf8(error->message) : "", c.error) << c.name;
    EXPECT_EQ(config.uploadFileExist, c.upload) << c.name;
    EXPECT_EQ(config.lineChatQuote, c.chat) << c.name;
    EXPECT_EQ(config.deleteNullLine, c.deleteNull) << c.name;
    EXPECT_EQ(config.editor, c.editor) << c.name;
    EXPECT_EQ(config.editorCode, c.code) << c.name;
  }
}

// What the described reading ignores is told with the known name most
// like it ("?"); a name begun by a setting's and going on, as read as that
// setting. A key holding a policy's name, or a setting's and blanks, is
// told nothing.
TEST(Configuration, NamesNotQuiteASettingsAreTold) {
  const std::pair<const char*, const char*> lines[] = {
      {"EDITR=vim", "EDITOR?"},
      {"editor=vim", "EDITOR?"},
      {" EDITOR=vim", "EDITOR?"},
      {"GROUPFILE=g", "GROUPLISTFILE?"},
      {"UPLOADFILE_EXIT=WRITE_APPEND", "UPLOADFILE"},
      {"HEADREPLYNEWSTITLE=x", "HEADREPLYNEWS"},
      {"EDITORX=vi", "EDITOR"},
      {"EDITOR =vi", ""},
      {"X_LINECHAT_QUOTE_Y=LINECHAT_NO", ""},
      {"SIGNATURE SIGN.TXT", ""},
      {"; EDITR=vim", ""},
  };
  std::string file;
  std::vector<std::string> expected;
  int number = 0;
  for (const auto& [line, told] : lines) {
    file += std::string(line) + "\r\n";
    const std::string_view text = line;
    ++number;
    if (*told)
      expected.push_back(formatText("%i %s %s", number, text.substr(0, text.find('=')), told));
  }
  Config config;
  std::vector<NameNote> notes;
  ASSERT_FALSE(parseConfiguration(file, config, &notes).has_value());
  std::vector<std::string> told;
  for (const NameNote& note : notes) {
    told.push_back(
        formatText("%i %s %s%s", note.line, note.name, note.known, note.ignored ? "?" : ""));
  }
  EXPECT_EQ(told, expected);
}

class ConfigFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& relative, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(root_ + relative).parent_path());
    testing::writeBytes(root_ + relative, bytes);
    return root_ + relative;
  }
  std::string dir(const std::string& relative) {
    std::filesystem::create_directories(root_ + relative);
    return root_ + relative;
  }

  const testing::TempDir temp_;
  const std::string root_ = temp_.dir;
};

std::map<std::string, std::string> fakeEnvironment;

const char* fakeGetenv(const char* name) {
  const auto found = fakeEnvironment.find(name);
  return found == fakeEnvironment.end() ? nullptr : found->second.c_str();
}

TEST_F(ConfigFiles, SearchOrder) {
  const std::string& r = root_;
  write("own/zazir.CFG", "");
  write("own.CFG", "");  // what cutting at a "." of the directory would find
  write(".CFG", "");     // what a hidden program file would find
  write("withcfg/ZAZIR.CFG", "");
  dir("nocfg");
  dir("dircfg/ZAZIR.CFG");
  dir("p1");
  write("p2/ZAZIR.CFG", "");
  write("p3/ZAZIR.CFG", "");
  write("xdg/zazir/ZAZIR.CFG", "");
  write("home/.config/zazir/ZAZIR.CFG", "");
  write("sys2/zazir/ZAZIR.CFG", "");
  write("installed/zazir/ZAZIR.CFG", "");
  // Found all the same: reading it tells why it cannot be used.
  const std::string locked = write("locked/ZAZIR.CFG", "");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  struct Case {
    const char* name;
    std::string program;
    const char* cwd;
    std::map<std::string, std::string> env;
    std::optional<std::string> found;
  } cases[] = {
      {"own name first", r + "own/zazir.bin", "withcfg", {{"PATH", r + "p2"}}, r + "own/zazir.CFG"},
      {"a dot in the directory is no extension", r + "own.d/zazir", "withcfg", {}, "ZAZIR.CFG"},
      {"a hidden name has no extension", r + ".zazir", "withcfg", {}, "ZAZIR.CFG"},
      {"own file missing", r + "own/other.bin", "withcfg", {{"PATH", r + "p2"}}, "ZAZIR.CFG"},
      {"PATH in order",
       "zazir",
       "nocfg",
       {{"PATH", r + "p1::" + r + "p3/:" + r + "p2"}},
       r + "p3/ZAZIR.CFG"},
      {"a directory is no file",
       "zazir",
       "dircfg",
       {{"PATH", r + "p1"}, {"XDG_CONFIG_HOME", r + "xdg"}, {"HOME", r + "home"}},
       r + "xdg/zazir/ZAZIR.CFG"},
      {"home when XDG is empty",
       "zazir",
       "nocfg",
       {{"PATH", ""}, {"XDG_CONFIG_HOME", ""}, {"HOME", r + "home"}},
       r + "home/.config/zazir/ZAZIR.CFG"},
      {"a relative XDG directory is ignored",
       "zazir",
       ".",
       {{"XDG_CONFIG_HOME", "xdg"}, {"HOME", r + "home"}},
       r + "home/.config/zazir/ZAZIR.CFG"},
      {"the system's directories after the user's, in order",
       "zazir",
       "nocfg",
       {{"HOME", r + "nocfg"}, {"XDG_CONFIG_DIRS", "sys2:" + r + "p1:" + r + "sys2"}},
       r + "sys2/zazir/ZAZIR.CFG"},
      {"an unreadable file", "zazir", "locked", {}, "ZAZIR.CFG"},
      {"nowhere",
       "zazir",
       "nocfg",
       {{"PATH", r + "p1"}, {"HOME", r + "nocfg"}, {"XDG_CONFIG_DIRS", r + "p1"}},
       std::nullopt},
  };
  const testing::InDirectory restored(root_);
  for (const Case& c : cases) {
    std::filesystem::current_path(root_ + c.cwd);
    fakeEnvironment = c.env;
    EXPECT_EQ(findConfigurationFile(c.program, fakeGetenv, r + "installed"), c.found) << c.name;
  }
  // Where the sample is installed counts only when XDG_CONFIG_DIRS is not
  // set (and /etc/xdg holds none).
  fakeEnvironment = {{"HOME", r + "nocfg"}};
  if (!std::filesystem::exists("/etc/xdg/zazir/ZAZIR.CFG")) {
    EXPECT_EQ(findConfigurationFile("zazir", fakeGetenv, r + "installed"),
              r + "installed/zazir/ZAZIR.CFG");
  }
}

TEST(UserConfigurationFile, TheUsersOwnPlaceWithTheHomeDirectoryShort) {
  struct Case {
    std::map<std::string, std::string> env;
    std::string shown;
  } cases[] = {
      {{{"HOME", "/home/me"}}, "~/.config/zazir/ZAZIR.CFG"},
      {{{"HOME", "/home/me/"}, {"XDG_CONFIG_HOME", "/home/me/cfg"}}, "~/cfg/zazir/ZAZIR.CFG"},
      {{{"HOME", "/home/me"}, {"XDG_CONFIG_HOME", "/etc/me"}}, "/etc/me/zazir/ZAZIR.CFG"},
      {{{"HOME", "/home/me"}, {"XDG_CONFIG_HOME", "/home/meet"}}, "/home/meet/zazir/ZAZIR.CFG"},
      {{}, "ZAZIR.CFG"},
  };
  for (const Case& c : cases) {
    fakeEnvironment = c.env;
    EXPECT_EQ(userConfigurationFile(fakeGetenv), c.shown);
  }
}

}  // namespace
}  // namespace zazir

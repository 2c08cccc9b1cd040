#include "chooser/chooser.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "chooser/wildcard.h"
#include "console/console.h"
#include "console/dialogs.h"
#include "console/keys.h"
#include "platform/linestream.h"
#include "support/scripted_backend.h"
#include "support/temp_dir.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::ScriptedBackend;
using testing::sj;
using testing::utf8;

// The 16 bytes of grid cell `index` (CP932) and their attribute.
std::string cellText(const Screen& screen, int index) {
  std::string text;
  for (int i = 0; i < 16; ++i) {
    text += static_cast<char>(screen.at((index % 5) * 16 + i, index / 5).byte);
  }
  return text;
}
Attribute cellAttribute(const Screen& screen, int index) {
  return screen.at((index % 5) * 16, index / 5).attribute;
}
std::string right16(const std::string& name) {
  return std::string(16 - name.size(), ' ') + name;
}

class Chooser : public ::testing::Test {
 protected:
  void touch(const std::string& name) { testing::writeBytes(dir_ + name, "x"); }
  void files(int count) {
    for (int i = 0; i < count; ++i) touch(formatText("f%03i", i));
  }
  std::string choose(const std::string& logPath, const std::string& logfileDir = "") {
    return chooseLogFile(console_, logPath, logfileDir).path;
  }

  const testing::TempDir temp_;
  const std::string dir_ = temp_.dir;
  ScriptedBackend keys_;
  Console console_{keys_};
};

TEST_F(Chooser, ANameThatIsNoPatternAndNoDirectoryComesBackAtOnce) {
  touch("0105.LOG");
  console_.setBar();
  for (const std::string& name :
       {dir_ + "0105.LOG", std::string("missing.LOG"), dir_ + "nodir/x.LOG", std::string("")}) {
    EXPECT_EQ(choose(name, dir_), name);  // no key is read: the script is empty
  }
  EXPECT_EQ(console_.getAttribute(), attr::kNormal);
  EXPECT_TRUE(console_.screen() == Screen{});  // nothing drawn
  EXPECT_EQ(keys_.bells(), 0);
}

TEST_F(Chooser, ListsFilesInByteOrderWithDotFilesAndWithoutDirectories) {
  for (const char* name : {"b.log", "A.txt", ".hidden", "Zeta", "README"}) touch(name);
  std::filesystem::create_directory(dir_ + "sub.log");
  keys_.press(key::kRight).press(key::kEnter);
  EXPECT_EQ(choose(dir_), dir_ + "A.txt");
  const Screen& first = keys_.screenAtKey(0);
  const char* expected[] = {".hidden", "A.txt", "README", "Zeta", "b.log"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(cellText(first, i), right16(expected[i])) << i;
  EXPECT_EQ(keys_.row(1), "");
  EXPECT_EQ(cellAttribute(first, 0), attr::kChooserFirst);
  EXPECT_EQ(cellAttribute(first, 1), attr::kNormal);
  const Screen& moved = keys_.screenAtKey(1);
  EXPECT_EQ(cellAttribute(moved, 0), attr::kNormal);
  EXPECT_EQ(cellAttribute(moved, 1), attr::kBar);
  EXPECT_EQ(cellText(moved, 1), right16("A.txt"));
}

TEST_F(Chooser, AnyKeyHighlightsAgainInWhiteAndARepaintKeepsThatHighlight) {
  files(3);
  keys_.type("x").press(key::kCtrlL).press(key::kEnter);
  EXPECT_EQ(choose(dir_), dir_ + "f000");
  EXPECT_EQ(cellAttribute(keys_.screenAtKey(0), 0), attr::kChooserFirst);
  EXPECT_EQ(cellAttribute(keys_.screenAtKey(1), 0), attr::kBar);
  EXPECT_EQ(keys_.screenAtKey(2), keys_.screenAtKey(1));
}

TEST_F(Chooser, WherePatternsLookAndWhatPathComesBack) {
  for (const char* name : {"a.log", "B.LOG", "c.txt", "Log"}) touch(name);
  std::filesystem::create_directory(dir_ + "inner");
  touch("inner/x.log");
  const testing::InDirectory inside(dir_);
  struct Case {
    const char* name;
    std::string logPath;
    std::string logfileDir;
    std::string chosen;  // the second file listed
  } cases[] = {
      {"pattern in LOGFILE_DIR", "*.LOG", dir_, dir_ + "a.log"},
      {"pattern in the current directory", "*.log", "", "a.log"},
      {"a directory part wins over LOGFILE_DIR", dir_ + "*.*", "/nonexistent/", dir_ + "Log"},
      {"relative directory part", "./?.*", dir_ + "inner/", "./a.log"},
      {"directory without its slash", dir_ + "inner", "", dir_ + "inner/x.log"},
      {"relative directory without its slash", "inner", dir_, "inner/x.log"},
  };
  for (const Case& c : cases) {
    ScriptedBackend keys;
    Console console(keys);
    keys.press(key::kRight).press(key::kEnter);
    const bool single = c.chosen.ends_with("x.log");  // one file: Right rings
    EXPECT_EQ(chooseLogFile(console, c.logPath, c.logfileDir).path, c.chosen) << c.name;
    EXPECT_EQ(keys.bells(), single ? 1 : 0) << c.name;
  }
}

TEST_F(Chooser, LeavingAndFindingNothingEndTheProgram) {
  touch("a.log");
  std::filesystem::create_directories(dir_ + "only/sub");
  for (Key key : {key::kEscape, Key('Q'), Key('q')}) {
    ScriptedBackend keys;
    Console console(keys);
    keys.press(key);
    const ProgramExit exit = testing::exitOf([&] { chooseLogFile(console, "*.*", dir_); });
    EXPECT_EQ(exit.status, 0);
    EXPECT_TRUE(exit.message.empty());
    EXPECT_EQ(keys.row(0), "");  // cleared
  }
  for (const std::string& pattern : {dir_ + "*.none", dir_ + "only/", dir_ + "missing/"}) {
    ScriptedBackend keys;
    Console console(keys);
    console.setCursor(3, 5);
    console.writeText("kept ");
    const ProgramExit exit = testing::exitOf([&] { chooseLogFile(console, pattern, ""); });
    EXPECT_EQ(exit.status, 1) << pattern;
    EXPECT_EQ(utf8(exit.message), "指定されたディレクトリにファイルがありません。");
    EXPECT_EQ(keys.row(5), "   kept 指定されたディレクトリにファイルがありません。") << pattern;
    EXPECT_EQ(keys.pendingKeys(), 0u);
  }
}

TEST_F(Chooser, MovesStopAtTheEdgesWithTheBell) {
  files(7);  // cells 0..6
  struct Case {
    const char* name;
    std::vector<Key> keys;
    const char* chosen;
    int bells;
  } cases[] = {
      {"up at the first cell", {key::kUp}, "f000", 1},
      {"left at the first cell", {'4'}, "f000", 1},
      {"up from the second row goes to cell 0", {'2', '6', key::kUp, key::kUp}, "f000", 1},
      {"down past the last file", {'6', '6', '6', key::kDown}, "f006", 1},
      {"right past the last file", {'2', '6', '6'}, "f006", 1},
      {"other keys do not move; Ctrl-J, Ctrl-K and Ctrl-H move as Down, Up and Left",
       {'x', key::kCtrlJ, key::kCtrlK, '6', '6', key::kBackspace},
       "f001",
       0},
  };
  for (const Case& c : cases) {
    ScriptedBackend keys;
    Console console(keys);
    keys.press(c.keys).press(' ');
    EXPECT_EQ(chooseLogFile(console, dir_, "").path, dir_ + c.chosen) << c.name;
    EXPECT_EQ(keys.bells(), c.bells) << c.name;
    // Every highlight after the first on a page is black on white.
    EXPECT_EQ(
        cellAttribute(keys.screenAtKey(c.keys.size()), std::stoi(std::string(c.chosen).substr(1))),
        attr::kBar)
        << c.name;
  }
}

TEST_F(Chooser, PagesOf120Cells) {
  files(121);
  struct Case {
    const char* name;
    std::vector<Key> keys;
    const char* chosen;
    int bells;
  } cases[] = {
      // Cell 117 is row 23, column 2: 23 times down, twice right.
      {"down from cell 117 rings and lands on the last file", {}, "f120", 1},
      {"right from cell 119 opens the next page", {'6', '6', '6'}, "f120", 0},
      {"up from the next page's first row", {'6', '6', '6', '8'}, "f115", 0},
      {"left from the next page's first cell", {'6', '6', '6', '4'}, "f119", 0},
      {"page down past the last file rings and lands on it", {key::kPageDown}, "f120", 1},
      {"end goes to the last file", {key::kEnd}, "f120", 0},
      {"page up from the next page", {'6', '6', '6', key::kPageUp}, "f000", 0},
      {"home from the next page", {'6', '6', '6', key::kHome}, "f000", 0},
  };
  for (const Case& c : cases) {
    ScriptedBackend keys;
    Console console(keys);
    std::vector<Key> script =
        testing::concat(testing::repeated(key::kDown, 23), {key::kRight, key::kRight});
    script = testing::concat(script, c.keys.empty() ? std::vector<Key>{key::kDown} : c.keys);
    keys.press(script).press(key::kEnter);
    EXPECT_EQ(chooseLogFile(console, dir_, "").path, dir_ + c.chosen) << c.name;
    EXPECT_EQ(keys.bells(), c.bells) << c.name;
    // A page change draws the new page with the first highlight in grey.
    const Screen& last = keys.screenAtKey(script.size());
    const int cell = std::stoi(std::string(c.chosen).substr(1)) % 120;
    EXPECT_EQ(cellAttribute(last, cell), attr::kChooserFirst) << c.name;
    EXPECT_EQ(cellText(last, cell), right16(c.chosen)) << c.name;
  }
  // Page 0 is full; page 1 holds the one file left.
  keys_.press('2', 24).press(key::kEnter);
  EXPECT_EQ(choose(dir_), dir_ + "f120");
  EXPECT_EQ(cellText(keys_.screenAtKey(0), 119), right16("f119"));
  EXPECT_EQ(keys_.row(0), right16("f120"));
  EXPECT_EQ(keys_.row(1), "");
  EXPECT_EQ(keys_.bells(), 0);
}

// A name without a CP932 form is listed with the replacement mark and
// opened by its own name; a path beyond 79 bytes is refused with a word.
TEST_F(Chooser, NamesWithoutACp932FormAreListedAndALongPathIsTold) {
  struct Locale {
    Locale() { std::setlocale(LC_ALL, "C.UTF-8"); }
    ~Locale() { std::setlocale(LC_ALL, "C"); }
  } locale;
  const std::string longName(80, 'z');
  touch("abcdefghijklmno漢字.log");
  touch("café.log");
  touch(longName);
  touch("x");
  keys_.press('6', 3).press(key::kEnter).type(" ").press('4', 2).press(key::kEnter);
  const ChosenLog chosen = chooseLogFile(console_, dir_, "");
  EXPECT_EQ(chosen.path, dir_ + sj("caf〓.log"));
  EXPECT_EQ(chosen.osPath, dir_ + "café.log");
  EXPECT_NE(FileLineStream::open(chosen.osPath), nullptr);
  const Screen& grid = keys_.screenAtKey(0);
  EXPECT_EQ(cellText(grid, 0), " abcdefghijklmno");  // the kanji does not fit whole
  EXPECT_EQ(cellText(grid, 1), right16(sj("caf〓.log")));
  EXPECT_EQ(cellText(grid, 2), right16("x"));
  EXPECT_EQ(cellText(grid, 3), std::string(16, 'z'));
  EXPECT_EQ(keys_.bells(), 1);  // the long name was refused
  EXPECT_EQ(keys_.rowAtKey(4, 0), "【ファイル名が長すぎます】");
  EXPECT_NE(keys_.rowAtKey(4, 4).find("79バイトを超える"), std::string::npos);
  EXPECT_EQ(cellAttribute(keys_.screenAtKey(5), 3), attr::kChooserFirst);  // the page again

  // Named on the command line, the file or its directory opens as typed.
  const ChosenLog named = chooseLogFile(console_, dir_ + "café.log", "");
  EXPECT_EQ(named.path, dir_ + sj("caf〓.log"));
  EXPECT_EQ(named.osPath, dir_ + "café.log");
  std::filesystem::create_directory(dir_ + "dé");
  testing::writeBytes(dir_ + "dé/v.log", "x");
  keys_.press(key::kEnter);
  const ChosenLog inDirectory = chooseLogFile(console_, dir_ + "dé", "");
  EXPECT_EQ(inDirectory.path, dir_ + sj("d〓/v.log"));
  EXPECT_NE(FileLineStream::open(inDirectory.osPath), nullptr);
}

TEST(Wildcard, MatchesAsTheHomePlatformDid) {
  struct Case {
    const char* pattern;
    std::string name;
    bool matches;
  } cases[] = {
      {"*.*", "README", true},
      {"*.*", ".hidden", true},
      {"*.LOG", "0105.log", true},
      {"*.log", "0105.LOG", true},
      {"*.log", "0105.log.bak", false},
      {"*.log", "log", false},
      {"LOG.*", "log", true},
      {"LOG.*", "logs", false},
      {"*.", "README", true},
      {"*.", "a.b", false},
      {"?.log", "a.log", true},
      {"?.log", "ab.log", false},
      {"??.log", sj("漢.log"), false},  // one double-byte character is one
      {"?.log", sj("漢.log"), true},
      {"*z*", "abz", true},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"", "", true},
      // 0x82 0x61 and 0x82 0x41 are different characters: the trail byte
      // is no letter to fold.
      {"\x82\x61", "\x82\x41", false},
      {"a\x82", "A\x82", true},  // a lone lead byte at the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(matchesWildcard(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
  }
}

}  // namespace
}  // namespace zazir

#include "addressbook/idlist.h"

#include <gtest/gtest.h>

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/render.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::concat;
using testing::fileBytes;
using testing::repeated;
using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

// n entries "ID000", "ID001", ... with handle and memo numbered alike.
std::string idFile(int n, const char* idFormat = "ID%03i") {
  std::string bytes;
  for (int i = 0; i < n; ++i) {
    bytes += formatText(idFormat, i) + formatText(",handle%i,memo%i\r\n", i, i);
  }
  return bytes;
}

class IdListTest : public ::testing::Test {
 protected:
  // Runs the list over `keys` and one Esc; returns what was shown while the
  // Esc was awaited.
  Screen shownAfter(const std::vector<Key>& keys) {
    t_.backend.press(keys).press(key::kEscape);
    EXPECT_EQ(chooseIds(t_.app), "");
    return t_.backend.screenAtKey(keys.size());
  }
  TestApp t_;
};

TEST_F(IdListTest, DrawsTheGridTheCursorEntryAndTheStatusBar) {
  writeBytes(t_.config.idfile, idFile(200));
  const Screen shown = shownAfter({});
  EXPECT_EQ(rowToUtf8(shown, 0),
            "ID000     ID001     ID002     ID003     ID004     ID005     "
            "ID006     ID007");
  EXPECT_EQ(rowToUtf8(shown, 19).substr(0, 15), "ID152     ID153");
  EXPECT_EQ(rowToUtf8(shown, 20), "");
  EXPECT_EQ(rowToUtf8(shown, 21), "ハンドル名：handle0");
  EXPECT_EQ(rowToUtf8(shown, 22), "メモ：memo0");
  std::string status = sj("ZAZIR ＩＤリスト SPACE:選択 RETURN:終了 G:グループ登録 Now:Top");
  status.resize(74, ' ');
  EXPECT_EQ(rowToUtf8(shown, 23), utf8(status + sj("00通")));
  EXPECT_EQ(shown.at(0, 0).attribute, attr::kBar);  // the cursor
  EXPECT_EQ(shown.at(9, 0).attribute, attr::kBar);
  EXPECT_EQ(shown.at(10, 0).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(0, 23).attribute, attr::kBar);
  EXPECT_EQ(shown.at(74, 23).attribute, attr::kNormal);
}

TEST_F(IdListTest, PagesChangeAtTheEdges) {
  struct Case {
    const char* name;
    int entries;
    std::vector<Key> keys;
    std::string handle;  // of the cursor's entry
    std::string position;
    std::string firstId;  // at the top left of the page shown
  } cases[] = {
      {"down from row 19", 200, repeated(key::kDown, 20), "handle160", "Bottom", "ID160"},
      {"down keeps the column", 200, concat({'6', '6', '6'}, repeated('2', 20)), "handle163",
       "Bottom", "ID160"},
      {"up from row 0", 200, concat(repeated(key::kDown, 20), {key::kUp}), "handle152", "Top",
       "ID000"},
      {"right from the last place", 200, concat(repeated('2', 19), repeated(key::kRight, 8)),
       "handle160", "Bottom", "ID160"},
      {"left from the first place", 200, concat(repeated('2', 20), {key::kLeft}), "handle159",
       "Top", "ID000"},
      {"down stops on the last entry", 200, repeated('2', 25), "handle199", "Bottom", "ID160"},
      {"up stops on the first entry", 200, {'6', '6', '8'}, "handle0", "Top", "ID000"},
      {"left at the very start", 200, {'4'}, "handle0", "Top", "ID000"},
      {"the middle of three pages", 400, repeated('2', 20), "handle160", "50%", "ID160"},
      {"the last of three pages", 400, repeated('2', 40), "handle320", "Bottom", "ID320"},
      {"right beyond the last entry", 3, repeated('6', 5), "handle2", "Top", "ID000"},
      {"page down keeps the place", 400, {'6', key::kPageDown}, "handle161", "50%", "ID160"},
      {"end, then page up", 400, {key::kEnd, key::kPageUp}, "handle239", "50%", "ID160"},
      {"home", 400, {key::kCtrlN, key::kHome}, "handle0", "Top", "ID000"},
  };
  for (const Case& c : cases) {
    TestApp t;
    writeBytes(t.config.idfile, idFile(c.entries));
    t.backend.press(c.keys).press(key::kEscape);
    chooseIds(t.app);
    const Screen& shown = t.backend.screenAtKey(c.keys.size());
    EXPECT_EQ(rowToUtf8(shown, 21), "ハンドル名：" + c.handle) << c.name;
    const std::string status = rowToUtf8(shown, 23);
    EXPECT_NE(status.find("Now:" + c.position + " "), std::string::npos) << c.name << status;
    EXPECT_EQ(rowToUtf8(shown, 0).substr(0, 5), c.firstId) << c.name;
  }
}

TEST_F(IdListTest, MarksComeBackInMarkingOrder) {
  struct Case {
    std::vector<Key> keys;
    std::string selection;
  } cases[] = {
      // A, B and C marked, then B unmarked.
      {{' ', '6', ' ', '6', ' ', '4', ' '}, "ID000;ID002"},
      {{'6', '6', ' ', '4', '4', ' '}, "ID002;ID000"},
      // Unmarking the first moves the later ones up, in their order.
      {{' ', '6', ' ', '6', ' ', '4', '4', ' '}, "ID001;ID002"},
      // Marks stay across a page change.
      {concat({' '}, concat(repeated('2', 20), {' '})), "ID000;ID160"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    TestApp t;
    writeBytes(t.config.idfile, idFile(200));
    t.backend.press(c.keys).press(key::kEnter);
    EXPECT_EQ(chooseIds(t.app), c.selection);
  }
}

TEST_F(IdListTest, MarkedEntriesAreShownAndCounted) {
  writeBytes(t_.config.idfile, idFile(20));
  const Screen shown = shownAfter({' ', '6', '6', ' ', '6'});
  EXPECT_EQ(shown.at(0, 0).attribute, attr::kMarked);
  EXPECT_EQ(shown.at(10, 0).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(20, 0).attribute, attr::kMarked);
  EXPECT_EQ(shown.at(30, 0).attribute, attr::kBar);  // the cursor
  EXPECT_EQ(rowToUtf8(shown, 23).substr(rowToUtf8(shown, 23).size() - 5), "02通");
}

TEST_F(IdListTest, TheSelectionHoldsAll32IdsAndA33rdMarkRingsTheBell) {
  writeBytes(t_.config.idfile, idFile(40, "IDENT%04i"));
  for (int i = 0; i < 33; ++i) t_.backend.press(' ').press('6');
  t_.backend.press(key::kEnter);
  const std::string selection = chooseIds(t_.app);
  EXPECT_EQ(t_.backend.bells(), 1);
  ASSERT_EQ(selection.size(), 32u * 10 - 1);
  EXPECT_EQ(selection.substr(0, 20), "IDENT0000;IDENT0001;");
  EXPECT_EQ(selection.substr(selection.size() - 9), "IDENT0031");
  EXPECT_NE(t_.backend.row(23).find("32通"), std::string::npos);
}

TEST_F(IdListTest, AFileWithoutEntriesSelectsNothing) {
  for (const std::string& bytes :
       {std::string(), std::string(";only a comment\r\n"), std::string("ID000,x,y")}) {
    TestApp t;
    writeBytes(t.config.idfile, bytes);
    t.backend.press(' ').press('2').press('6').press(' ').press(key::kEnter);
    EXPECT_EQ(chooseIds(t.app), "");
    EXPECT_EQ(t.backend.bells(), 2);  // each Space
    EXPECT_EQ(t.backend.row(0), "");
    EXPECT_EQ(t.backend.row(21), "ハンドル名：");
    EXPECT_EQ(t.backend.row(22), "メモ：");
    EXPECT_NE(t.backend.row(23).find("Now:Top"), std::string::npos);
  }
}

TEST_F(IdListTest, AnUnreadableFileIsToldAndGivesNothing) {
  t_.backend.press('x');
  EXPECT_EQ(chooseIds(t_.app), "");
  const Screen& shown = t_.backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(shown, 22), "ＩＤファイル[" + utf8(t_.config.idfile) + "]が読めません。");
  EXPECT_EQ(rowToUtf8(shown, 23), "設定ファイル内のIDFILE=の項を確認してください。");
  EXPECT_EQ(shown.at(0, 22).attribute, attr::kIdFileNotice);
  EXPECT_EQ(rowToUtf8(t_.console.screen(), 22), "");  // cleared afterwards
}

TEST_F(IdListTest, EscCancelsWhateverIsMarked) {
  writeBytes(t_.config.idfile, idFile(5));
  t_.backend.press(' ').press('6').press(' ').press('q');
  EXPECT_EQ(chooseIds(t_.app), "");
  EXPECT_EQ(rowToUtf8(t_.console.screen(), 0), "");
}

TEST_F(IdListTest, GRegistersTheMarkedIdsAsAGroupAndTheListStaysOpen) {
  writeBytes(t_.config.idfile, idFile(5));
  writeBytes(t_.config.grouplistfile, "[old]\r\nX\r\n\x1a");
  t_.backend.press(' ').press('6').press('6').press(' ').press('G').type("pals");
  t_.backend.press(key::kEnter).press('x');  // the name, then the key after the message
  t_.backend.press('6').press(' ').press(key::kEnter);
  EXPECT_EQ(chooseIds(t_.app), "ID000;ID002;ID003");
  EXPECT_EQ(fileBytes(t_.config.grouplistfile), "[old]\r\nX\r\n[pals]\r\nID000;ID002\r\n");
  const Screen& told = t_.backend.screenAtKey(10);
  // The file's name whole, however long the path before it.
  const std::string row = rowToUtf8(told, 23);
  EXPECT_TRUE(row.starts_with("グループをグループファイル[") &&
              row.ends_with("/GROUP.TXT]に登録しました。"))
      << row;
  EXPECT_EQ(told.at(0, 23).attribute, attr::kMarked);
}

TEST_F(IdListTest, GroupRegistrationAppendsOnALineOfItsOwn) {
  struct Case {
    std::string before;
    std::vector<Key> keys;
    std::string after;
  } cases[] = {
      // No marks: a group without members.
      {"[old]\r\nX", {'G', 'n', key::kEnter, 'x'}, "[old]\r\nX\r\n[n]\r\n\r\n"},
      {"", {' ', 'G', 'n', key::kEnter, 'x'}, "[n]\r\nID000\r\n"},
      // An empty name cancels.
      {"[old]\r\nX\r\n", {' ', 'G', key::kEscape}, "[old]\r\nX\r\n"},
  };
  for (const Case& c : cases) {
    TestApp t;
    writeBytes(t.config.idfile, idFile(5));
    writeBytes(t.config.grouplistfile, c.before);
    t.backend.press(c.keys).press(key::kEscape);
    chooseIds(t.app);
    EXPECT_EQ(fileBytes(t.config.grouplistfile), c.after);
  }
}

TEST_F(IdListTest, AGroupFileThatCannotBeWrittenIsToldAndTheListStaysOpen) {
  writeBytes(t_.config.idfile, idFile(5));
  t_.config.grouplistfile = "/dev/full";  // opens, and every write fails
  t_.backend.press(' ').press('G').type("pals").press(key::kEnter).press('k').press(key::kEnter);
  EXPECT_EQ(chooseIds(t_.app), "ID000");
  EXPECT_EQ(t_.backend.rowAtKey(7, 0), "【グループファイルに書き込めません】");
  EXPECT_EQ(t_.backend.rowAtKey(8, 0).substr(0, 5), "ID000");
}

TEST_F(IdListTest, RegisteringWithoutAGroupFileEndsTheProgram) {
  writeBytes(t_.config.idfile, idFile(5));
  t_.backend.press(' ').press('g').type("pals").press(key::kEnter);
  const ProgramExit exit = testing::exitOf([&] { chooseIds(t_.app); });
  EXPECT_EQ(exit.status, kExitFatal);
  EXPECT_EQ(utf8(exit.message), "グループファイルが開けません。");
  EXPECT_EQ(exit.detail, t_.config.grouplistfile + ": No such file or directory");
  EXPECT_EQ(fileBytes(t_.config.grouplistfile), "<none>");
}

}  // namespace
}  // namespace zazir

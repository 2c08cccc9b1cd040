#include "addressbook/grouplist.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::concat;
using testing::repeated;
using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

std::string groupFile(int n) {
  std::string bytes = "; groups\r\n";
  for (int i = 0; i < n; ++i) bytes += formatText("[group%i]\r\nM%i;N%i\r\n", i, i, i);
  return bytes;
}

TEST(GroupList, PagesOfTwentyWithTheirPosition) {
  struct Case {
    const char* name;
    int groups;
    std::vector<Key> keys;
    std::string members;  // Enter after the keys
    std::string position;
    std::string firstRow;
  } cases[] = {
      {"first row", 25, {}, "M0;N0", "Top", "group0"},
      {"down from row 19", 25, repeated(key::kDown, 20), "M20;N20", "Bottom", "group20"},
      {"down stops on the last group", 25, repeated('2', 30), "M24;N24", "Bottom", "group20"},
      {"up from row 0 of page 2", 25, concat(repeated('2', 20), {'8'}), "M19;N19", "Top", "group0"},
      {"the middle page", 50, repeated('2', 20), "M20;N20", "50%", "group20"},
      {"page down, page up", 50, {key::kPageDown, '2', key::kPageUp}, "M1;N1", "Top", "group0"},
      {"end", 50, {key::kEnd}, "M49;N49", "Bottom", "group40"},
      {"left and right do nothing",
       5,
       {key::kRight, '6', '4', key::kLeft},
       "M0;N0",
       "Top",
       "group0"},
  };
  for (const Case& c : cases) {
    TestApp t;
    writeBytes(t.config.grouplistfile, groupFile(c.groups));
    t.backend.press(c.keys).press(key::kEnter);
    EXPECT_EQ(chooseGroup(t.app), c.members) << c.name;
    const Screen& shown = t.backend.screenAtKey(c.keys.size());
    EXPECT_EQ(rowToUtf8(shown, 0), c.firstRow) << c.name;
    std::string status = "ZAZIR グループリスト 2,8:カーソル移動 RETURN:決定 Now:" + c.position;
    EXPECT_EQ(rowToUtf8(shown, 23), status) << c.name;
  }
}

TEST(GroupList, CursorRowAndColours) {
  TestApp t;
  writeBytes(t.config.grouplistfile, groupFile(3));
  t.backend.press('2').press(key::kEscape);
  EXPECT_EQ(chooseGroup(t.app), "");
  const Screen& shown = t.backend.screenAtKey(1);
  EXPECT_EQ(shown.at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(shown.at(0, 1).attribute, attr::kBar);
  EXPECT_EQ(shown.at(78, 1).attribute, attr::kBar);  // the name padded to 79
  EXPECT_EQ(shown.at(79, 1).attribute, attr::kStartup);
  EXPECT_EQ(shown.at(0, 23).attribute, attr::kMarked);
  EXPECT_EQ(rowToUtf8(t.console.screen(), 0), "");  // Esc clears
}

TEST(GroupList, NoGroupsGiveNothing) {
  for (const std::string& bytes : {std::string(), std::string("text only\r\n[unended")}) {
    TestApp t;
    writeBytes(t.config.grouplistfile, bytes);
    t.backend.press('2').press(key::kEnter);
    EXPECT_EQ(chooseGroup(t.app), "");
    EXPECT_EQ(t.backend.row(0), "");
  }
}

TEST(GroupList, AnUnreadableFileIsToldAndGivesNothing) {
  TestApp t;
  t.backend.press('x');
  EXPECT_EQ(chooseGroup(t.app), "");
  const Screen& shown = t.backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(shown, 22),
            "グループファイル[" + utf8(t.config.grouplistfile) + "]が読めません。");
  EXPECT_EQ(rowToUtf8(shown, 23), "設定ファイル内のGROUPLISTFILE=の項を確認してください。");
  EXPECT_EQ(shown.at(0, 22).attribute, attr::kMarked);
}

}  // namespace
}  // namespace zazir

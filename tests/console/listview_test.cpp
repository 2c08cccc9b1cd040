#include "console/listview.h"

#include <gtest/gtest.h>

#include "console/console.h"
#include "console/keys.h"
#include "console/render.h"
#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::highlightedRows;
using testing::ScriptedBackend;

class ListViewTest : public ::testing::Test {
 protected:
  ScriptedBackend backend;
  Console console{backend};
};

TEST_F(ListViewTest, TheScreenHasItsTitleBarRowsAtTheirOffsetAndAHighlightOnTheTextOnly) {
  ListRows rows{};
  rows[0] = "mail";
  rows[1] = "boards";
  backend.press(key::kDown).press(key::kEnter);
  EXPECT_EQ(selectListRow(console, rows, 0, 1, 8), (ListChoice{ListAction::Choose, 1}));
  const Screen& first = backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(first, 0), "ZAZIR 8,2:移動 W:書込 R:返答 Q:戻る F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ");
  EXPECT_EQ(first.at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(first.at(6, 0).attribute, attr::kBar);
  EXPECT_EQ(rowToUtf8(first, 9), "mail");
  EXPECT_EQ(rowToUtf8(first, 10), "boards");
  EXPECT_EQ(highlightedRows(first), std::vector<int>{9});
  EXPECT_EQ(first.at(3, 9).attribute, attr::kHighlight);
  EXPECT_EQ(first.at(4, 9).attribute, attr::kStartup);  // not the rest of the row
  EXPECT_EQ(highlightedRows(backend.screenAtKey(1)), std::vector<int>{10});
}

TEST_F(ListViewTest, TheKeyDecidesTheAction) {
  ListRows rows{};
  for (int k = 0; k < 5; ++k) rows[k] = "item";
  struct Case {
    std::vector<Key> keys;
    ListChoice choice;
  } cases[] = {
      {{'W'}, {ListAction::Write, 0}},
      {{'w'}, {ListAction::Write, 0}},
      {{'R'}, {ListAction::Reply, 0}},
      {{'2', 'r'}, {ListAction::Reply, 1}},
      {{key::kEnter}, {ListAction::Choose, 0}},
      {{' '}, {ListAction::Choose, 0}},
      {{'2', '2', '5'}, {ListAction::Choose, 2}},
      {{'2', 'f'}, {ListAction::ViewUploadFile, 1}},
      {{'q'}, {ListAction::Leave}},
      {{'2', key::kEscape}, {ListAction::Leave}},
      {{key::kCtrlN}, {ListAction::PageForward}},
      {{key::kCtrlB}, {ListAction::PageBack}},
      {{'8'}, {ListAction::PageBack}},
  };
  for (const Case& c : cases) {
    backend.press(c.keys);
    EXPECT_EQ(selectListRow(console, rows, 0, 4, 8), c.choice) << c.keys.back();
  }
}

TEST_F(ListViewTest, MovementStopsAtTheLastRowAndHelpReturnsAfterItsBox) {
  ListRows rows{};
  for (int k = 0; k < 3; ++k) rows[k] = "item";
  backend.type("2222").press(key::kEnter);
  EXPECT_EQ(selectListRow(console, rows, 0, 2), (ListChoice{ListAction::Choose, 2}));
  backend.type("?").type("x");
  EXPECT_EQ(selectListRow(console, rows, 1, 2).action, ListAction::HelpShown);
  EXPECT_EQ(backend.rowAtKey(6, 0), "【メニュー選択】");
}

}  // namespace
}  // namespace zazir

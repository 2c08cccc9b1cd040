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
  int uploadFileViews = 0;

  // The list of `count` rows "item 0"... under the title bar.
  ListChoice runList(int count, int startRow, int rowOffset = 0,
                     ListPaging paging = ListPaging::Pages) {
    ListScreen list = ListScreen::ofEntries({kListPageRows, 1, paging}, count,
                                            [](int k) { return "item " + std::to_string(k); });
    list.open(startRow / kListPageRows, startRow % kListPageRows);
    return chooseRow(console, list,
                     {.rowOffset = rowOffset, .viewUploadFile = [this] { ++uploadFileViews; }});
  }
};

TEST_F(ListViewTest, TheScreenHasItsTitleBarRowsAtTheirOffsetAndAHighlightOnTheTextOnly) {
  backend.press(key::kDown).press(key::kEnter);
  EXPECT_EQ(runList(2, 0, 8, ListPaging::OnePage), (ListChoice{ListAction::Choose, 1}));
  const Screen& first = backend.screenAtKey(0);
  EXPECT_EQ(rowToUtf8(first, 0), "ZAZIR 8,2:移動 W:書込 R:返答 Q:戻る F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ");
  EXPECT_EQ(first.at(0, 0).attribute, attr::kNormal);
  EXPECT_EQ(first.at(6, 0).attribute, attr::kBar);
  EXPECT_EQ(rowToUtf8(first, 9), "item 0");
  EXPECT_EQ(rowToUtf8(first, 10), "item 1");
  EXPECT_EQ(highlightedRows(first), std::vector<int>{9});
  EXPECT_EQ(first.at(5, 9).attribute, attr::kHighlight);
  EXPECT_EQ(first.at(6, 9).attribute, attr::kStartup);  // not the rest of the row
  EXPECT_EQ(highlightedRows(backend.screenAtKey(1)), std::vector<int>{10});
}

TEST_F(ListViewTest, TheKeyDecidesTheActionAndTheEntry) {
  // Thirty entries: a page of 23 and one of 7.
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
      {{'2', 'f', key::kEnter}, {ListAction::Choose, 1}},
      {{'q'}, {ListAction::Leave}},
      {{'2', key::kEscape}, {ListAction::Leave}},
      {{key::kCtrlN, key::kEnter}, {ListAction::Choose, 23}},
      {{key::kCtrlN, key::kCtrlN, key::kEnter}, {ListAction::Choose, 29}},
      {{key::kCtrlN, '8', key::kEnter}, {ListAction::Choose, 22}},
      {{key::kCtrlB, key::kEnter}, {ListAction::Choose, 0}},
      {{'8', key::kEnter}, {ListAction::Choose, 0}},
  };
  for (const Case& c : cases) {
    backend.press(c.keys);
    EXPECT_EQ(runList(30, 0), c.choice) << c.keys.size() << " keys, " << c.keys.back();
  }
  EXPECT_EQ(uploadFileViews, 1);
}

TEST_F(ListViewTest, MovementStopsAtTheLastRowAndHelpReturnsToTheStartRow) {
  backend.type("2222").press(key::kEnter);
  EXPECT_EQ(runList(3, 0), (ListChoice{ListAction::Choose, 2}));
  backend.type("2?").type("x").press(key::kEnter);
  EXPECT_EQ(runList(3, 1), (ListChoice{ListAction::Choose, 1}));
  EXPECT_EQ(backend.rowAtKey(7, 0), "【メニュー選択】");
}

}  // namespace
}  // namespace zazir

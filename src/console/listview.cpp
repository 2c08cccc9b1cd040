#include "console/listview.h"

#include <algorithm>
#include <variant>

#include "console/console.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "platform/encoding.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

using RowKey = ListKey<ListAction>;

KeyTable<RowKey> listKeys(bool writes = true) {
  static const std::vector<Binding<RowKey>> kKeys = listTable<ListAction>(
      {.hint = "8,2:移動"_sj},
      {
          {{key::kEnter}, ListAction::Choose, "リターンキー：決定"_sj},
          {{' ', '5'}, ListAction::Choose, "スペース，５：決定"_sj},
          {{'W', 'w'}, ListAction::Write, "Ｗ：書き込み"_sj, "W:書込"_sj},
          {{'R', 'r'}, ListAction::Reply, "Ｒ：返答の書き込み"_sj, "R:返答"_sj},
          {kLeaveKeys, ListAction::Leave, "ESC，Ｑ：戻る"_sj, "Q:戻る"_sj},
          {{'F', 'f'},
           ListAction::ViewUploadFile,
           "Ｆ：アップロードファイルの参照"_sj,
           "F:ｱｯﾌﾟﾌｧｲﾙ参照"_sj},
          {{'?', key::kCtrlA}, ListAction::Help, "？，Ctrl+A：このヘルプ"_sj, "?:ﾍﾙﾌﾟ"_sj},
      },
      "Home，End：最初／最後の行"_sj);
  static const std::vector<Binding<RowKey>> kWithoutWriting = [] {
    std::vector<Binding<RowKey>> kept;
    for (const Binding<RowKey>& binding : kKeys) {
      const RowKey& action = binding.action;
      if (action != RowKey{ListAction::Write} && action != RowKey{ListAction::Reply}) {
        kept.push_back(binding);
      }
    }
    return kept;
  }();
  if (writes) return kKeys;
  return kWithoutWriting;
}

// The keys a list added come first: they are the list's own.
std::vector<Binding<RowKey>> tableOf(const ListLook& look) {
  std::vector<Binding<RowKey>> table;
  for (const Binding<ListAction>& added : look.added) {
    table.push_back({added.keys, added.action, added.help, added.hint});
  }
  const KeyTable<RowKey> common = listKeys(look.writes);
  table.insert(table.end(), common.begin(), common.end());
  return table;
}

void drawRow(Console& console, const ListScreen& list, int k, int rowOffset, bool highlighted) {
  const int row = rowOffset + 1 + k;
  if (k < 0 || row > console.bottomRow()) return;
  console.setCursor(0, row);
  console.setNormal();
  if (highlighted) console.setBackground(2);
  const std::vector<std::string>& rows = list.rows();
  if (k < static_cast<int>(rows.size())) console.writeText(cutToBytes(rows[k], kListRowBytes));
  console.setBackground(0);
}

void drawListScreen(Console& console, const ListScreen& list, const ListLook& look) {
  console.clearScreen();
  console.setNormal();
  console.putText("%s ", "ZAZIR");
  console.setBar();
  console.writeText(hintsOf(listKeys(look.writes)));
  console.setNormal();
  if (const std::string heading = look.heading ? look.heading() : ""; !heading.empty()) {
    console.setCursor(0, look.rowOffset);
    console.writeText(cutToBytes(heading, kListRowBytes));
  }
  for (int k = 0; k < list.pageRows(); ++k) drawRow(console, list, k, look.rowOffset, false);
  drawRow(console, list, list.row(), look.rowOffset, true);
}

}  // namespace

int fullListRows(const Console& console) {
  return console.bottomRow();  // under the title bar
}

ListChoice chooseRow(Console& console, ListScreen& list, const ListLook& look) {
  ListChoice chosen;
  const auto act = [&](ListAction action) {
    if (action == ListAction::Help) {
      std::vector<std::string_view> help = helpLinesOf(listKeys(look.writes));
      const std::vector<std::string_view> more = helpLinesOf(look.added);
      help.insert(help.end(), more.begin(), more.end());
      helpBox(console, "メニュー選択"_sj, help);
      list.backToStart();
      return Outcome::Redraw;
    }
    if (action == ListAction::ViewUploadFile) {
      if (look.viewUploadFile) look.viewUploadFile();
      return Outcome::Redraw;
    }
    const bool picks =
        action == ListAction::Choose || action == ListAction::Write || action == ListAction::Reply;
    if (picks && list.empty()) {
      list.leaveEmptyPage();
      return Outcome::Redraw;
    }
    if (action != ListAction::Leave) chosen = {action, list.empty() ? -1 : list.index()};
    return Outcome::Leave;
  };
  const std::vector<Binding<RowKey>> table = tableOf(look);
  runListScreen<ListAction>(
      console, list, table, act,
      [&] {
        if (look.fit) look.fit();
        drawListScreen(console, list, look);
      },
      look.resizes);
  return chosen;
}

KeyRows listKeyRows() {
  return keyRowsOf(listKeys());
}

}  // namespace zazir

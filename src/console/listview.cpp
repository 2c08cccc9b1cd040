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


// Where list row k stands, or -1 when it falls below the rows in use.
int screenRowOf(const Console& console, int k, int rowOffset) {
  const int row = rowOffset + 1 + k;
  return row <= console.bottomRow() ? row : -1;
}

void drawRow(Console& console, std::span<const std::string> rows, int k, int rowOffset,
             bool highlighted) {
  const int row = screenRowOf(console, k, rowOffset);
  if (k < 0 || row < 0) return;
  console.setCursor(0, row);
  console.setNormal();
  if (highlighted) console.setBackground(2);
  console.writeText(cutToBytes(rows[k], kListRowBytes));
  console.setBackground(0);
}

enum class RowMove { Up, Down };
using ListKey = std::variant<RowMove, ListAction>;

KeyTable<ListKey> listKeys(bool writes = true) {
  static const Binding<ListKey> kKeys[] = {
      {kUpKeys, RowMove::Up, "カーソルキー，テンキー：カーソル移動"_sj, "8,2:移動"_sj},
      {kDownKeys, RowMove::Down},
      {{key::kEnter}, ListAction::Choose, "リターンキー：決定"_sj},
      {{' ', '5'}, ListAction::Choose, "スペース，５：決定"_sj},
      {{'W', 'w'}, ListAction::Write, "Ｗ：書き込み"_sj, "W:書込"_sj},
      {{'R', 'r'}, ListAction::Reply, "Ｒ：返答の書き込み"_sj, "R:返答"_sj},
      {kLeaveKeys, ListAction::Leave, "ESC，Ｑ：戻る"_sj, "Q:戻る"_sj},
      {{'F', 'f'},
       ListAction::ViewUploadFile,
       "Ｆ：アップロードファイルの参照"_sj,
       "F:ｱｯﾌﾟﾌｧｲﾙ参照"_sj},
      {{'?', key::kCtrlA}, ListAction::HelpShown, "？，Ctrl+A：このヘルプ"_sj, "?:ﾍﾙﾌﾟ"_sj},
      {{key::kCtrlN, key::kPageDown}, ListAction::PageForward, "Ctrl+N，PageDown：次のページ"_sj},
      {{key::kCtrlB, key::kPageUp}, ListAction::PageBack, "Ctrl+B，PageUp：前のページ"_sj},
      {{key::kHome}, ListAction::First, "Home，End：最初／最後の行"_sj},
      {{key::kEnd}, ListAction::Last},
  };
  static const std::vector<Binding<ListKey>> kWithoutWriting = [] {
    std::vector<Binding<ListKey>> kept;
    for (const Binding<ListKey>& binding : kKeys) {
      const ListKey& action = binding.action;
      if (action != ListKey{ListAction::Write} && action != ListKey{ListAction::Reply}) {
        kept.push_back(binding);
      }
    }
    return kept;
  }();
  if (writes) return kKeys;
  return kWithoutWriting;
}

void drawListScreen(Console& console, std::span<const std::string> rows, int rowOffset,
                    const ListLook& look) {
  console.clearScreen();
  console.setNormal();
  console.putText("%s ", "ZAZIR");
  console.setBar();
  console.writeText(hintsOf(listKeys(look.writes)));
  console.setNormal();
  if (!look.heading.empty()) {
    console.setCursor(0, rowOffset);
    console.writeText(cutToBytes(look.heading, kListRowBytes));
  }
  const int count = static_cast<int>(rows.size());
  for (int k = 0; k < count; ++k) drawRow(console, rows, k, rowOffset, false);
}

}  // namespace

int fullListRows(const Console& console) {
  return console.bottomRow();  // under the title bar
}

ListChoice selectListRow(Console& console, std::span<const std::string> rows, int startRow,
                         int lastRow, int rowOffset, Resizes resizes, const ListLook& look) {
  const int pageRows = static_cast<int>(rows.size());
  lastRow = std::min(lastRow, pageRows - 1);
  int n = std::min(std::max(startRow, 0), lastRow);
  drawListScreen(console, rows, rowOffset, look);
  drawRow(console, rows, n, rowOffset, true);
  // A page without rows has nothing to choose or move to: the keys that
  // would do so page back instead.
  const bool empty = lastRow < 0;
  const ListChoice pageBack{ListAction::PageBack};
  while (true) {
    const Key typed = console.getKey(resizes);
    if (typed == key::kResize) return {ListAction::Resized, n};
    if (const ListAction* own = actionOf(look.added, typed)) return {*own, empty ? -1 : n};
    const ListKey* key = actionOf(listKeys(look.writes), typed);
    if (key == nullptr) continue;
    if (const RowMove* move = std::get_if<RowMove>(key)) {
      if (empty) return pageBack;
      drawRow(console, rows, n, rowOffset, false);
      n += *move == RowMove::Up ? -1 : 1;
      if (n < 0) return pageBack;
      if (n > pageRows - 1) return {ListAction::PageForward};
      n = std::min(n, lastRow);
      drawRow(console, rows, n, rowOffset, true);
      continue;
    }
    switch (const ListAction action = std::get<ListAction>(*key)) {
      case ListAction::HelpShown: {
        std::vector<std::string_view> help = helpLinesOf(listKeys(look.writes));
        const std::vector<std::string_view> more = helpLinesOf(look.added);
        help.insert(help.end(), more.begin(), more.end());
        helpBox(console, "メニュー選択"_sj, help);
        return {action};
      }
      case ListAction::Choose:
      case ListAction::Write:
      case ListAction::Reply:
        return empty ? pageBack : ListChoice{action, n};
      case ListAction::ViewUploadFile:
        return {action, n};
      default:
        return {action};
    }
  }
}

int turnListPage(ListAction action, int& page, int lastPage, int startRow, int pageRows) {
  switch (action) {
    case ListAction::PageBack:
      if (page == 0) return 0;
      --page;
      return pageRows - 1;
    case ListAction::PageForward:
      if (page >= lastPage) return pageRows - 1;
      ++page;
      return 0;
    case ListAction::First:
      page = 0;
      return 0;
    case ListAction::Last:
      page = lastPage;
      return pageRows - 1;
    default:
      return startRow;
  }
}

int restartRow(ListAction action, int startRow, int lastRow) {
  switch (action) {
    case ListAction::First:
      return 0;
    case ListAction::Last:
      return lastRow;
    default:
      return startRow;
  }
}

KeyRows listKeyRows() {
  return keyRowsOf(listKeys());
}

}  // namespace zazir

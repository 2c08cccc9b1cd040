#include "console/listview.h"

#include <algorithm>

#include "console/console.h"
#include "console/dialogs.h"
#include "console/keys.h"
#include "platform/encoding.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kLastScreenRow = 23;
constexpr std::size_t kRowBytes = 79;

// Where list row k stands, or -1 when it falls below the screen.
int screenRowOf(int k, int rowOffset) {
  const int row = rowOffset + 1 + k;
  return row <= kLastScreenRow ? row : -1;
}

void drawRow(Console& console, const ListRows& rows, int k, int rowOffset, bool highlighted) {
  const int row = screenRowOf(k, rowOffset);
  if (k < 0 || row < 0) return;
  console.setCursor(0, row);
  console.setNormal();
  if (highlighted) console.setBackground(2);
  console.writeText(cutToBytes(rows[k], kRowBytes));
  console.setBackground(0);
}

void drawListScreen(Console& console, const ListRows& rows, int rowOffset) {
  console.clearScreen();
  console.setNormal();
  console.putText("%s ", "ZAZIR");
  console.setBar();
  console.writeText("8,2:移動 W:書込 R:返答 Q:戻る F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ"_sj);
  console.setNormal();
  for (int k = 0; k < kListPageRows; ++k) drawRow(console, rows, k, rowOffset, false);
}

}  // namespace

ListChoice selectListRow(Console& console, const ListRows& rows, int startRow, int lastRow,
                         int rowOffset) {
  lastRow = std::min(lastRow, kListPageRows - 1);
  int n = std::min(std::max(startRow, 0), lastRow);
  drawListScreen(console, rows, rowOffset);
  drawRow(console, rows, n, rowOffset, true);
  // A page without rows has nothing to choose or move to: the keys that
  // would do so page back instead.
  const bool empty = lastRow < 0;
  const ListChoice pageBack{ListAction::PageBack};
  while (true) {
    const int key = console.getKey();
    drawRow(console, rows, n, rowOffset, false);
    switch (key) {
      case key::kEscape:
      case 'Q':
      case 'q':
        return {ListAction::Leave};
      case key::kCtrlN:
        return {ListAction::PageForward};
      case key::kCtrlB:
        return pageBack;
      case '?':
      case key::kCtrlA:
        messageBox(console, MessageId::MenuHelp);
        return {ListAction::HelpShown};
      case key::kEnter:
      case ' ':
      case '5':
        return empty ? pageBack : ListChoice{ListAction::Choose, n};
      case '8':
      case key::kUp:
        if (empty || --n < 0) return pageBack;
        break;
      case '2':
      case key::kDown:
        if (empty) return pageBack;
        if (++n > kListPageRows - 1) return {ListAction::PageForward};
        break;
      case 'W':
      case 'w':
        return empty ? pageBack : ListChoice{ListAction::Write, n};
      case 'R':
      case 'r':
        return empty ? pageBack : ListChoice{ListAction::Reply, n};
      case 'F':
      case 'f':
        return {ListAction::ViewUploadFile, n};
      default:
        break;
    }
    n = std::min(n, lastRow);
    drawRow(console, rows, n, rowOffset, true);
  }
}

int turnListPage(ListAction action, int& page, int lastPage, int startRow) {
  switch (action) {
    case ListAction::PageBack:
      if (page == 0) return 0;
      --page;
      return kListPageRows - 1;
    case ListAction::PageForward:
      if (page >= lastPage) return kListPageRows - 1;
      ++page;
      return 0;
    default:
      return startRow;
  }
}

}  // namespace zazir

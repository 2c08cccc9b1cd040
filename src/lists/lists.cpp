#include "lists/lists.h"

#include <algorithm>

#include "console/dialogs.h"
#include "console/keys.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kPageRows = 23;
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
  for (int k = 0; k < kPageRows; ++k) drawRow(console, rows, k, rowOffset, false);
}

}  // namespace

int selectListRow(App& app, const ListRows& rows, int startRow, int lastRow, int rowOffset) {
  Console& console = app.console;
  lastRow = std::min(lastRow, kPageRows - 1);
  int n = std::min(std::max(startRow, 0), lastRow);
  drawListScreen(console, rows, rowOffset);
  drawRow(console, rows, n, rowOffset, true);
  app.state.actionKey = ActionKey::Choose;
  // A page without rows has nothing to choose or move to: the keys that
  // would do so page back instead.
  const bool empty = lastRow < 0;
  while (true) {
    const int key = console.getKey();
    drawRow(console, rows, n, rowOffset, false);
    switch (key) {
      case key::kEscape:
      case 'Q':
      case 'q':
        return kListLeave;
      case key::kCtrlN:
        return kListPageForward;
      case key::kCtrlB:
        return kListPageBack;
      case '?':
      case key::kCtrlA:
        messageBox(console, MessageId::MenuHelp);
        return kListHelpShown;
      case key::kEnter:
      case ' ':
      case '5':
        return empty ? kListPageBack : n;
      case '8':
      case key::kUp:
        if (empty || --n < 0) return kListPageBack;
        break;
      case '2':
      case key::kDown:
        if (empty) return kListPageBack;
        if (++n > kPageRows - 1) return kListPageForward;
        break;
      case 'W':
      case 'w':
        if (empty) return kListPageBack;
        app.state.actionKey = ActionKey::Write;
        return n;
      case 'R':
      case 'r':
        if (empty) return kListPageBack;
        app.state.actionKey = ActionKey::Reply;
        return n;
      case 'F':
      case 'f':
        viewUploadFile(app);
        drawListScreen(console, rows, rowOffset);
        break;
      default:
        break;
    }
    n = std::min(n, lastRow);
    drawRow(console, rows, n, rowOffset, true);
  }
}

int turnListPage(int result, int& page, int lastPage, int startRow) {
  switch (result) {
    case kListPageBack:
      if (page == 0) return 0;
      --page;
      return kPageRows - 1;
    case kListPageForward:
      if (page >= lastPage) return kPageRows - 1;
      ++page;
      return 0;
    default:  // help: the same page, the same start row
      return startRow;
  }
}

int chooseBoard(App& app, const std::vector<BoardEntry>& boards) {
  const int count = static_cast<int>(boards.size());
  if (count == 0) return kListLeave;
  ListPositions& at = app.state.listPositions;
  // The position is shared by the message and the file board lists, so it
  // may lie beyond the table opened now.
  at.boardListRow = std::clamp(at.boardListRow, 0, kPageRows - 1);
  at.boardListPage = std::max(at.boardListPage, 0);
  while (at.boardListPage * kPageRows + at.boardListRow >= count) {
    if (at.boardListPage > 0) {
      --at.boardListPage;
    } else {
      --at.boardListRow;
    }
  }
  const int lastPage = (count - 1) / kPageRows;
  int startRow = at.boardListRow;
  while (true) {
    ListRows rows{};
    int filled = 0;
    for (int k = 0; k < kPageRows; ++k) {
      const int entry = at.boardListPage * kPageRows + k;
      if (entry >= count) break;
      rows[k] = boards[entry].label;
      filled = k + 1;
    }
    const int result = selectListRow(app, rows, startRow, filled - 1);
    if (result == kListLeave) return kListLeave;
    if (result >= 0) {
      at.boardListRow = result;
      return at.boardListPage * kPageRows + result;
    }
    startRow = turnListPage(result, at.boardListPage, lastPage, startRow);
  }
}

int chooseChatBoard(App& app) {
  const std::vector<ChatBoardEntry>& boards = app.index.chatBoards;
  const int count = std::min(static_cast<int>(boards.size()), kPageRows);
  if (count == 0) return kListLeave;
  ListRows rows{};
  for (int k = 0; k < count; ++k) {
    rows[k] = boards[k].label;
    if (rows[k].empty()) continue;
    const bool recorded = isUsableBackLogName(boards[k].name) && isReadableFile(boards[k].name);
    rows[k] += recorded ? " [→]"_sj : " [×]"_sj;
  }
  int& remembered = app.state.listPositions.chatBoardRow;
  while (true) {
    const int result = selectListRow(app, rows, remembered, count - 1);
    if (result == kListLeave) return kListLeave;
    if (result >= 0) {
      remembered = result;
      return result;
    }
  }
}

}  // namespace zazir

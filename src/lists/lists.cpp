#include "lists/lists.h"

#include <algorithm>

#include "compose/uploadview.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/uploadfile.h"

namespace zazir {

using namespace literals;

ListChoice chooseFromList(App& app, std::span<const std::string> rows, int startRow, int lastRow,
                          int rowOffset, Resizes resizes, const ListLook& look) {
  int row = startRow;
  while (true) {
    const ListChoice choice =
        selectListRow(app.console, rows, row, lastRow, rowOffset, resizes, look);
    switch (choice.action) {
      case ListAction::ViewUploadFile:
        viewUploadFile(app);
        row = choice.row;
        break;
      case ListAction::HelpShown:
        row = startRow;
        break;
      default:
        return choice;
    }
  }
}

std::string boardRow(const std::string& label, std::optional<int> unread, int items) {
  if (!unread) return label;
  // Beside the host's "★未読あり(3件)", a bare "0" would read as a
  // contradiction: the count says what it is a part of.
  const std::string count = formatText(" [未読 %i/%i]"_sj, *unread, items);
  return label.size() + count.size() <= kListRowBytes ? label + count : label;
}

namespace {

// What the board list adds to the help of every list: no key, the meaning
// of its counts.
ListKeys boardListNotes() {
  static const Binding<ListAction> kNotes[] = {
      {{}, ListAction::HelpShown, "［未読 2/3］：ログにある3件のうち、まだ読んでいない件数"_sj},
      {{}, ListAction::HelpShown, "（★未読あり，★新着ありは接続したときのホストの表示）"_sj},
  };
  return kNotes;
}

}  // namespace

std::optional<Picked<int>> chooseBoard(App& app, const std::vector<BoardEntry>& boards,
                                       MarkSection section) {
  const int count = static_cast<int>(boards.size());
  if (count == 0) return std::nullopt;
  ListPositions& at = app.state.listPositions;
  // The position is shared by the message and the file board lists, so it
  // may lie beyond the table opened now.
  at.boardListRow = std::clamp(at.boardListRow, 0, kListPageRows - 1);
  at.boardListPage = std::max(at.boardListPage, 0);
  while (at.boardListPage * kListPageRows + at.boardListRow >= count) {
    if (at.boardListPage > 0) {
      --at.boardListPage;
    } else {
      --at.boardListRow;
    }
  }
  const int lastPage = (count - 1) / kListPageRows;
  int startRow = at.boardListRow;
  while (true) {
    ListRows rows{};
    int filled = 0;
    for (int k = 0; k < kListPageRows; ++k) {
      const int entry = at.boardListPage * kListPageRows + k;
      if (entry >= count) break;
      rows[k] = boardRow(boards[entry].label, app.marks.unreadCount(section, entry),
                         app.marks.itemCount(section, entry).value_or(0));
      filled = k + 1;
    }
    const ListChoice choice =
        chooseFromList(app, rows, startRow, filled - 1, 0, Resizes::Absorb, {boardListNotes()});
    if (choice.action == ListAction::Leave) return std::nullopt;
    if (choice.row >= 0) {
      at.boardListRow = choice.row;
      return Picked<int>{at.boardListPage * kListPageRows + choice.row, choice.action};
    }
    startRow = turnListPage(choice.action, at.boardListPage, lastPage, startRow);
  }
}

std::optional<int> chooseChatBoard(App& app) {
  const std::vector<ChatBoardEntry>& boards = app.index.chatBoards;
  const int count = std::min(static_cast<int>(boards.size()), kListPageRows);
  if (count == 0) return std::nullopt;
  ListRows rows{};
  for (int k = 0; k < count; ++k) {
    rows[k] = boards[k].label;
    if (rows[k].empty()) continue;
    const bool recorded = isUsableBackLogName(boards[k].name) && isReadableFile(boards[k].name);
    rows[k] += recorded ? " [→]"_sj : " [×]"_sj;
  }
  int& remembered = app.state.listPositions.chatBoardRow;
  int startRow = remembered;
  while (true) {
    const ListChoice choice = chooseFromList(app, rows, startRow, count - 1);
    if (choice.action == ListAction::Leave) return std::nullopt;
    if (choice.row >= 0) {
      remembered = choice.row;
      return choice.row;
    }
    startRow = restartRow(choice.action, startRow, count - 1);
  }
}

}  // namespace zazir

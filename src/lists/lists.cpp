#include "lists/lists.h"

#include <algorithm>

#include "formats/loglines.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/uploadfile.h"

namespace zazir {

using namespace literals;

ListChoice chooseFromList(App& app, ListScreen& list, ListLook look) {
  look.viewUploadFile = [&app] { viewUploadFile(app); };
  return chooseRow(app.console, list, look);
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
      {{}, ListAction::Help, "［未読 2/3］：ログにある3件のうち、まだ読んでいない件数"_sj},
      {{}, ListAction::Help, "（★未読あり，★新着ありは接続したときのホストの表示）"_sj},
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
  ListScreen list = ListScreen::ofEntries({kListPageRows}, count, [&](int entry) {
    return boardRow(boards[entry].label, app.marks.unreadCount(section, entry),
                    app.marks.itemCount(section, entry).value_or(0));
  });
  list.open(at.boardListPage, at.boardListRow);
  const ListChoice choice = chooseFromList(app, list, {boardListNotes()});
  at.boardListPage = list.page();  // kept when the list is left too
  if (choice.action == ListAction::Leave) return std::nullopt;
  at.boardListRow = list.row();
  return Picked<int>{choice.entry, choice.action};
}

std::optional<int> chooseChatBoard(App& app) {
  const std::vector<ChatBoardEntry>& boards = app.index.chatBoards;
  const int count = std::min(static_cast<int>(boards.size()), kListPageRows);
  if (count == 0) return std::nullopt;
  std::vector<std::string> rows(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    rows[k] = boards[k].label;
    if (rows[k].empty()) continue;
    const bool recorded = isUsableBackLogName(boards[k].name) && isReadableFile(boards[k].name);
    rows[k] += recorded ? " [→]"_sj : " [×]"_sj;
  }
  int& remembered = app.state.listPositions.chatBoardRow;
  ListScreen list = ListScreen::ofEntries({kListPageRows, 1, ListPaging::OnePage}, count,
                                          [&](int k) { return rows[k]; });
  list.open(0, remembered);
  const ListChoice choice = chooseFromList(app, list);
  if (choice.action == ListAction::Leave) return std::nullopt;
  remembered = choice.entry;
  return choice.entry;
}

}  // namespace zazir

#include "readers/titlelist.h"

#include "lists/lists.h"
#include "text/cp932.h"

namespace zazir {

std::optional<TitlePick> chooseTitle(App& app, int count, int current,
                                     const std::function<std::string(int item)>& row) {
  if (count <= 0) return std::nullopt;
  const int lastPage = (count - 1) / kListPageRows;
  int page = current / kListPageRows;
  int startRow = current % kListPageRows;
  while (true) {
    ListRows rows{};
    int filled = 0;
    for (int k = 0; k < kListPageRows && page * kListPageRows + k < count; ++k) {
      rows[static_cast<std::size_t>(k)] = row(page * kListPageRows + k);
      filled = k + 1;
    }
    const ListChoice choice = chooseFromList(app, rows, startRow, filled - 1);
    if (choice.action == ListAction::Leave) return std::nullopt;
    if (choice.row >= 0) return TitlePick{page * kListPageRows + choice.row, choice.action};
    startRow = turnListPage(choice.action, page, lastPage, startRow);
  }
}

std::string titleMarks(bool unread, bool marked) {
  return std::string{unread ? 'N' : ' ', marked ? '*' : ' ', ' '};
}

std::string titleColumn(std::string_view text, std::size_t width) {
  std::string column(cutToBytes(text, width));
  column.resize(width, ' ');
  return column + ' ';
}

}  // namespace zazir

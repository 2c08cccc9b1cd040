#include "readers/titlelist.h"

#include "lists/lists.h"
#include "text/cp932.h"

namespace zazir {

std::optional<TitlePick> chooseTitle(App& app, int count, int current,
                                     const std::function<std::string(int item)>& row) {
  if (count <= 0) return std::nullopt;
  ListScreen list = ListScreen::ofEntries({kListPageRows}, count, row);
  list.open(current / kListPageRows, current % kListPageRows);
  const ListChoice choice = chooseFromList(app, list);
  if (choice.action == ListAction::Leave) return std::nullopt;
  return TitlePick{choice.entry, choice.action};
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

#include "readers/titlelist.h"

#include "lists/lists.h"
#include "platform/encoding.h"
#include "readers/threads.h"
#include "text/cp932.h"

namespace zazir {

namespace {

using namespace literals;

ListKeys titleKeys() {
  static const Binding<ListAction> kKeys[] = {
      {{'O', 'o'}, ListAction::Order, "Ｏ：スレッド順とログ順の切り替え"_sj, "O:ｽﾚｯﾄﾞ/ﾛｸﾞ順"_sj},
  };
  return kKeys;
}

}  // namespace

std::optional<TitlePick> chooseTitle(App& app, const TitleListing& listing, int current,
                                     bool& threaded) {
  if (listing.count <= 0) return std::nullopt;
  int item = current;
  while (true) {
    const Threads* threads = threaded && listing.threads ? &listing.threads() : nullptr;
    const auto itemAt = [&](int row) { return threads ? threads->messageAt(row) : row; };
    ListScreen list = ListScreen::ofEntries({kListPageRows}, listing.count, [&](int row) {
      const int shown = itemAt(row);
      return listing.row(shown, threads ? threads->treeMarks(shown) : std::string());
    });
    const int at = threads ? threads->rowOf(item) : item;
    list.open(at / kListPageRows, at % kListPageRows);
    const ListChoice choice =
        chooseFromList(app, list, {.added = listing.threads ? titleKeys() : ListKeys{}});
    if (choice.action == ListAction::Leave) return std::nullopt;
    item = itemAt(choice.entry);
    if (choice.action != ListAction::Order) return TitlePick{item, choice.action};
    threaded = !threaded;
  }
}

KeyRows titleListKeyRows() {
  return keyRowsOf(titleKeys());
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

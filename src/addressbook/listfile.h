// What the address book's lists (the ID list, the group list) share: the
// file each shows, read or told on screen that it cannot be, and the key
// loop and status bar around the list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/listscreen.h"
#include "console/screen.h"

namespace zazir {

class Console;

// The file a list shows: what it is called on screen, the configuration
// key that names it, where it is, and the attribute of the notice that it
// cannot be read.
struct ListFile {
  std::string_view name;
  std::string_view key;
  const std::string& path;
  Attribute noticeAttribute;
};

// The bytes of the file; when it cannot be read, a notice from row 22
// until a key, and nothing.
std::optional<std::string> readListFile(Console& console, const ListFile& file);

// The list's status bar on row 23 in `attribute`: "ZAZIR", the list's
// `title`, the `hints` and where the page stands.
void drawListBar(Console& console, Attribute attribute, std::string_view title,
                 std::string_view hints, const ListScreen& list);

// An address book list's table: the list's keys with its `own`, help, and
// Esc and Q leaving without a choice.
template <typename Action>
std::vector<Binding<ListKey<Action>>> addressListTable(
    ListMoves moves, std::initializer_list<Binding<ListKey<Action>>> own,
    std::string_view firstLast) {
  using namespace literals;
  return listTable<Action>(moves, own, firstLast,
                           helpAndLeave(Action::Help, Action::Leave, "ESC，Ｑ：選ばずに戻る"_sj));
}

// The entries of a list file as a grid of `pageRows` to a page, `rowLength`
// to a row, each shown by its `shown` field.
template <typename Entry>
ListScreen addressList(const std::vector<Entry>& entries, std::string Entry::*shown, int pageRows,
                       int rowLength) {
  ListScreen list = ListScreen::ofEntries({pageRows, rowLength, ListPaging::Entries},
                                          static_cast<int>(entries.size()),
                                          [&entries, shown](int k) { return entries[k].*shown; });
  list.open(0, 0);
  return list;
}

// An address book list until it is left: help shows the table, Esc and Q
// leave with the screen cleared; the list's other actions go to `act`.
template <typename Action, typename Act, typename Draw>
void runAddressList(Console& console, ListScreen& list, KeyTable<ListKey<Action>> table, Act act,
                    Draw draw) {
  runListScreen<Action>(
      console, list, table,
      [&](Action action) {
        using namespace literals;
        if (action == Action::Help) {
          showHelp(console, "メニュー選択"_sj, table);
          return Outcome::Redraw;
        }
        if (action != Action::Leave) return act(action);
        console.clearScreen();
        return Outcome::Leave;
      },
      draw);
}

}  // namespace zazir

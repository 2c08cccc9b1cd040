// The list screen every choice is made on: rows under the title bar, one
// of them highlighted, and the key that ended the choice.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/keymap.h"

namespace zazir {

// A list page holds 23 rows, each of at most 79 bytes shown.
inline constexpr int kListPageRows = 23;
inline constexpr std::size_t kListRowBytes = 79;
using ListRows = std::array<std::string, kListPageRows>;

// The rows of a page of the lists that take every row of the terminal
// (the chat line and the Notewall lists): 23, more on a taller terminal.
int fullListRows(const Console& console);

// What ended a choice. Choose, Write and Reply pick the highlighted row;
// ViewUploadFile leaves the highlighted row where it was; HelpShown comes
// after the help box; First and Last ask for the list's first or last row;
// Resized tells a list that takes every row that the terminal's height
// changed; Search and NextUnread come from keys a list adds (ListKeys).
enum class ListAction : std::uint8_t {
  Choose,
  Write,
  Reply,
  ViewUploadFile,
  HelpShown,
  Leave,
  PageBack,
  PageForward,
  First,
  Last,
  Resized,
  Search,
  NextUnread,
};

// Keys one list adds to those of every list: in its help box, not on the
// bar, which is the same on every list.
using ListKeys = std::span<const Binding<ListAction>>;

// What one list changes of the list screen.
struct ListLook {
  ListKeys added = {};
  // A row of its own above the list's first row (on screen row rowOffset).
  std::string_view heading = {};
  // W and R, for a list of things to write to or answer; without them
  // the keys do nothing and neither the bar nor the help box names them.
  bool writes = true;
};

struct ListChoice {
  ListAction action = ListAction::Leave;
  int row = -1;  // the highlighted row for Choose, Write, Reply, ViewUploadFile and Resized
  bool operator==(const ListChoice&) const = default;
};

// Shows the page `rows` under the title bar (row k on screen row
// rowOffset + 1 + k) with row `startRow` highlighted, and waits for the
// key that ends the choice. Rows beyond `lastRow` cannot be highlighted;
// on a page without rows (lastRow < 0) the keys that would choose or move
// page back. With Resizes::Report a change of the terminal's size ends the
// choice as Resized. The keys `look` adds give their action with the
// highlighted row.
ListChoice selectListRow(Console& console, std::span<const std::string> rows, int startRow,
                         int lastRow, int rowOffset = 0, Resizes resizes = Resizes::Absorb,
                         const ListLook& look = {});

// For a list of pages of `pageRows` rows: after a page was turned
// (PageBack or PageForward) or the first or last row was asked for, moves
// `page` within 0..lastPage and gives the row the page is shown again
// with; any other action keeps the page and `startRow`.
int turnListPage(ListAction action, int& page, int lastPage, int startRow,
                 int pageRows = kListPageRows);

// For a list of one page: the row it is shown again with after `action`:
// row 0 or `lastRow` for First and Last, else `startRow`.
int restartRow(ListAction action, int startRow, int lastRow);

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows listKeyRows();

}  // namespace zazir

// The list screen every choice is made on: rows under the title bar, one
// of them highlighted, and the key that ended the choice.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/keymap.h"
#include "console/listscreen.h"

namespace zazir {

// A list page holds 23 rows, each of at most 79 bytes shown.
inline constexpr int kListPageRows = 23;
inline constexpr std::size_t kListRowBytes = 79;
using ListRows = std::array<std::string, kListPageRows>;

// The rows of a page of the lists that take every row of the terminal
// (the chat line and the Notewall lists): 23, more on a taller terminal.
int fullListRows(const Console& console);

// The keys of the list screen. Choose, Write and Reply pick the
// highlighted row; ViewUploadFile comes back to it; Search and NextUnread
// come from keys a list adds (ListKeys).
enum class ListAction : std::uint8_t {
  Choose,
  Write,
  Reply,
  ViewUploadFile,
  Help,
  Leave,
  Search,
  NextUnread,
};

// Keys one list adds to those of every list: in its help box, not on the
// bar, which is the same on every list.
using ListKeys = std::span<const Binding<ListAction>>;

// What one list changes of the list screen.
struct ListLook {
  ListKeys added = {};
  // A row of its own above the list's first row (on screen row rowOffset),
  // made anew for every drawing.
  std::function<std::string()> heading = {};
  // The list's first row stands on screen row rowOffset + 1.
  int rowOffset = 0;
  // W and R, for a list of things to write to or answer; without them
  // the keys do nothing and neither the bar nor the help box names them.
  bool writes = true;
  // With Resizes::Report the list follows the terminal's height: `fit`
  // lays it out before every drawing.
  Resizes resizes = Resizes::Absorb;
  std::function<void()> fit = {};
  // F: the upload file, shown on the way back to the same row.
  std::function<void()> viewUploadFile = {};
};

// The choice that ended the list: Choose, Write, Reply or a key the list
// added, with the list's entry under the cursor (-1 on an empty page);
// or Leave.
struct ListChoice {
  ListAction action = ListAction::Leave;
  int entry = -1;
  bool operator==(const ListChoice&) const = default;
};

// Shows `list` under the title bar and runs it until a choice is made. On
// a page without rows the keys that would choose page back instead.
ListChoice chooseRow(Console& console, ListScreen& list, const ListLook& look = {});

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows listKeyRows();

}  // namespace zazir

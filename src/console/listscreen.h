// A list on the screen: its entries a page at a time, the cursor on one of
// them, and the moves every list binds. Each list draws itself and gives
// its own actions; the list screen keeps the page and the cursor.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console/keymap.h"
#include "platform/encoding.h"

namespace zazir {

// The moves the lists bind: by an entry, by a row of entries, by a page,
// to the first or last entry.
enum class CursorMove : std::uint8_t { Left, Right, Up, Down, PageBack, PageForward, First, Last };

// How a list turns its pages.
enum class ListPaging : std::uint8_t {
  // A grid: moves go entry by entry across the pages and stop at either
  // end; the page keys keep the place on the page.
  Entries,
  // Moving off a page's top or bottom turns it; the next page opens on its
  // first row, the one before on its last. A page may be empty. Help brings
  // the cursor back to the row the page was opened on.
  Pages,
  // One page: a turn gives back the row the list was opened on.
  OnePage,
  // One page whose turns always give back its first row, Home and End
  // reaching the ends all the same (the main menu).
  OnePageFromTop,
};

struct ListShape {
  int pageRows = 0;   // entries on a page
  int rowLength = 1;  // entries side by side on a row of the screen
  ListPaging paging = ListPaging::Pages;
};

class ListScreen {
 public:
  // The entries of page `page`, at most a page of them. A loader that finds
  // the list ends before that page shows the last one instead, by
  // changing `page`.
  using PageLoader = std::function<std::vector<std::string>(int& page)>;
  // The last page as far as known; `toEnd` when the last entry is asked
  // for, which a list still being found may look for.
  using LastPage = std::function<int(int page, bool toEnd)>;

  ListScreen(ListShape shape, PageLoader load, LastPage lastPage);
  // A list of `count` entries, `entry` giving each.
  static ListScreen ofEntries(ListShape shape, int count,
                              const std::function<std::string(int index)>& entry);

  // Shows page `page` with the cursor on `row`, kept within its entries.
  void open(int page, int row);

  struct Moved {
    bool page = false;     // another page is shown
    bool stopped = false;  // a grid's move went past an end and stopped there
  };
  Moved move(CursorMove move);
  // After the help box: the cursor back where the page was opened.
  void backToStart();
  // A page the list cannot choose on (an empty one) goes back a page.
  bool empty() const { return rows_.empty(); }
  void leaveEmptyPage() { move(CursorMove::PageBack); }
  // Pages of `pageRows` rows, on the one holding the cursor's entry.
  void repage(int pageRows);
  // The start of the page again: `row` where a list shows it once more.
  void restartAt(int row) { startRow_ = row; }

  int pageRows() const { return shape_.pageRows; }
  int page() const { return page_; }
  int row() const { return row_; }  // on the page; -1 on an empty one
  int index() const { return page_ * shape_.pageRows + row_; }
  const std::vector<std::string>& rows() const { return rows_; }
  int lastRow() const { return static_cast<int>(rows_.size()) - 1; }

  // "Top" on the first page, "Bottom" on the last, else how far the page
  // is through the list ("%i%%").
  std::string pagePosition() const;

 private:
  void load();
  Moved moveEntries(CursorMove move);
  Moved turn(CursorMove move);

  ListShape shape_;
  PageLoader load_;
  LastPage lastPage_;
  int count_ = -1;  // known for a grid
  int page_ = 0;
  int row_ = 0;
  int startRow_ = 0;
  std::vector<std::string> rows_;
};

// A list's key table binds the list's moves and its own actions.
template <typename Action>
using ListKey = std::variant<CursorMove, Action>;

// The cursor keys of a list: up and down, left and right too in a grid,
// the first with the status bar's `hint`.
struct ListMoves {
  bool sideways = false;
  std::string_view hint = {};
};

// A list's table: the cursor keys, the list's `own` bindings, the page keys
// and Home and End (`firstLast` their help), then `after`.
template <typename Action>
std::vector<Binding<ListKey<Action>>> listTable(
    ListMoves moves, std::initializer_list<Binding<ListKey<Action>>> own,
    std::string_view firstLast, const std::vector<Binding<ListKey<Action>>>& after = {}) {
  using Row = ListKey<Action>;
  std::vector<Binding<Row>> table;
  table.push_back(row::cursorUp<Row>(CursorMove::Up, moves.hint));
  if (moves.sideways) {
    // Left comes first in a grid, with the cursor keys' help and hint.
    Binding<Row> left = table.back();
    left.keys = kLeftKeys;
    left.action = CursorMove::Left;
    table.back().help = {};
    table.back().hint = {};
    table.insert(table.begin(), {left, {kRightKeys, CursorMove::Right}});
  }
  table.push_back({kDownKeys, CursorMove::Down});
  table.insert(table.end(), own);
  table.push_back(row::pageForward<Row>(CursorMove::PageForward));
  table.push_back(row::pageBack<Row>(CursorMove::PageBack));
  table.push_back({{key::kHome}, CursorMove::First, firstLast});
  table.push_back({{key::kEnd}, CursorMove::Last});
  table.insert(table.end(), after.begin(), after.end());
  return table;
}

// The rows that end a chooser's table: help, and leaving (`leaveHelp`).
template <typename Action>
std::vector<Binding<ListKey<Action>>> helpAndLeave(Action help, Action leave,
                                                   std::string_view leaveHelp) {
  return {row::help<ListKey<Action>>(help), {kLeaveKeys, leave, leaveHelp}};
}

// A list's key loop: the moves go to the list, which is drawn again; the
// list's own actions go to `act`.
template <typename Action, typename Act, typename Draw>
void runListScreen(Console& console, ListScreen& list, KeyTable<ListKey<Action>> table, Act act,
                   Draw draw, Resizes resizes = Resizes::Absorb) {
  runKeyLoop(
      console, table,
      [&](const ListKey<Action>& key) {
        if (const CursorMove* move = std::get_if<CursorMove>(&key)) {
          list.move(*move);
          return Outcome::Redraw;
        }
        return act(std::get<Action>(key));
      },
      draw, resizes);
}

}  // namespace zazir

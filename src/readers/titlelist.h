// The title list of a reader: one row per item, read from the log only
// when its page is shown, so that a board of any size opens at once.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "console/listview.h"

namespace zazir {

struct App;

struct TitlePick {
  int item = 0;
  ListAction action = ListAction::Choose;  // Choose, Write or Reply
};

class Threads;

// What a title list shows: `count` items, `row` giving an item's row with
// the tree marks before its title; where the items have threads,
// `threads` gives them (read once, when first asked for).
struct TitleListing {
  int count = 0;
  std::function<std::string(int item, std::string_view treeMarks)> row;
  std::function<const Threads&()> threads = {};
};

// The title list opening on item `current`, in thread order while
// `threaded` (which O switches, where there are threads). None when the
// user leaves it.
std::optional<TitlePick> chooseTitle(App& app, const TitleListing& listing, int current,
                                     bool& threaded);

// The keys the title list adds to every list's, for the list of every
// screen's keys (app/keytables).
KeyRows titleListKeyRows();

// The start of a row: "N" for an item not read, "*" for one marked (for
// the batch reply, for download).
std::string titleMarks(bool unread, bool marked);

// `text` cut on a character boundary, or padded with blanks, to `width`
// bytes and a blank.
std::string titleColumn(std::string_view text, std::size_t width);

}  // namespace zazir

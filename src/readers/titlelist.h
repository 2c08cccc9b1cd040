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

// The list of `count` items opening on `current`; `row` gives an item's
// row. None when the user leaves it.
std::optional<TitlePick> chooseTitle(App& app, int count, int current,
                                     const std::function<std::string(int item)>& row);

// The start of a row: "N" for an item not read, "*" for one marked (for
// the batch reply, for download).
std::string titleMarks(bool unread, bool marked);

// `text` cut on a character boundary, or padded with blanks, to `width`
// bytes and a blank.
std::string titleColumn(std::string_view text, std::size_t width);

}  // namespace zazir

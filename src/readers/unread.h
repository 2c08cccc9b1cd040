// Read marks as the readers keep them: an item is read once shown, the
// marks are saved now and then, and Tab looks for the next item not read
// in the menu's order (mail, message boards, file boards).
#pragma once

#include <optional>

#include "readers/place.h"

namespace zazir {

struct App;
class Console;
class ReadMarks;
struct Series;

// Makes a series known to the read marks with its items.
void trackSeries(App& app, const Series& series);

// Makes the board of `section` known to the read marks with its number of
// items, indexing it when that is not known yet; gives its unread count.
int trackedUnread(App& app, MarkSection section, int board);

// Rings the bell and says that nothing is left unread.
void tellNothingUnread(Console& console);

// Keeps the read marks (ReadMarks::keep), telling the run's first failure.
void saveReadMarks(Console& console, ReadMarks& marks);

struct UnreadFound {
  ReaderPlace place;
  bool wrapped = false;  // found only after going back to the start
};

// The first item not read after `after` (item -1: from the start of its
// series), which has `count` items: in the rest of that series, then in
// the later ones, then from the start of the mail. None when every item
// is read.
std::optional<UnreadFound> findUnread(App& app, const ReaderPlace& after, int count);

}  // namespace zazir

// Where a reader opens: a mail, a message or a file entry, and the match
// a search found there.
#pragma once

#include <optional>

#include "marks/readmarks.h"
#include "search/rangesearch.h"

namespace zazir {

struct ReaderPlace {
  MarkSection section = MarkSection::Mail;
  int board = 0;  // index into the index's table of its kind; 0 for mail
  int item = 0;   // from 0
  bool operator==(const ReaderPlace&) const = default;
};

struct ReaderOpening {
  int item = 0;
  // Shown in reverse video, with its line brought into view; `n` and `N`
  // go on from it with the run's last search text.
  std::optional<search::RangeMatch> match = {};
};

}  // namespace zazir

// Matches in one part of the log (a board, the mail), for the readers'
// search: every place the pattern matches, found a block at a time with the
// whole-log search's anchor, the lines never read one by one.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/linestream.h"
#include "search/anchor.h"
#include "search/fold.h"

namespace zazir::search {

struct RangeMatch {
  LogOffset start = 0;
  std::uint32_t bytes = 0;
  bool operator==(const RangeMatch&) const = default;
};

// Every match that starts in [from, to), in log order; `from` must start a
// character. Reads `blocks` (the log, best through a large buffer) from
// `from` to a match's length past `to`, or to its end.
std::vector<RangeMatch> matchesIn(LineStream& blocks, LogOffset from, LogOffset to,
                                  const SearchPattern& pattern, const Anchor& anchor);

}  // namespace zazir::search

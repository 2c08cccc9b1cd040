// What a row of the hit list shows of a hit, read from the log: the title
// or the ID, and the matching line around the match.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "formats/logindex.h"
#include "search/hit.h"

namespace zazir::search {

struct HitRow {
  // The mail's or message's title, the file entry's line, the ID of a
  // Notewall or chat line.
  std::string title;
  // The matching line (of a Notewall or chat line, the text after the ID)
  // in at most the width asked for, "…" where it is cut.
  std::string line;
  std::size_t matchAt = 0;  // where the match begins in `line`; npos: in the ID
};

// The row texts of a hit. The line starts a third of the width before the
// match when it is too long to show whole, later when the match would not
// fit; no cut falls inside a word of ASCII unless the match lies in it.
HitRow describeHit(LineStream& log, const LogIndex& index, const SearchHit& hit, std::size_t width);

// `text` in at most `width` bytes: whole, or cut on a character boundary
// with "…" after it.
std::string cutMarked(std::string_view text, std::size_t width);

}  // namespace zazir::search

// The exact check of a candidate the anchor found, in a window of the text
// that starts on a character: shared by the whole-log search and the
// search of one board.
#pragma once

#include <cstddef>
#include <string_view>

#include "search/anchor.h"
#include "search/fold.h"

namespace zazir::search {

// Whether a character starts at `at` of `data`, which starts with one.
bool isCharStart(std::string_view data, std::size_t at);

// Whether `pattern` matches around `at`, where a candidate of `anchor`
// lies: the match's first byte and the byte after it.
bool matchAround(std::string_view data, std::size_t at, const SearchPattern& pattern,
                 const Anchor& anchor, std::size_t& start, std::size_t& end);

// Bytes a window keeps before and after the places it judges: the most a
// match of `pattern` can take.
inline std::size_t matchMargin(const SearchPattern& pattern) {
  return 2 * pattern.units.size() + 8;
}

}  // namespace zazir::search

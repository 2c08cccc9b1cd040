// Matching as a person expects it of a Japanese log: ASCII letters in
// either case, full-width and half-width forms (Ａ/A, ｱ/ア, ｶﾞ/ガ) alike.
// Text is CP932 bytes; a match never starts or ends inside a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zazir::search {

// One character as matching sees it: an ASCII letter in lower case, a
// full-width form of ASCII as the ASCII byte, a half-width katakana (with
// the voiced or semi-voiced mark that follows it) as the full-width one,
// anything else its own code (a byte, or lead << 8 | trail).
using Unit = std::uint16_t;

struct Folded {
  Unit unit;
  std::size_t size;  // bytes of the text it takes: 1 or 2
};

// The unit that starts at `at` (a character start, below text.size()).
Folded foldAt(std::string_view text, std::size_t at);

// Every byte sequence that folds to `unit`, as the text may hold it.
std::vector<std::string> rawForms(Unit unit);

struct SearchPattern {
  std::vector<Unit> units;  // empty: the pattern finds nothing
};

// The pattern for a search text in CP932.
SearchPattern compilePattern(std::string_view text);

struct MatchSpan {
  std::size_t start = 0;
  std::size_t size = 0;
  bool operator==(const MatchSpan&) const = default;
};

// Where the pattern matches from `at`, a unit start: the match's end, or
// npos when it does not.
std::size_t matchAt(std::string_view text, std::size_t at, const SearchPattern& pattern);

// Every match in one line or text, left to right, none overlapping: the
// spans a reader shows in reverse video.
std::vector<MatchSpan> findMatches(std::string_view text, const SearchPattern& pattern);

}  // namespace zazir::search

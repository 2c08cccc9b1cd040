// Where a match may start, found a vector of bytes at a time: one unit of
// the pattern, the rarest in the log's own bytes, in each of its raw forms,
// each form told by two adjacent bytes. A candidate still needs the exact
// check; a position that can start that unit is never missed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "formats/logscan.h"
#include "search/fold.h"

namespace zazir::search {

// Bytes b with (b & mask) == value for one of the pairs; a mask of 0xDF
// takes both cases of an ASCII letter at once. No pairs: any byte.
struct ByteSet {
  static constexpr std::size_t kMaxPairs = 4;
  std::array<std::uint8_t, kMaxPairs> masks{};
  std::array<std::uint8_t, kMaxPairs> values{};
  std::size_t count = 0;

  bool any() const { return count == 0; }
  bool contains(std::uint8_t byte) const;
};

// A byte of `first` followed by a byte of `second`.
struct PairTest {
  ByteSet first;
  ByteSet second;
};

struct Anchor {
  static constexpr std::size_t kMaxTests = 4;
  std::size_t unit = 0;  // the pattern unit whose first byte a candidate is
  std::vector<PairTest> tests;
};

// The anchor for a pattern with units, chosen by the byte counts of
// `sample` (a part of the text to be searched).
Anchor chooseAnchor(const SearchPattern& pattern, std::string_view sample);

// Appends to `out` every position p below `size` where a test passes on
// data[p] and data[p + 1]; data[size] must be readable.
void findCandidates(const char* data, std::size_t size, const Anchor& anchor,
                    std::vector<std::uint32_t>& out);
void findCandidates(const char* data, std::size_t size, const Anchor& anchor,
                    std::vector<std::uint32_t>& out, logscan::Isa isa);

// The size of the chunks findFeedlessChunks judges.
inline constexpr std::size_t kFeedChunk = 512;

// Appends the start of every whole chunk of kFeedChunk bytes (from data's
// start) that holds no line feed.
void findFeedlessChunks(const char* data, std::size_t size, std::vector<std::uint32_t>& out);

}  // namespace zazir::search

#include "search/anchor.h"

#include <algorithm>
#include <bit>
#include <set>

#include "platform/simd.h"

namespace zazir::search {

namespace {

bool isLetter(std::uint8_t byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// The smallest set of pairs that holds exactly `bytes`: a letter and its
// other case share one pair. Too many pairs make a set of any byte, which
// still misses nothing.
ByteSet setOf(const std::set<std::uint8_t>& bytes) {
  ByteSet set;
  for (const std::uint8_t byte : bytes) {
    const bool bothCases = isLetter(byte) && bytes.count(byte ^ 0x20) != 0;
    if (bothCases && byte >= 'a') continue;  // taken with its capital
    if (set.count == ByteSet::kMaxPairs) return ByteSet{};
    set.masks[set.count] = bothCases ? 0xDF : 0xFF;
    set.values[set.count] = bothCases ? byte & 0xDF : byte;
    ++set.count;
  }
  return set;
}

std::set<std::uint8_t> firstBytes(Unit unit) {
  std::set<std::uint8_t> bytes;
  for (const std::string& form : rawForms(unit)) bytes.insert(static_cast<std::uint8_t>(form[0]));
  return bytes;
}

std::vector<PairTest> testsFor(const SearchPattern& pattern, std::size_t at) {
  std::set<std::uint8_t> singles;
  std::vector<std::pair<std::uint8_t, std::set<std::uint8_t>>> byLead;
  for (const std::string& form : rawForms(pattern.units[at])) {
    const auto first = static_cast<std::uint8_t>(form[0]);
    if (form.size() == 1) {
      singles.insert(first);
      continue;
    }
    auto lead = byLead.begin();
    while (lead != byLead.end() && lead->first != first) ++lead;
    if (lead == byLead.end()) lead = byLead.insert(byLead.end(), {first, {}});
    lead->second.insert(static_cast<std::uint8_t>(form[1]));
  }
  std::vector<PairTest> tests;
  if (!singles.empty()) {
    // A one-byte form is told by the unit after it, when there is one.
    const bool last = at + 1 == pattern.units.size();
    tests.push_back({setOf(singles), last ? ByteSet{} : setOf(firstBytes(pattern.units[at + 1]))});
  }
  for (const auto& [lead, trails] : byLead) tests.push_back({setOf({lead}), setOf(trails)});
  return tests;
}

double share(const ByteSet& set, const std::array<double, 256>& counts, double total) {
  if (set.any()) return 1.0;
  double sum = 0;
  for (int byte = 0; byte < 256; ++byte) {
    if (set.contains(static_cast<std::uint8_t>(byte))) sum += counts[byte];
  }
  return sum / total;
}

struct PaddedPair {
  std::uint8_t mask;
  std::uint8_t value;
};

// Pair `k` of a set in a loop that tests a fixed number of pairs: any
// byte passes the first pair of an empty set, none passes a pair the set
// lacks.
PaddedPair paddedPair(const ByteSet& set, std::size_t k) {
  if (k < set.count) return {set.masks[k], set.values[k]};
  if (k == 0) return {0, 0};
  return {0, 1};
}

std::size_t pairsOf(const Anchor& anchor) {
  std::size_t pairs = 1;
  for (const PairTest& test : anchor.tests) {
    pairs = std::max({pairs, test.first.count, test.second.count});
  }
  return pairs;
}

#define ZAZIR_SIMD_LOOP "search/anchor_loop.inc"
#include "platform/simd_each.inc"

logscan::Isa bestIsa() {
  using logscan::Isa;
  if (logscan::isaAvailable(Isa::Avx2)) return Isa::Avx2;
  if (logscan::isaAvailable(Isa::Sse2)) return Isa::Sse2;
  return Isa::Portable;
}

}  // namespace

bool ByteSet::contains(std::uint8_t byte) const {
  if (count == 0) return true;
  for (std::size_t k = 0; k < count; ++k) {
    if ((byte & masks[k]) == values[k]) return true;
  }
  return false;
}

Anchor chooseAnchor(const SearchPattern& pattern, std::string_view sample) {
  // Four tables, so that a run of one byte does not wait on each count.
  std::array<std::array<std::uint32_t, 256>, 4> tallies{};
  std::size_t at = 0;
  for (; at + 4 <= sample.size(); at += 4) {
    for (std::size_t k = 0; k < 4; ++k) ++tallies[k][static_cast<std::uint8_t>(sample[at + k])];
  }
  for (; at < sample.size(); ++at) ++tallies[0][static_cast<std::uint8_t>(sample[at])];
  std::array<double, 256> counts;
  for (std::size_t byte = 0; byte < 256; ++byte) {
    // A byte the sample lacks is rare, not absent.
    counts[byte] = 1.0 + tallies[0][byte] + tallies[1][byte] + tallies[2][byte] + tallies[3][byte];
  }
  const double total = 256.0 + static_cast<double>(sample.size());
  Anchor best;
  double bestCost = 0;
  for (std::size_t unit = 0; unit < pattern.units.size(); ++unit) {
    std::vector<PairTest> tests = testsFor(pattern, unit);
    if (tests.empty() || tests.size() > Anchor::kMaxTests) continue;
    double cost = 0;
    for (const PairTest& test : tests) {
      cost += share(test.first, counts, total) * share(test.second, counts, total);
    }
    if (best.tests.empty() || cost < bestCost) {
      best = Anchor{unit, std::move(tests)};
      bestCost = cost;
    }
  }
  return best;
}

void findFeedlessChunks(const char* data, std::size_t size, std::vector<std::uint32_t>& out) {
  static const logscan::Isa best = bestIsa();
#ifdef ZAZIR_SIMD_X86
  if (best == logscan::Isa::Avx2) return avx2::feedless(data, size, out);
  if (best == logscan::Isa::Sse2) return sse2::feedless(data, size, out);
#endif
  portable::feedless(data, size, out);
}

void findCandidates(const char* data, std::size_t size, const Anchor& anchor,
                    std::vector<std::uint32_t>& out, logscan::Isa isa) {
  if (!logscan::isaAvailable(isa)) isa = logscan::Isa::Portable;
#ifdef ZAZIR_SIMD_X86
  if (isa == logscan::Isa::Avx2) return avx2::scan(data, size, anchor, out);
  if (isa == logscan::Isa::Sse2) return sse2::scan(data, size, anchor, out);
#endif
  portable::scan(data, size, anchor, out);
}

void findCandidates(const char* data, std::size_t size, const Anchor& anchor,
                    std::vector<std::uint32_t>& out) {
  static const logscan::Isa best = bestIsa();
  findCandidates(data, size, anchor, out, best);
}

}  // namespace zazir::search

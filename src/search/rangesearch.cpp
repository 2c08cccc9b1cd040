#include "search/rangesearch.h"

#include <algorithm>

#include "search/logsearch.h"
#include "search/verify.h"

namespace zazir::search {

std::vector<RangeMatch> matchesIn(LineStream& blocks, LogOffset from, LogOffset to,
                                  const SearchPattern& pattern, const Anchor& anchor) {
  std::vector<RangeMatch> found;
  if (pattern.units.empty() || to <= from) return found;
  const std::size_t margin = matchMargin(pattern);
  // A match that starts before `to` has its anchor before this.
  const LogOffset judgeTo = to + static_cast<LogOffset>(margin);
  std::vector<std::uint32_t> candidates;
  LogOffset cursor = from;  // every candidate before it was judged
  blocks.seek(from);
  while (cursor < judgeTo) {
    const LogOffset base = blocks.tell();
    const auto begin = static_cast<std::size_t>(cursor - base);
    const auto wanted = static_cast<std::size_t>(judgeTo - base) + margin;
    const std::string_view data = blocks.buffered(std::min(wanted, kSearchBlockBytes));
    if (data.size() <= begin) break;
    // The last window holds all that is left to judge with its margin, or
    // is all the data left (too little to keep a margin on either side:
    // a window that starts a byte early for a character still has room).
    const bool last =
        data.size() >= wanted || data.size() < std::max(begin + margin, 3 * margin + 1);
    const std::size_t end = last ? std::min(data.size(), wanted - margin) : data.size() - margin;
    candidates.clear();
    if (end > begin) {
      // The pair test reads the byte after a candidate; the data's last
      // byte has none, so its first byte alone makes it a candidate.
      const bool atDataEnd = end == data.size();
      const std::size_t paired = end - begin - (atDataEnd ? 1 : 0);
      findCandidates(data.data() + begin, paired, anchor, candidates);
      if (atDataEnd &&
          std::any_of(anchor.tests.begin(), anchor.tests.end(), [&](const PairTest& t) {
            return t.first.contains(static_cast<std::uint8_t>(data[end - 1]));
          })) {
        candidates.push_back(static_cast<std::uint32_t>(paired));
      }
    }
    for (const std::uint32_t candidate : candidates) {
      std::size_t start = 0;
      std::size_t stop = 0;
      if (!matchAround(data, begin + candidate, pattern, anchor, start, stop)) continue;
      const LogOffset at = base + static_cast<LogOffset>(start);
      if (at >= from && at < to) found.push_back({at, static_cast<std::uint32_t>(stop - start)});
    }
    cursor = base + static_cast<LogOffset>(end);
    if (last) break;
    // The next window starts on a character, early enough for a match
    // that begins before this one's end.
    std::size_t keep = end - margin;
    if (!isCharStart(data, keep)) --keep;
    blocks.skip(keep);
  }
  // Anchors in order may give starts out of order when the units before
  // the anchor differ in size.
  std::sort(found.begin(), found.end(),
            [](const RangeMatch& a, const RangeMatch& b) { return a.start < b.start; });
  return found;
}

}  // namespace zazir::search

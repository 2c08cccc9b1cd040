#include "search/verify.h"

#include "text/cp932.h"

namespace zazir::search {

namespace {

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

bool isMark(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value == kVoicedMark || value == kSemiVoicedMark;
}

// A unit starts at `at`: a character does, and it is no mark that the
// half-width kana before it takes.
bool isUnitStart(std::string_view data, std::size_t at) {
  if (!isCharStart(data, at)) return false;
  if (at == 0 || !isMark(data[at]) || !isCharStart(data, at - 1)) return true;
  return foldAt(data, at - 1).size != 2;
}

// The unit that ends at `at`, a unit start.
Folded foldBefore(std::string_view data, std::size_t at) {
  if (at >= 2 && !isCharStart(data, at - 1)) return foldAt(data, at - 2);
  if (at >= 2 && isMark(data[at - 1]) && isCharStart(data, at - 2)) {
    const Folded pair = foldAt(data, at - 2);
    if (pair.size == 2) return pair;
  }
  return foldAt(data.substr(0, at), at - 1);
}

}  // namespace

// A byte that cannot lead is followed by a character start, so the run of
// lead bytes before `at` must pair up.
bool isCharStart(std::string_view data, std::size_t at) {
  std::size_t leads = 0;
  while (leads < at && isLeadByte(data[at - 1 - leads])) ++leads;
  return leads % 2 == 0;
}

bool matchAround(std::string_view data, std::size_t at, const SearchPattern& pattern,
                 const Anchor& anchor, std::size_t& start, std::size_t& end) {
  const std::vector<Unit>& units = pattern.units;
  if (!isUnitStart(data, at)) return false;
  std::size_t here = at;
  for (std::size_t k = anchor.unit; k < units.size(); ++k) {
    if (here >= data.size()) return false;
    const Folded folded = foldAt(data, here);
    if (folded.unit != units[k]) return false;
    here += folded.size;
  }
  end = here;
  here = at;
  for (std::size_t k = anchor.unit; k-- > 0;) {
    if (here == 0) return false;
    const Folded folded = foldBefore(data, here);
    if (folded.unit != units[k]) return false;
    here -= folded.size;
  }
  start = here;
  return true;
}

}  // namespace zazir::search

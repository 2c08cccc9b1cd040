#include "search/anchor.h"

#include <gtest/gtest.h>

#include <random>

#include "support/scripted_backend.h"

namespace zazir::search {
namespace {

using logscan::Isa;
using testing::sj;

// Every instruction set finds the same candidates, and every place where
// the anchored unit stands in one of its forms is among them.
TEST(AnchorTest, NoInstructionSetMissesAPlaceTheUnitStands) {
  const std::vector<std::string> pieces = {"a", "A", sj("ａ"), sj("Ａ"), "b", sj("ｂ"), sj("ガ"),
                                           sj("ｶﾞ"), sj("カ"), "\n", sj("表"), " ", sj("　")};
  std::mt19937 random(11);
  for (const std::string& text : {std::string("ab"), sj("ガb"), sj("xガ"), std::string("a b")}) {
    const SearchPattern pattern = compilePattern(text);
    std::string data;
    while (data.size() < 5000) data += pieces[random() % pieces.size()];
    const Anchor anchor = chooseAnchor(pattern, data.substr(0, 500));
    ASSERT_FALSE(anchor.tests.empty()) << text;
    const std::string padded = data + '\0';
    std::vector<std::uint32_t> portable;
    findCandidates(padded.data(), data.size(), anchor, portable, Isa::Portable);
    for (const Isa isa : {Isa::Sse2, Isa::Avx2}) {
      if (!logscan::isaAvailable(isa)) continue;
      std::vector<std::uint32_t> found;
      findCandidates(padded.data(), data.size(), anchor, found, isa);
      EXPECT_EQ(found, portable) << text;
    }
    // Each form of the anchored unit, followed by each form of the next.
    const Unit unit = pattern.units[anchor.unit];
    const bool hasNext = anchor.unit + 1 < pattern.units.size();
    for (const std::string& form : rawForms(unit)) {
      const std::vector<std::string> nexts =
          hasNext ? rawForms(pattern.units[anchor.unit + 1]) : std::vector<std::string>{""};
      for (const std::string& next : nexts) {
        for (std::size_t at = data.find(form + next); at != std::string::npos;
             at = data.find(form + next, at + 1)) {
          EXPECT_TRUE(std::binary_search(portable.begin(), portable.end(), at)) << text << at;
        }
      }
    }
  }
}

}  // namespace
}  // namespace zazir::search

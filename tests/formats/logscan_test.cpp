#include "formats/logscan.h"

#include <gtest/gtest.h>

#include <random>

#include "formats/logindex_support.h"
#include "support/skip_check.h"

namespace zazir {
namespace {

using logscan::Isa;
using testing::listingLine;
using testing::sj;

std::string numbered(std::string line, const char* number) {
  return line.replace(0, 4, number);
}

// Lines of many kinds and lengths, with the patterns placed at line starts,
// after TABs, at piece starts inside long lines and near window edges.
std::string patternedLog(unsigned seed, std::size_t size) {
  std::mt19937 rng(seed);
  const std::string listing = listingLine(1, "m", "t", "検索中");
  const std::string texts[] = {
      "Private Message is from: A b",
      "Private\tMessage is from: T t",
      "Pr",
      "FILE NEWS: " + sj("日付指定"),
      "FILE\tNEWS: " + sj("日付指定"),
      sj("《 気軽な伝言板 》"),
      listing,
      numbered(listing, "9012"),
      numbered(listing, "0012"),
      numbered(listing, "\t 12"),
      numbered(listing, "  +7"),
      listingLine(22, "n", "t", "No messages found"),
      listingLine(3, "#c", "", "新着なし"),
      "   4:" + std::string(44, ' ') + sj("未読なし"),
      "Date: 96/06/01",
      sj("　本文です"),
      ":",
      std::string(1023, 'L'),
      std::string(1022, 'L'),
      std::string(1024, 'L'),
      std::string(600, 'M'),
  };
  std::string log;
  while (log.size() < size) {
    const unsigned kind = rng() % 10;
    if (kind < 4) {
      log += texts[rng() % std::size(texts)];
    } else if (kind < 8) {
      for (unsigned n = rng() % 90; n > 0; --n) log += static_cast<char>(rng() % 256);
    } else {
      log += std::string(rng() % 1100, "xy \t:\r"[rng() % 6]);
    }
    // Some texts run on in the same line, so that a long line's next piece
    // may start with a pattern.
    const unsigned end = rng() % 8;
    if (end < 5) log += "\r\n";
    if (end == 5) log += "\n";
  }
  return log;
}

TEST(LogScan, StopsAtEveryLineThatMayMatterAndOnlyAtLineStarts) {
  for (Isa isa : {Isa::Portable, Isa::Sse2, Isa::Avx2}) {
    if (!logscan::isaAvailable(isa)) continue;
    for (unsigned seed = 1; seed <= 4; ++seed) {
      const testing::SkipVerdict verdict = testing::judgeSkip(patternedLog(seed, 200'000), isa);
      EXPECT_EQ(verdict.fault, "") << "isa " << int(isa) << " seed " << seed;
      // The skip must pay: most lines are passed over.
      EXPECT_LT(verdict.stops, verdict.lines / 2);
    }
  }
}

}  // namespace
}  // namespace zazir

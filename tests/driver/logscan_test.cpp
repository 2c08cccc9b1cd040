#include "driver/logscan.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "console/textutil.h"
#include "driver/logindex_support.h"

namespace zazir {
namespace {

using logscan::Isa;
using testing::listingLine;
using testing::PlainStream;
using testing::sj;

// The exact tests, written out plainly: a line that may matter.
bool matters(std::string_view raw) {
  std::string line(raw);
  stripLineEnd(line);
  if (startsWith(line, "Private Message is from:")) return true;
  if (startsWith(line, sj("《 気軽な伝言板 》")) || startsWith(line, sj("FILE NEWS: 日付指定"))) {
    return true;
  }
  if (line.size() >= 80 || line.size() <= 49 || line[4] != ':' || parseDecimal(line) <= 0) {
    return false;
  }
  const std::string_view status = std::string_view(line).substr(49);
  for (const std::string& s :
       {sj("検索中"), sj("未読なし"), sj("新着なし"), std::string("No messages found")}) {
    if (startsWith(status, s)) return true;
  }
  return false;
}

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
      const std::string log = patternedLog(seed, 200'000);
      // Every line start, and the lines that matter, read one by one.
      std::set<LogOffset> starts;
      std::vector<LogOffset> needed;
      PlainStream plain(log);
      std::string_view line;
      for (LogOffset at = 0; plain.readLineView(line, kLineLimit); at = plain.tell()) {
        starts.insert(at);
        if (matters(line)) needed.push_back(at);
      }
      MemoryLineStream fast(log);
      std::set<LogOffset> visited;
      while (true) {
        logscan::skipUninteresting(fast, isa);
        const LogOffset at = fast.tell();
        if (!fast.readLineView(line, kLineLimit)) break;
        ASSERT_TRUE(starts.count(at)) << "isa " << int(isa) << " seed " << seed << " at " << at;
        visited.insert(at);
      }
      for (LogOffset at : needed) {
        ASSERT_TRUE(visited.count(at))
            << "isa " << int(isa) << " seed " << seed << " skipped " << at;
      }
      // The skip must pay: most lines are passed over.
      EXPECT_LT(visited.size(), starts.size() / 2);
    }
  }
}

}  // namespace
}  // namespace zazir

#include "search/hitpages.h"

#include <gtest/gtest.h>

#include "formats/logindex_support.h"
#include "support/temp_dir.h"

namespace zazir::search {
namespace {

// A hit on every line, read through small buffers whose ends fall
// anywhere; the scan stops at every point it keeps, at first on every hit.
// With a handful of points or many, every page is found again whole.
TEST(HitPagesTest, EveryPageIsFoundAgainFromAFewPointsAsTheScanFoundIt) {
  std::string log = testing::sj("《 気軽な伝言板 》\r\n----\r\n");
  for (int line = 1; line <= 3000; ++line) log += formatText("U%07i      :memo\r\n", line);
  log += "*CH\r\n";
  const LogIndex index = testing::indexText(log);
  MemoryLineStream reads(log);
  const auto size = static_cast<LogOffset>(log.size());
  std::vector<SearchHit> whole;
  LogSearch oneWindow(
      index, [&](std::size_t) { return std::make_unique<MemoryLineStream>(log); }, reads, size,
      compilePattern("memo"));
  searchLog(oneWindow,
            [&](const SearchHit& hit) {
              whole.push_back(hit);
              return true;
            },
            {});
  ASSERT_EQ(whole.size(), 3000u);
  testing::TempDir dir;
  testing::writeBytes(dir.path("LOG"), log);
  struct Case {
    std::size_t buffer, rows, points;
  } cases[] = {{4096, 7, 4}, {5000, 7, 4}, {4096, 1, 1000}, {5000, 1, 1000}};
  for (const auto [buffer, rows, points] : cases) {
    LogSearch search(
        index,
        [&](std::size_t) {
          return std::unique_ptr<LineStream>(FileLineStream::open(dir.path("LOG"), buffer));
        },
        reads, size, compilePattern("memo"));
    HitPages pages(search, rows, points);
    // Page by page at first, then to the end.
    for (std::size_t wanted = rows; wanted <= 5 * rows; wanted += rows) {
      pages.scanOn(1 << 20, wanted);
      EXPECT_EQ(pages.found(), wanted) << buffer;
    }
    while (!pages.finished()) pages.scanOn(1000, whole.size() + 1);
    ASSERT_EQ(pages.found(), whole.size()) << buffer;
    const std::size_t lastPage = (whole.size() - 1) / rows;
    for (const std::size_t page :
         {lastPage, std::size_t{0}, lastPage / 2, lastPage / 2 + 1, std::size_t{3}}) {
      const std::size_t first = page * rows;
      const std::vector<SearchHit> expected(
          whole.begin() + static_cast<std::ptrdiff_t>(first),
          whole.begin() + static_cast<std::ptrdiff_t>(std::min(first + rows, whole.size())));
      EXPECT_EQ(pages.page(page), expected) << buffer << " page " << page;
    }
  }
}

}  // namespace
}  // namespace zazir::search

#include "search/rangesearch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "search/verify.h"
#include "support/test_app.h"

namespace zazir::search {
namespace {

using testing::sj;

// Every match that starts in [from, to) of the lines of `log`, found line
// by line.
std::vector<RangeMatch> lineByLine(const std::string& log, LogOffset from, LogOffset to,
                                   const SearchPattern& pattern) {
  std::vector<RangeMatch> found;
  for (std::size_t start = 0; start < log.size();) {
    const std::size_t end =
        log.find('\n', start) == std::string::npos ? log.size() : log.find('\n', start) + 1;
    for (const MatchSpan& span :
         findMatches(std::string_view(log).substr(start, end - start), pattern)) {
      const auto at = static_cast<LogOffset>(start + span.start);
      if (at >= from && at < to) found.push_back({at, static_cast<std::uint32_t>(span.size)});
    }
    start = end;
  }
  return found;
}

// Tricky text (a trail byte 'a', marks alone and after kana, full and half
// width) read through a buffer whose edges fall anywhere: the part's
// matches are those a walk through each line finds there.
TEST(RangeSearchTest, FindsEveryMatchThatStartsInThePart) {
  const std::vector<std::string> tokens = {"a",      "A",    sj("ａ"), sj("ｶ"), sj("ﾞ"), sj("ガ"),
                                           sj("カ"), "\x82", sj("表"), " ",     "\r\n"};
  std::mt19937 random(11);
  std::string log;
  std::vector<LogOffset> lineStarts{0};
  while (log.size() < 20000) {
    log += tokens[random() % tokens.size()];
    if (log.back() == '\n') lineStarts.push_back(static_cast<LogOffset>(log.size()));
  }
  testing::TempDir dir;
  std::ofstream(dir.path("LOG"), std::ios::binary) << log;
  const auto size = static_cast<LogOffset>(log.size());
  for (const std::string text : {"aガ", "ｶﾞa"}) {
    const SearchPattern pattern = compilePattern(sj(text));
    const Anchor anchor = chooseAnchor(pattern, log);
    MemoryLineStream memory(log);
    const auto file = FileLineStream::open(dir.path("LOG"), 2048);
    for (LineStream* blocks :
         {static_cast<LineStream*>(&memory), static_cast<LineStream*>(file.get())}) {
      for (int round = 0; round < 20; ++round) {
        // The whole text first, then parts between line starts.
        LogOffset from = round == 0 ? 0 : lineStarts[random() % lineStarts.size()];
        LogOffset to = round % 4 == 0 ? size : lineStarts[random() % lineStarts.size()];
        if (from > to) std::swap(from, to);
        const std::vector<RangeMatch> expected = lineByLine(log, from, to, pattern);
        EXPECT_EQ(matchesIn(*blocks, from, to, pattern, anchor), expected) << text << " " << from;
        if (round == 0) {
          EXPECT_GT(expected.size(), 10u) << text;
        }
      }
    }
  }
}

// A stream that shows `window` bytes at a time, fewer than a file's.
class WindowStream : public MemoryLineStream {
 public:
  WindowStream(std::string data, std::size_t window)
      : MemoryLineStream(std::move(data)), window_(window) {}
  std::string_view buffered(std::size_t atLeast) override {
    return MemoryLineStream::buffered(atLeast).substr(0, window_);
  }
  void skip(std::size_t bytes) override { MemoryLineStream::skip(std::min(bytes, window_)); }

 private:
  std::size_t window_;
};

// A buffer of little more than a match's margins on either side, after a
// window that had to start a byte early for a double-byte character: the
// part still reads to its end.
TEST(RangeSearchTest, ABufferBarelyLargerThanTheMarginsReadsToTheEnd) {
  const std::string log = std::string(12, 'x') + sj("表") + std::string(34, 'x') + "ab" + "xxxx";
  const SearchPattern pattern = compilePattern("ab");
  WindowStream blocks(log, 3 * matchMargin(pattern) + 1);
  EXPECT_EQ(
      matchesIn(blocks, 0, static_cast<LogOffset>(log.size()), pattern, chooseAnchor(pattern, log)),
      (std::vector<RangeMatch>{{48, 2}}));
}
}  // namespace
}  // namespace zazir::search

#include "compose/quote.h"

#include <gtest/gtest.h>

#include "console/cp932.h"
#include "driver/config.h"
#include "readers/boardlog.h"
#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

TEST(Quote, QuotedLinesKeepTo78BytesWithTheirPrefix) {
  Config config;
  const std::string kanji = sj("漢");
  MemoryLineStream log(std::string(80, 'x') + "\r\n" + "a\tb\tc\r\n" + std::string(75, 'y') +
                       kanji + "\r\n" + "last");
  config.quotation = "%s> ";
  const std::string prefix = quotePrefix(config, "hd");
  EXPECT_EQ(prefix, "hd> ");
  std::vector<std::string> lines;
  std::string line;
  while (readQuotedLine(log, prefix.size(), line)) lines.push_back(line);
  const std::vector<std::string> expected = {std::string(74, 'x'), "xxxxxx",    "a b\tc",
                                             std::string(74, 'y'), "y" + kanji, "last"};
  EXPECT_EQ(lines, expected);

  config.quotation = std::string(70, 'q') + "%s" + std::string(9, 'q');
  EXPECT_EQ(quotePrefix(config, "hd").size(), 76u);  // room for one double-byte character
  MemoryLineStream wide(kanji + kanji + "\r\n");
  ASSERT_TRUE(readQuotedLine(wide, 76, line));
  EXPECT_EQ(line, kanji);
  config.quotation = "";
  EXPECT_EQ(quotePrefix(config, "hd"), "");
}

// Lines quoted whole, in pieces of 78 - prefix bytes, with the prefix.
std::string quotedLines(std::string_view prefix, std::string_view text) {
  const std::size_t width = 78 - prefix.size();
  std::string quoted;
  for (std::size_t at = 0; at < text.size(); at += width) {
    quoted += std::string(prefix) + std::string(text.substr(at, width)) + "\n";
  }
  return quoted;
}

// Huge log lines give a bounded quote: 1023 bytes of a line, cut on a
// character boundary, 256 KiB of a whole message; the end marks are found
// even when each quoted piece is too short to show them.
TEST(Quote, AQuoteIsBoundedAndEndsAtTheMessagesEnd) {
  const std::string header = "Message  #1 is from: X Y\r\n2\r\nTitle:t\r\n----\r\n";
  const std::string kanji = sj("漢");
  std::string kanjiLine;
  while (kanjiLine.size() < 2'000'000) kanjiLine += "a" + kanji;
  std::string manyLines;
  for (int i = 0; i < 50'000; ++i) manyLines += std::string(70, 'm') + "\r\n";

  MemoryLineStream huge(header + std::string(4'000'000, 'x') + "\r\nafter\r\n*CH\r\nnot quoted");
  const std::string quote = quoteMessage(huge, 0, {"> ", -1, isMessageEnd});
  EXPECT_EQ(quote, quotedLines("> ", std::string(1023, 'x')) + "> after\n");

  MemoryLineStream wide(header + kanjiLine + "\r\n");
  const std::string wideQuote = quoteMessage(wide, 0, {"", -1, isMessageEnd});
  std::size_t lines = 0;
  for (std::size_t at = 0, end; (end = wideQuote.find('\n', at)) != std::string::npos;
       at = end + 1, ++lines) {
    const std::string_view line(wideQuote.data() + at, end - at);
    EXPECT_FALSE(startsDoubleByte(line, line.size() - 1)) << lines;
  }
  EXPECT_GT(lines, 10u);
  EXPECT_LE(wideQuote.size(), 1023u + lines);

  MemoryLineStream many(header + manyLines);
  const std::string manyQuote = quoteMessage(many, 0, {"> ", -1, isMessageEnd});
  EXPECT_LE(manyQuote.size(), 256u * 1024);
  EXPECT_GT(manyQuote.size(), 250u * 1024);
  EXPECT_TRUE(manyQuote.ends_with(std::string(70, 'm') + "\n"));

  // A 76-byte prefix leaves two bytes a piece: "*CH" is seen on the line.
  const std::string longPrefix(76, 'p');
  MemoryLineStream narrow(header + "abcd\r\n*CH\r\nnot quoted\r\n");
  EXPECT_EQ(quoteMessage(narrow, 0, {longPrefix, -1, isMessageEnd}),
            longPrefix + "ab\n" + longPrefix + "cd\n");
}

}  // namespace
}  // namespace zazir

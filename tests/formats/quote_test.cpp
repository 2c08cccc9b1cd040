#include "formats/quote.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "formats/boardlog.h"
#include "formats/config.h"
#include "support/scripted_backend.h"
#include "text/cp932.h"

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

// Huge log lines give a bounded quote: 1023 bytes of a line, cut on a
// character boundary, 256 KiB of a whole message; the end marks are found
// even when each quoted piece is too short to show them.
TEST(Quote, AQuoteIsBoundedAndEndsAtTheMessagesEnd) {
  const std::string header = "Message  #1 is from: X Y\r\n2\r\nTitle:t\r\n----\r\n";
  MemoryLineStream huge(header + std::string(4'000'000, 'x') + "\r\nafter\r\n*CH\r\nnot quoted");
  const std::string quote = quoteMessage(huge, 0, {"> ", -1, isMessageEnd});
  EXPECT_EQ(std::count(quote.begin(), quote.end(), 'x'), 1023);
  EXPECT_TRUE(quote.ends_with("> " + std::string(35, 'x') + "\n> after\n"));

  // 13 pieces of 39 characters, then 4 of the 4.5 left.
  const std::string one = sj("漢");
  std::string kanji;
  for (int i = 0; i < 1'000'000; ++i) kanji += one;
  MemoryLineStream wide(header + kanji + "\r\n");
  EXPECT_EQ(quoteMessage(wide, 0, {"", -1, isMessageEnd}), [&] {
    std::string quoted;
    for (int i = 0; i < 13; ++i) quoted += kanji.substr(0, 78) + "\n";
    return quoted + kanji.substr(0, 8) + "\n";
  }());

  std::string manyLines;
  for (int i = 0; i < 50'000; ++i) manyLines += std::string(70, 'm') + "\r\n";
  MemoryLineStream many(header + manyLines);
  const std::string manyQuote = quoteMessage(many, 0, {"> ", -1, isMessageEnd});
  EXPECT_EQ(manyQuote.size(), 256u * 1024 / 73 * 73);  // whole lines only

  // A 76-byte prefix leaves two bytes a piece: "*CH" is seen on the line.
  const std::string longPrefix(76, 'p');
  MemoryLineStream narrow(header + "abcd\r\n*CH\r\nnot quoted\r\n");
  EXPECT_EQ(quoteMessage(narrow, 0, {longPrefix, -1, isMessageEnd}),
            longPrefix + "ab\n" + longPrefix + "cd\n");
}

}  // namespace
}  // namespace zazir

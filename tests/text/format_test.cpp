#include "text/format.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

TEST(FormatText, ProgramFormats) {
  struct Case {
    std::string expected;
    std::string actual;
  } cases[] = {
      {"0015", formatText("%04i", 15)},
      {"050%", formatText("%03i%%", 50)},
      {"ab   |", formatText("%-5s|", "ab")},
      {"   ab", formatText("%5s", "ab")},
      {"abc", formatText("%.3s", "abcdef")},
      {"   -7", formatText("%5i", -7)},
      {"-0007", formatText("%05i", -7)},
      {"12 x", formatText("%li %s", 12, "x")},
      {"7;Y;", formatText("%i;Y;", 7)},
      {"F12\nZD", formatText("F%i\nZD", 12)},
      {"", formatText("%s")},
      {"0", formatText("%i")},
      {"50%", formatText("50%")},
      {"%q", formatText("%q")},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(FormatText, PrecisionCutsOnACharacterBoundary) {
  const std::string text = sj("あいう");
  EXPECT_EQ(formatText("%.3s|", text), sj("あ") + "|");
  EXPECT_EQ(formatText("%-4.3s|", text), sj("あ") + "  |");
  EXPECT_EQ(formatText("%16.16s", "short").size(), 16u);
}

TEST(FormatConfigured, HostileFormatsAreHarmless) {
  struct Case {
    const char* format;
    std::string expected;
  } cases[] = {
      {"%s.UP", "0105.LOG.UP"}, {"%-13.13s|", "0105.LOG     |"},
      {"%n%x%d%p", "%n%x%d%p"}, {"%s %s %s", "0105.LOG  "},
      {"100%", "100%"},         {"%%s", "%s"},
      {"%5%", "%5%"},           {"%999999999s", std::string(10000 - 8, ' ') + "0105.LOG"},
      {"%.*s", "%.*s"},         {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatConfigured(c.format, {"0105.LOG"}), c.expected) << c.format;
  }
  EXPECT_EQ(formatConfigured("%s wrote #%s: %s", {"taro", "12"}), "taro wrote #12: ");
}

}  // namespace
}  // namespace zazir

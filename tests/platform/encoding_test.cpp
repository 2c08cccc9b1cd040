#include "platform/encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zazir {
namespace {

TEST(TerminalCodeset, TheLocaleUnlessItCannotShowJapaneseOrIsOverridden) {
  struct Case {
    const char* locale;
    const char* forced;
    std::optional<std::string> codeset;
  } cases[] = {
      {"UTF-8", "", "UTF-8"},
      {"SHIFT_JIS", "", "SHIFT_JIS"},
      {"EUC-JP", "", "EUC-JP"},
      // LANG=C and Latin-1 would show every Japanese character as "?".
      {"ANSI_X3.4-1968", "", "UTF-8"},
      {"ISO-8859-1", "", "UTF-8"},
      {"ANSI_X3.4-1968", "utf8", "UTF-8"},
      {"UTF-8", "sjis", "CP932"},
      {"UTF-8", "Shift_JIS", "CP932"},
      {"UTF-8", "latin1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(terminalCodeset(c.locale, c.forced), c.codeset) << c.locale << " " << c.forced;
  }
}

TEST(IsUtf8Text, OnlyValidUtf8HoldingNonAscii) {
  struct Case {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"HEADREPLYNEWS=%s\xE3\x81\x95\xE3\x82\x93\r\n", true},  // さん
      {"\xF0\x9F\x98\x80", true},                               // beyond the BMP
      {"EDITOR=vi\r\n", false},                                 // nothing to tell by
      {"", false},
      {"%s\x82\xB3\x82\xF1", false},  // さん in CP932
      {"\x8A\xBF\x8E\x9A", false},    // 漢字 in CP932
      {"\xE3\x81", false},            // cut short
      {"\xC0\xAF", false},            // overlong "/"
      {"\xED\xA0\x80", false},        // a surrogate
      {"\xF4\x90\x80\x80", false},    // beyond U+10FFFF
  };
  for (const Case& c : cases) EXPECT_EQ(isUtf8Text(c.bytes), c.utf8) << c.bytes;
}

}  // namespace
}  // namespace zazir

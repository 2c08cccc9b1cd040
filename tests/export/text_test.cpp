// The export's text: CP932 to UTF-8 with every byte that has no form
// counted, the mail headers' dates, encoded words and addresses.
#include <gtest/gtest.h>

#include "export/mbox.h"
#include "export/outputtext.h"
#include "export/utf8text.h"

namespace zazir {
namespace {

TEST(Utf8Decoder, PiecesBytesWithoutAFormAndControlBytes) {
  struct Case {
    const char* what;
    std::vector<std::string> pieces;
    std::string utf8;
    std::uint64_t replaced;
  } cases[] = {
      {"kanji, kana, half-width kana, the wave dash",
       {"\x93\xfa\x96\x7b \x82\xa0\xb1\x81\x60"},
       "日本 あｱ～",
       0},
      {"a character split between pieces",
       {"a\x82",
        "\xa0"
        "b"},
       "aあb",
       0},
      {"a pair with no character", {"\x85\x9fz"}, "\xEF\xBF\xBDz", 2},
      {"a lead byte before ASCII keeps the ASCII",
       {"\x82"
        "A\x85@\x81\x7F"},
       "\xEF\xBF\xBD"
       "A\xEF\xBF\xBD@\xEF\xBF\xBD\xEF\xBF\xBD",
       4},
      {"single bytes with no form", {"\x80\xA0\xFD"}, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 3},
      {"a lead byte at the end of the text", {"x\x82"}, "x\xEF\xBF\xBD", 1},
      {"control bytes but TAB and LF, after a lead byte too",
       {std::string("\x1b[1m\a\0\r\x1a\t\n\x82\x1b", 12)},
       "\uFFFD[1m\uFFFD\uFFFD\uFFFD\uFFFD\t\n\uFFFD\uFFFD",
       7},
  };
  for (const Case& c : cases) {
    Utf8Decoder decoder;
    std::string out;
    for (const std::string& piece : c.pieces) decoder.decode(piece, out);
    decoder.finish(out);
    EXPECT_EQ(out, c.utf8) << c.what;
    EXPECT_EQ(decoder.replacedBytes(), c.replaced) << c.what;
  }
}

TEST(OutputText, ACodesetWithoutJapaneseGivesUtf8) {
  EXPECT_EQ(OutputText("ANSI_X3.4-1968").codeset(), "UTF-8");
  const OutputText eucJp("EUC-JP");
  EXPECT_EQ(eucJp.codeset(), "EUC-JP");
  EXPECT_EQ(eucJp("あ\xEF\xBF\xBDz"), "\xA4\xA2?z");
}

TEST(MailHeaders, HostDates) {
  struct Case {
    const char* date;
    const char* time;
    const char* mail;  // empty: no date
  } cases[] = {
      {"96/06/02", "21:40:12", "Sun, 02 Jun 1996 21:40:12 +0900"},
      {"00/02/29", "00:00", "Tue, 29 Feb 2000 00:00:00 +0900"},
      {"69/12/31", "23:59:59", "Tue, 31 Dec 2069 23:59:59 +0900"},
      {"70/01/01", "09:00:00", "Thu, 01 Jan 1970 09:00:00 +0900"},
      {"1999-3-7", "1:02", "Sun, 07 Mar 1999 01:02:00 +0900"},
      {"99/02/29", "10:00", ""},
      {"96/13/01", "10:00", ""},
      {"96/06/02", "24:00", ""},
      {"96/06", "10:00", ""},
      {"996/06/02", "10:00", ""},
      {"96/06/02x", "10:00", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    const std::optional<HostDate> date = parseHostDate(c.date, c.time);
    EXPECT_EQ(date ? mailDate(*date) : "", c.mail) << c.date << " " << c.time;
  }
}

// The text of encoded words, each checked for its form and length.
std::string decodedWords(const std::string& header) {
  static const std::string digits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  std::size_t at = 0;
  while (at < header.size()) {
    const std::size_t end = header.find("?=", at);
    const std::string word = header.substr(at, end + 2 - at);
    EXPECT_LE(word.size(), 75u);
    EXPECT_EQ(word.rfind("=?UTF-8?B?", 0), 0u) << word;
    std::string bytes;
    unsigned bits = 0, value = 0;
    for (const char c : word.substr(10, word.size() - 12)) {
      if (c == '=') break;
      value = value << 6 | static_cast<unsigned>(digits.find(c));
      if ((bits += 6) >= 8) bytes += static_cast<char>(value >> (bits -= 8) & 0xFF);
    }
    // No character is split between two words.
    EXPECT_NE(static_cast<unsigned char>(bytes.front()) & 0xC0, 0x80u) << word;
    text += bytes;
    at = end + 2;
    if (at < header.size()) {
      EXPECT_EQ(header.substr(at, 2), "\n ");
      at += 2;
    }
  }
  return text;
}

TEST(MailHeaders, TextIsPlainOrEncodedWords) {
  EXPECT_EQ(headerText("Re: Memory"), "Re: Memory");
  std::string japanese;
  for (int i = 0; i < 40; ++i) japanese += "題名あ";
  for (const std::string& text :
       {std::string("来週のオフ会"), japanese, std::string("a =?x?= b"), std::string(" lead"),
        std::string("tab\there"), std::string(1000, 'a')}) {
    const std::string header = headerText(text);
    EXPECT_EQ(decodedWords(header), text) << header;
  }
}

TEST(MailHeaders, Addresses) {
  EXPECT_EQ(mailboxOf("ABC01234", "Hiro"), "\"Hiro\" <ABC01234@zazir.invalid>");
  EXPECT_EQ(mailboxOf("ABC01234", "a\"b\\c"), "\"a\\\"b\\\\c\" <ABC01234@zazir.invalid>");
  EXPECT_EQ(mailboxOf("AB C", ""), "<\"AB C\"@zazir.invalid>");
  EXPECT_EQ(mailboxOf("", ""), "<unknown@zazir.invalid>");
  EXPECT_EQ(mailboxOf(".A", "x"), "\"x\" <\".A\"@zazir.invalid>");
  EXPECT_EQ(mailboxOf("AB\xE3\x81\x8B", "x"), "\"x\" <unknown@zazir.invalid>");
  const std::string named = mailboxOf("ABC01234", "山田太郎");
  EXPECT_EQ(decodedWords(named.substr(0, named.find(' '))), "山田太郎");
  EXPECT_EQ(named.substr(named.find(' ')), " <ABC01234@zazir.invalid>");
}

}  // namespace
}  // namespace zazir

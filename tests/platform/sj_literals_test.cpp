// Every program text written with the _sj suffix has a CP932 form: one
// without it would abort the program when first shown. The whole source
// tree is read and each such literal converted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding.h"
#include "platform/textfile.h"

namespace zazir {
namespace {

struct Literal {
  int line;          // where its first piece starts
  std::string utf8;  // the pieces joined, escapes decoded
  bool operator==(const Literal&) const = default;
};

bool isIdentifierChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string utf8Of(unsigned long code) {
  std::string utf32;
  for (int shift = 0; shift < 32; shift += 8) utf32 += static_cast<char>(code >> shift);
  return Converter("UTF-8", "UTF-32LE").convert(utf32).value_or("\uFFFD");
}

// The bytes an ordinary literal's body stands for.
std::string decodeEscapes(std::string_view body) {
  std::string out;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '\\' || i + 1 == body.size()) {
      out += body[i];
      continue;
    }
    const char c = body[++i];
    const auto digits = [&](std::size_t most, int base) {
      std::size_t n = 0;
      while (n < most && i + 1 + n < body.size() &&
             std::isxdigit(static_cast<unsigned char>(body[i + 1 + n])) &&
             (base == 16 || (body[i + 1 + n] >= '0' && body[i + 1 + n] <= '7'))) {
        ++n;
      }
      const unsigned long value = std::stoul(std::string(body.substr(i + 1, n)), nullptr, base);
      i += n;
      return value;
    };
    if (c >= '0' && c <= '7') {
      --i;
      out += static_cast<char>(digits(3, 8));
    } else if (c == 'x') {
      out += static_cast<char>(digits(body.size(), 16));
    } else if (c == 'u' || c == 'U') {
      out += utf8Of(digits(c == 'u' ? 4 : 8, 16));
    } else {
      const std::string_view from = "ntrabfv", to = "\n\t\r\a\b\f\v";
      const std::size_t at = from.find(c);
      out += at == std::string_view::npos ? c : to[at];  // \" \' \\ \? stand for themselves
    }
  }
  return out;
}

// The _sj literals of a C++ source, each joined with the string literals
// next to it, as the compiler joins them before the suffix applies.
std::vector<Literal> sjLiterals(std::string_view source) {
  std::vector<Literal> found;
  Literal run{0, {}};
  bool inRun = false;
  bool runIsSj = false;
  const auto endRun = [&] {
    if (inRun && runIsSj) found.push_back(run);
    inRun = runIsSj = false;
    run.utf8.clear();
  };
  int line = 1;
  // Moves on to `to` (npos: the end), counting lines.
  const auto pass = [&](std::size_t from, std::size_t to) {
    to = std::min(to, source.size());
    line += static_cast<int>(std::count(source.begin() + from, source.begin() + to, '\n'));
    return to;
  };
  const auto after = [](std::size_t at, std::size_t size) {
    return at == std::string_view::npos ? at : at + size;
  };
  std::size_t i = 0;
  while (i < source.size()) {
    const char c = source[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      i = pass(i, i + 1);
    } else if (source.substr(i, 2) == "//") {
      i = pass(i, source.find('\n', i));
    } else if (source.substr(i, 2) == "/*") {
      i = pass(i, after(source.find("*/", i + 2), 2));
    } else if (c == '\'') {
      endRun();
      std::size_t end = i + 1;
      while (end < source.size() && source[end] != '\'') end += source[end] == '\\' ? 2 : 1;
      i = pass(i, end + 1);
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      endRun();  // a number, digit separators included
      while (i < source.size() &&
             (isIdentifierChar(source[i]) || source[i] == '.' ||
              (source[i] == '\'' && i + 1 < source.size() && isIdentifierChar(source[i + 1])))) {
        ++i;
      }
    } else if (isIdentifierChar(c) || c == '"') {
      std::size_t end = i;
      while (end < source.size() && isIdentifierChar(source[end])) ++end;
      const std::string_view word = source.substr(i, end - i);
      static constexpr std::string_view kPrefixes[] = {"", "u8", "L", "u", "U"};
      const std::string_view encoding =
          word.ends_with('R') ? word.substr(0, word.size() - 1) : word;
      if (end == source.size() || source[end] != '"' ||
          std::find(std::begin(kPrefixes), std::end(kPrefixes), encoding) == std::end(kPrefixes)) {
        endRun();  // any other word
        i = end;
        continue;
      }
      if (!inRun) run.line = line;
      inRun = true;
      if (word.ends_with('R')) {
        const std::size_t open = std::min(source.find('(', end), source.size());
        const std::string close = ")" + std::string(source.substr(end + 1, open - end - 1)) + "\"";
        const std::size_t stop = std::min(source.find(close, open), source.size());
        run.utf8 += source.substr(std::min(open + 1, stop), stop - std::min(open + 1, stop));
        i = pass(i, after(stop, close.size()));
      } else {
        std::size_t stop = end + 1;
        while (stop < source.size() && source[stop] != '"') stop += source[stop] == '\\' ? 2 : 1;
        stop = std::min(stop, source.size());
        run.utf8 += decodeEscapes(source.substr(end + 1, stop - end - 1));
        i = pass(i, stop + 1);
      }
      std::size_t suffix = i;
      while (suffix < source.size() && isIdentifierChar(source[suffix])) ++suffix;
      if (source.substr(i, suffix - i) == "_sj") runIsSj = true;
      i = suffix;
    } else {
      endRun();
      ++i;
    }
  }
  endRun();
  return found;
}

// The literal converts and comes back as written. Converting alone is not
// enough: iconv here also takes look-alikes such as U+301C WAVE DASH (shown
// back as U+FF5E), which a stricter iconv refuses.
bool convertsAsWritten(const std::string& utf8) {
  const std::optional<std::string> cp932 = utf8ToCp932(utf8);
  return cp932 && cp932ToUtf8(*cp932) == utf8;
}

TEST(SjLiterals, AreFoundJoinedAndDecodedAsTheCompilerSeesThem) {
  struct Case {
    const char* source;
    std::vector<Literal> expected;
  } cases[] = {
      {"f(\"plain\", 'x', \"a\" /* \"b\"_sj */ \"c\"_sj);", {{1, "ac"}}},
      {"// \"no\"_sj\nx = '\"';\n  \"one \"\n  \"two\"_sj \"three\"", {{3, "one twothree"}}},
      {"n = 1'000; s = \"\\x41\\101\\u301C\\\"\\\\\\n\"_sj;", {{1, "AA\u301C\"\\\n"}}},
      {"R\"d(q\"\n)d\"_sj; u8\"x\" \"y\"_sj; \"z\"_sjx", {{1, "q\"\n"}, {2, "xy"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(sjLiterals(c.source), c.expected) << c.source;
}

TEST(SjLiterals, OnlyTextsWithACp932FormOfTheirOwnPass) {
  EXPECT_TRUE(convertsAsWritten("～ｶﾅ①≒"));
  for (const char* refused : {"\u301C", "\u2016", "\u2212", "\u00A2", "\u00E9", "\U0001F600"}) {
    EXPECT_FALSE(convertsAsWritten(refused)) << refused;
  }
}

TEST(SjLiterals, EveryOneInTheProgramConvertsAsWritten) {
  int literals = 0;
  const std::filesystem::path root = std::filesystem::path(ZAZIR_SOURCE_DIR) / "src";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".cpp" && extension != ".h" && extension != ".inc") continue;
    const std::optional<std::string> source = readBinaryFile(entry.path().string());
    ASSERT_TRUE(source) << entry.path();
    for (const Literal& literal : sjLiterals(*source)) {
      ++literals;
      EXPECT_TRUE(convertsAsWritten(literal.utf8))
          << entry.path().string() << ":" << literal.line << ": \"" << literal.utf8
          << "\" has no CP932 form of its own";
    }
  }
  EXPECT_GT(literals, 0);
}

}  // namespace
}  // namespace zazir

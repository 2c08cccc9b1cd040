// The search's matching over any CP932 text, held against a plain
// reference: each character decoded to Unicode and folded by Unicode's own
// rules (ASCII case, full-width forms, half-width katakana and their marks,
// the ideographic space and the tab), then compared character by
// character. findMatches must give the reference's matches left to right,
// and matchesIn (the anchor, the exact check, windows whose ends fall
// anywhere) every place a match starts. The input is the pattern's length,
// a window size, the pattern (characters only, as typed), then the text.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/encoding.h"
#include "search/fold.h"
#include "search/rangesearch.h"
#include "search/verify.h"

using namespace zazir;

namespace {

// A stream over the text that shows it a window at a time.
class WindowStream : public LineStream {
 public:
  WindowStream(std::string_view data, std::size_t window) : data_(data), window_(window) {}
  LogOffset tell() const override { return static_cast<LogOffset>(at_); }
  void seek(LogOffset offset) override {
    at_ = std::min(static_cast<std::size_t>(std::max<LogOffset>(offset, 0)), data_.size());
  }
  bool readLineView(std::string_view& line, std::size_t maxBytes) override {
    if (at_ >= data_.size()) return false;
    std::size_t size = std::min(maxBytes, data_.size() - at_);
    const std::size_t feed = data_.substr(at_, size).find('\n');
    if (feed != std::string_view::npos) size = feed + 1;
    line = data_.substr(at_, size);
    at_ += size;
    return true;
  }
  std::string_view buffered(std::size_t) override { return data_.substr(at_, window_); }
  void skip(std::size_t bytes) override { at_ += std::min({bytes, window_, data_.size() - at_}); }

 private:
  std::string_view data_;
  std::size_t window_;
  std::size_t at_ = 0;
};

// The program's rule for where characters start: these bytes take the
// next one along, whatever it is.
bool isLead(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) || byte >= 0xE0;
}

char32_t firstCodePoint(const std::string& utf8) {
  const auto byte = [&](std::size_t k) {
    return static_cast<char32_t>(static_cast<unsigned char>(utf8[k]));
  };
  if (byte(0) < 0x80) return byte(0);
  if (byte(0) < 0xE0) return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
  if (byte(0) < 0xF0) return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
  return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
}

constexpr char32_t kNone = 0xFFFFFFFF;

// Every character of CP932 as Unicode: one byte, or lead << 8 | trail.
struct Decoded {
  std::vector<char32_t> single = std::vector<char32_t>(256, kNone);
  std::vector<char32_t> pair = std::vector<char32_t>(65536, kNone);

  Decoded() {
    const Converter toUtf8("UTF-8", "CP932");
    std::string out;
    const auto decode = [&](std::string_view bytes) {
      if (toUtf8.convertCharacter(bytes, out) != Converter::Step::Done || out.empty()) return kNone;
      const char32_t code = firstCodePoint(out);
      // One character in, one out.
      return std::string(out).size() == utf8Size(code) ? code : kNone;
    };
    for (int byte = 0; byte < 256; ++byte) {
      if (!isLead(static_cast<unsigned char>(byte))) {
        single[byte] = decode(std::string(1, static_cast<char>(byte)));
      }
    }
    for (int code = 0x8000; code < 0x10000; ++code) {
      if (!isLead(static_cast<unsigned char>(code >> 8))) continue;
      const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      pair[code] = decode(std::string_view(bytes, 2));
    }
  }
  static std::size_t utf8Size(char32_t code) {
    return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  }
};

const Decoded& decoded() {
  static const Decoded table;
  return table;
}

// Half-width katakana U+FF61..U+FF9F, their full-width forms.
constexpr std::u32string_view kFullWidthKana =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    U"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
constexpr std::u32string_view kVoiceable = U"カキクケコサシスセソタチツテトハヒフヘホウ";
constexpr std::u32string_view kSemiVoiceable = U"ハヒフヘホ";

char32_t fold(char32_t code) {
  if (code >= 'A' && code <= 'Z') return code + ('a' - 'A');
  if (code == '\t' || code == 0x3000) return ' ';
  if (code >= 0xFF01 && code <= 0xFF5E) return fold(code - 0xFEE0);
  if (code == 0xFFE5) return '\\';  // the full-width yen sign: the host's 0x5C
  if (code >= 0xFF61 && code <= 0xFF9F) return kFullWidthKana[code - 0xFF61];
  return code;
}

// A character as the reference compares it: a folded code point, or the
// raw bytes of what decodes to none.
struct Token {
  std::size_t start;
  std::size_t size;
  std::uint64_t key;
};

std::vector<Token> tokens(std::string_view text) {
  const Decoded& table = decoded();
  std::vector<Token> out;
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (isLead(byte) && at + 1 < text.size()) {
      const int code = byte << 8 | static_cast<unsigned char>(text[at + 1]);
      const char32_t unicode = table.pair[code];
      out.push_back({at, 2, unicode == kNone ? (std::uint64_t{2} << 32 | code) : fold(unicode)});
      at += 2;
      continue;
    }
    const char32_t unicode = table.single[byte];
    std::uint64_t key = unicode == kNone ? (std::uint64_t{1} << 32 | byte) : fold(unicode);
    std::size_t size = 1;
    // A half-width kana and its mark are one character where Unicode has
    // the marked kana.
    if (unicode >= 0xFF61 && unicode <= 0xFF9D && at + 1 < text.size()) {
      const char32_t base = fold(unicode);
      const char32_t mark = table.single[static_cast<unsigned char>(text[at + 1])];
      char32_t marked = kNone;
      if (mark == 0xFF9E && kVoiceable.find(base) != std::u32string_view::npos) {
        marked = base == U'ウ' ? U'ヴ' : base + 1;
      } else if (mark == 0xFF9F && kSemiVoiceable.find(base) != std::u32string_view::npos) {
        marked = base + 2;
      }
      if (marked != kNone) {
        key = marked;
        size = 2;
      }
    }
    out.push_back({at, size, key});
    at += size;
  }
  return out;
}

bool matchesAt(const std::vector<Token>& text, std::size_t at, const std::vector<Token>& pattern) {
  if (at + pattern.size() > text.size()) return false;
  for (std::size_t k = 0; k < pattern.size(); ++k) {
    if (text[at + k].key != pattern[k].key) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t patternBytes = std::min<std::size_t>(data[0] % 16 + 1, size - 2);
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string_view patternText = input.substr(0, patternBytes);
  const std::string_view text = input.substr(patternBytes);
  const search::SearchPattern pattern = search::compilePattern(patternText);
  const std::vector<Token> patternTokens = tokens(patternText);
  FUZZ_CHECK(pattern.units.size() == patternTokens.size());
  // A search text is typed: it holds characters, never a byte that
  // begins none or a lead byte without its trail.
  for (const Token& token : patternTokens) {
    if (token.key >> 32 != 0) return 0;
  }
  if (patternTokens.empty()) {
    FUZZ_CHECK(search::findMatches(text, pattern).empty());
    return 0;
  }
  const std::vector<Token> textTokens = tokens(text);

  std::vector<search::MatchSpan> leftToRight;
  std::vector<search::RangeMatch> every;
  for (std::size_t k = 0; k < textTokens.size(); ++k) {
    if (!matchesAt(textTokens, k, patternTokens)) continue;
    const Token& last = textTokens[k + patternTokens.size() - 1];
    const std::size_t start = textTokens[k].start;
    every.push_back({static_cast<LogOffset>(start),
                     static_cast<std::uint32_t>(last.start + last.size - start)});
    if (leftToRight.empty() || start >= leftToRight.back().start + leftToRight.back().size) {
      leftToRight.push_back({start, last.start + last.size - start});
    }
  }
  const std::vector<search::MatchSpan> spans = search::findMatches(text, pattern);
  if (spans != leftToRight) {
    for (const auto& m : spans) std::fprintf(stderr, "findMatches %zu+%zu\n", m.start, m.size);
    for (const auto& m : leftToRight) std::fprintf(stderr, "reference %zu+%zu\n", m.start, m.size);
  }
  FUZZ_CHECK(spans == leftToRight);

  // Windows large enough for a match's margins on both sides.
  const std::size_t window = 3 * search::matchMargin(pattern) + 1 + data[1];
  WindowStream stream(text, window);
  const search::Anchor anchor = search::chooseAnchor(pattern, text);
  const std::vector<search::RangeMatch> found =
      search::matchesIn(stream, 0, static_cast<LogOffset>(text.size()), pattern, anchor);
  if (found != every) {
    for (const auto& m : found)
      std::fprintf(stderr, "matchesIn %lld+%u\n", static_cast<long long>(m.start), m.bytes);
    for (const auto& m : every)
      std::fprintf(stderr, "reference %lld+%u\n", static_cast<long long>(m.start), m.bytes);
  }
  FUZZ_CHECK(found == every);
  return 0;
}

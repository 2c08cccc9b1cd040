#include "search/fold.h"

#include <array>
#include <memory>

#include "platform/encoding.h"
#include "text/cp932.h"

namespace zazir::search {

using namespace zazir::literals;

namespace {

constexpr unsigned char kFirstHalfWidth = 0xA1;
constexpr unsigned char kLastHalfWidth = 0xDF;
constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

Unit codeOf(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return lead;
  return static_cast<Unit>(lead << 8 | static_cast<unsigned char>(character[1]));
}

// The double-byte characters of a CP932 text, one by one.
std::vector<Unit> codesOf(const std::string& text) {
  std::vector<Unit> codes;
  for (std::size_t at = 0; at + 1 < text.size(); at += 2) codes.push_back(codeOf(text.substr(at, 2)));
  return codes;
}

std::string utf8Of(char32_t code) {
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

struct FoldTable {
  std::array<Unit, 256> single{};
  std::vector<Unit> twoByte = std::vector<Unit>(65536);
  // Per half-width byte (from 0xA1): its unit followed by the voiced and
  // by the semi-voiced mark; 0 where the pair stays two units.
  std::array<Unit, 64> voiced{};
  std::array<Unit, 64> semiVoiced{};

  FoldTable() {
    for (int byte = 0; byte < 256; ++byte) single[byte] = static_cast<Unit>(byte);
    for (int code = 0; code < 65536; ++code) twoByte[code] = static_cast<Unit>(code);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      single[static_cast<unsigned char>(letter)] = static_cast<Unit>(letter - 'A' + 'a');
    }
    // A tab shows as a blank in the readers, and the ideographic space is a
    // blank to whoever types one.
    single['\t'] = ' ';
    twoByte[codeOf("　"_sj)] = ' ';
    // Full-width ASCII (U+FF01..U+FF5E) is ASCII; the host's 0x5C is the
    // yen sign, so the full-width yen sign is 0x5C too.
    for (char32_t ascii = 0x21; ascii <= 0x7E; ++ascii) {
      const auto wide = utf8ToCp932(utf8Of(0xFF01 + (ascii - 0x21)));
      if (wide && wide->size() == 2) twoByte[codeOf(*wide)] = single[ascii];
    }
    twoByte[codeOf("￥"_sj)] = '\\';
    const std::vector<Unit> full =
        codesOf("。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
                "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜"_sj);
    for (std::size_t k = 0; k < full.size(); ++k) single[kFirstHalfWidth + k] = full[k];
    pair(codesOf("カキクケコサシスセソタチツテトハヒフヘホウ"_sj),
         codesOf("ガギグゲゴザジズゼゾダヂヅデドバビブベボヴ"_sj), voiced);
    pair(codesOf("ハヒフヘホ"_sj), codesOf("パピプペポ"_sj), semiVoiced);
    foldTwins();
  }

  // CP932 holds some characters twice (NEC's and IBM's codes for the same
  // symbol or kanji): each goes with the code that typing the character
  // gives, the one Unicode's form converts back to.
  void foldTwins() {
    const Converter toUnicode("UTF-8", "CP932");
    const Converter fromUnicode("CP932", "UTF-8");
    std::string character;
    std::string back;
    for (int code = 0x8000; code < 0x10000; ++code) {
      if (!isLeadByte(static_cast<unsigned char>(code >> 8))) continue;
      const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      if (toUnicode.convertCharacter(std::string_view(bytes, 2), character) !=
              Converter::Step::Done ||
          fromUnicode.convertCharacter(character, back) != Converter::Step::Done) {
        continue;
      }
      if (back.size() == 2 && codeOf(back) != code) twoByte[code] = twoByte[codeOf(back)];
    }
  }

  void pair(const std::vector<Unit>& bases, const std::vector<Unit>& marked,
            std::array<Unit, 64>& into) {
    for (std::size_t k = 0; k < bases.size(); ++k) {
      for (int byte = kFirstHalfWidth; byte <= kLastHalfWidth; ++byte) {
        if (single[byte] == bases[k]) into[byte - kFirstHalfWidth] = marked[k];
      }
    }
  }
};

const FoldTable& table() {
  static const FoldTable instance;
  return instance;
}

}  // namespace

Folded foldAt(std::string_view text, std::size_t at) {
  const FoldTable& t = table();
  const auto byte = static_cast<unsigned char>(text[at]);
  const bool hasNext = at + 1 < text.size();
  if (isLeadByte(byte)) {
    if (!hasNext) return {byte, 1};
    return {t.twoByte[codeOf(text.substr(at, 2))], 2};
  }
  if (byte >= kFirstHalfWidth && byte <= kLastHalfWidth && hasNext) {
    const auto next = static_cast<unsigned char>(text[at + 1]);
    const std::size_t k = byte - kFirstHalfWidth;
    const Unit combined = next == kVoicedMark       ? t.voiced[k]
                          : next == kSemiVoicedMark ? t.semiVoiced[k]
                                                    : Unit{0};
    if (combined != 0) return {combined, 2};
  }
  return {t.single[byte], 1};
}

// Looked for in every character of CP932 each time: a search asks for a
// few units once, and a table of them all took longer to make than the
// search of a log.
std::vector<std::string> rawForms(Unit unit) {
  const FoldTable& t = table();
  std::vector<std::string> forms;
  for (int byte = 0; byte < 256; ++byte) {
    if (!isLeadByte(static_cast<unsigned char>(byte)) && t.single[byte] == unit) {
      forms.emplace_back(1, static_cast<char>(byte));
    }
  }
  for (int lead = 0x80; lead < 0x100; ++lead) {
    if (!isLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail != 0x7F && t.twoByte[lead << 8 | trail] == unit) {
        forms.push_back({static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
  }
  for (int byte = kFirstHalfWidth; byte <= kLastHalfWidth; ++byte) {
    const std::size_t k = byte - kFirstHalfWidth;
    if (t.voiced[k] != 0 && t.voiced[k] == unit) {
      forms.push_back({static_cast<char>(byte), '\xDE'});
    }
    if (t.semiVoiced[k] != 0 && t.semiVoiced[k] == unit) {
      forms.push_back({static_cast<char>(byte), '\xDF'});
    }
  }
  return forms;
}

SearchPattern compilePattern(std::string_view text) {
  SearchPattern pattern;
  for (std::size_t at = 0; at < text.size();) {
    const Folded folded = foldAt(text, at);
    pattern.units.push_back(folded.unit);
    at += folded.size;
  }
  return pattern;
}

std::size_t matchAt(std::string_view text, std::size_t at, const SearchPattern& pattern) {
  if (pattern.units.empty()) return std::string_view::npos;
  for (const Unit unit : pattern.units) {
    if (at >= text.size()) return std::string_view::npos;
    const Folded folded = foldAt(text, at);
    if (folded.unit != unit) return std::string_view::npos;
    at += folded.size;
  }
  return at;
}

std::vector<MatchSpan> findMatches(std::string_view text, const SearchPattern& pattern) {
  std::vector<MatchSpan> spans;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = matchAt(text, at, pattern);
    if (end != std::string_view::npos) {
      spans.push_back({at, end - at});
      at = end;
    } else {
      at += foldAt(text, at).size;
    }
  }
  return spans;
}

}  // namespace zazir::search

// Encoding conversion at the program's edges (iconv). Inside, every text is
// CP932 bytes; the terminal, typed text and file names may use another
// codeset.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zazir {

// One iconv conversion direction. Conversions are whole: a text that holds
// a byte sequence with no form in the target gives no result.
class Converter {
 public:
  Converter(const std::string& toCodeset, const std::string& fromCodeset);
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != nullptr; }
  std::optional<std::string> convert(std::string_view text) const;

  enum class Step { Done, Incomplete, Invalid };
  // Converts a byte sequence that should hold exactly one character, telling
  // apart an unfinished sequence from an invalid one (for typed text).
  Step convertCharacter(std::string_view bytes, std::string& out) const;

 private:
  void* handle_ = nullptr;  // iconv_t
};

// The codeset of the current locale (LC_CTYPE), as nl_langinfo names it.
std::string localeCodeset();

// True when the codeset is Shift-JIS or a close relative, so that CP932
// bytes need no conversion.
bool isCp932Codeset(std::string_view codeset);

// The codeset the terminal is drawn and typed in: `forced` when it is set
// (ZAZIR_CHARSET: UTF-8, or SJIS and its other names), else the locale's
// when it can show Japanese, else UTF-8 (under LANG=C every character
// would be a "?"). None when `forced` names neither.
std::optional<std::string> terminalCodeset(std::string_view locale, std::string_view forced);

// True when `bytes` are valid UTF-8 holding some non-ASCII text: what a
// user's editor writes, rather than CP932 (which is almost never valid
// UTF-8 once it holds Japanese).
bool isUtf8Text(std::string_view bytes);

std::optional<std::string> utf8ToCp932(std::string_view utf8);
std::optional<std::string> cp932ToUtf8(std::string_view cp932);

// File names: CP932 to the locale's codeset on the way to the operating
// system, and back. A name that cannot be converted is passed as it stands.
std::string toOsName(std::string_view cp932);
std::string fromOsName(std::string_view osName);

// A file name as the screens show it: in CP932, each character that has no
// CP932 form replaced by a mark. The file itself is opened by `osName`.
std::string shownFileName(std::string_view osName);

namespace detail {
std::string literalToCp932(std::string_view utf8);

template <std::size_t N>
struct FixedString {
  constexpr FixedString(const char (&text)[N]) { std::copy_n(text, N, chars); }
  constexpr std::string_view view() const { return std::string_view(chars, N - 1); }
  char chars[N];
};
}  // namespace detail

namespace literals {
// The program's own texts are written in UTF-8 in the sources and used as
// CP932: "書き込み"_sj is converted once, on first use.
template <detail::FixedString Text>
const std::string& operator""_sj() {
  static const std::string converted = detail::literalToCp932(Text.view());
  return converted;
}
}  // namespace literals

}  // namespace zazir

#include "platform/encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zazir {
namespace {

iconv_t asIconv(void* handle) {
  return static_cast<iconv_t>(handle);
}

std::string upperWithoutDashes(std::string_view text) {
  std::string upper;
  for (char c : text) {
    if (c != '-' && c != '_') upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  return upper;
}

// Kana and kanji: a codeset that holds these can show the host's texts.
constexpr std::string_view kJapaneseProbe = "\x82\xA9\x83\x4A\x8A\xBF";  // かカ漢

}  // namespace

Converter::Converter(const std::string& toCodeset, const std::string& fromCodeset) {
  iconv_t cd = iconv_open(toCodeset.c_str(), fromCodeset.c_str());
  if (cd != reinterpret_cast<iconv_t>(-1)) handle_ = cd;
}

Converter::~Converter() {
  if (handle_) iconv_close(asIconv(handle_));
}

std::optional<std::string> Converter::convert(std::string_view text) const {
  if (!handle_) return std::nullopt;
  iconv(asIconv(handle_), nullptr, nullptr, nullptr, nullptr);
  std::string out;
  std::vector<char> buffer(text.size() * 4 + 16);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (true) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(asIconv(handle_), inLeft ? &in : nullptr,
                                     inLeft ? &inLeft : nullptr, &outPtr, &outLeft);
    out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
    if (result != static_cast<std::size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (errno == E2BIG) continue;
    return std::nullopt;  // EILSEQ or EINVAL: not convertible as a whole
  }
  return out;
}

Converter::Step Converter::convertCharacter(std::string_view bytes, std::string& out) const {
  if (!handle_) return Step::Invalid;
  iconv(asIconv(handle_), nullptr, nullptr, nullptr, nullptr);
  char buffer[32];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  const std::size_t result = iconv(asIconv(handle_), &in, &inLeft, &outPtr, &outLeft);
  if (result == static_cast<std::size_t>(-1)) {
    return errno == EINVAL ? Step::Incomplete : Step::Invalid;
  }
  out.assign(buffer, static_cast<std::size_t>(outPtr - buffer));
  return Step::Done;
}

std::string localeCodeset() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset ? codeset : "ANSI_X3.4-1968";
}

bool isCp932Codeset(std::string_view codeset) {
  const std::string upper = upperWithoutDashes(codeset);
  return upper == "CP932" || upper == "SJIS" || upper == "SHIFTJIS" || upper == "WINDOWS31J" ||
         upper == "MSKANJI";
}

std::optional<std::string> terminalCodeset(std::string_view locale, std::string_view forced) {
  if (!forced.empty()) {
    if (upperWithoutDashes(forced) == "UTF8") return "UTF-8";
    if (isCp932Codeset(forced)) return "CP932";
    return std::nullopt;
  }
  if (isCp932Codeset(locale)) return std::string(locale);
  const std::string codeset(locale);
  if (Converter(codeset, "CP932").convert(kJapaneseProbe)) return codeset;
  return "UTF-8";
}

bool isUtf8Text(std::string_view bytes) {
  bool nonAscii = false;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
      ++at;
      continue;
    }
    nonAscii = true;
    // The second byte's range shuts out overlong forms, surrogates and
    // code points beyond U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (at + length > bytes.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(bytes[at + i]);
      if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return false;
    }
    at += length;
  }
  return nonAscii;
}

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
  return Converter("CP932", "UTF-8").convert(utf8);
}

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
  return Converter("UTF-8", "CP932").convert(cp932);
}

std::string toOsName(std::string_view cp932) {
  const std::string codeset = localeCodeset();
  if (isCp932Codeset(codeset)) return std::string(cp932);
  auto converted = Converter(codeset, "CP932").convert(cp932);
  return converted ? *converted : std::string(cp932);
}

std::string fromOsName(std::string_view osName) {
  const std::string codeset = localeCodeset();
  if (isCp932Codeset(codeset)) return std::string(osName);
  auto converted = Converter("CP932", codeset).convert(osName);
  return converted ? *converted : std::string(osName);
}

std::string shownFileName(std::string_view osName) {
  using namespace literals;
  std::string name = fromOsName(osName);
  if (toOsName(name) == osName) return name;
  const Converter converter("CP932", localeCodeset());
  constexpr std::size_t kLongestCharacter = 6;
  name.clear();
  for (std::size_t at = 0; at < osName.size();) {
    std::string converted;
    std::size_t length = 1;
    Converter::Step step = Converter::Step::Invalid;
    for (; at + length <= osName.size() && length <= kLongestCharacter; ++length) {
      step = converter.convertCharacter(osName.substr(at, length), converted);
      if (step != Converter::Step::Incomplete) break;
    }
    name += step == Converter::Step::Done ? converted : "〓"_sj;
    at += std::min(length, osName.size() - at);
  }
  return name;
}

namespace detail {

std::string literalToCp932(std::string_view utf8) {
  auto converted = utf8ToCp932(utf8);
  if (!converted) {
    // A program text without a CP932 form is a fault in the program itself.
    std::fprintf(stderr, "zazir: text has no CP932 form: %.*s\n", static_cast<int>(utf8.size()),
                 utf8.data());
    std::abort();
  }
  return *converted;
}

}  // namespace detail
}  // namespace zazir

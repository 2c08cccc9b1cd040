#include "export/outputtext.h"

#include "platform/encoding.h"

namespace zazir {

namespace {

bool isUtf8Codeset(std::string_view codeset) {
  std::string name;
  for (const char c : codeset) {
    if (c != '-' && c != '_') name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  return name == "UTF8";
}

std::string usableCodeset(const std::string& codeset) {
  if (isUtf8Codeset(codeset)) return codeset;
  // Kanji, kana and half-width kana: what the logs hold.
  const bool holdsJapanese = Converter(codeset, "UTF-8").convert("日本語かなｶﾅ").has_value();
  return holdsJapanese ? codeset : "UTF-8";
}

std::size_t utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

OutputText::OutputText() : OutputText(localeCodeset()) {}

OutputText::OutputText(const std::string& codeset) : codeset_(usableCodeset(codeset)) {
  if (!isUtf8Codeset(codeset_)) converter_ = std::make_unique<Converter>(codeset_, "UTF-8");
}

OutputText::~OutputText() = default;

std::string OutputText::operator()(std::string_view utf8) const {
  if (!converter_) return std::string(utf8);
  if (std::optional<std::string> whole = converter_->convert(utf8)) return *whole;
  std::string out;
  std::string one;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t size = utf8Length(static_cast<unsigned char>(utf8[at]));
    const bool done =
        converter_->convertCharacter(utf8.substr(at, size), one) == Converter::Step::Done;
    out += done ? one : "?";
    at += size;
  }
  return out;
}

std::string blankControls(std::string_view bytes) {
  std::string text(bytes);
  blankControlsIn(text);
  return text;
}

void blankControlsIn(std::string& text) {
  for (char& c : text) {
    if ((c >= 0 && c < 0x20) || c == 0x7F) c = ' ';
  }
}

}  // namespace zazir

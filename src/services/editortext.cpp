#include "services/editortext.h"

#include "console/console.h"
#include "formats/config.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace zazir {

using namespace literals;

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isContinuation(unsigned char byte) {
  return byte >= 0x80 && byte <= 0xBF;
}

// The bytes of the UTF-8 character at `at`; 1 for a byte that begins none.
std::size_t utf8Length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 1;
  if (at + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if (!isContinuation(static_cast<unsigned char>(text[at + i]))) return 1;
  }
  return length;
}

// The bytes of the CP932 character at `at`: a lead byte takes its trail
// byte along only when that can be one (a line end never is).
std::size_t cp932Length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const bool opens = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
  if (!opens || at + 1 >= text.size()) return 1;
  const auto trail = static_cast<unsigned char>(text[at + 1]);
  return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC) ? 2 : 1;
}

// Converts character by character: each one that has no form in the
// target becomes `replacement`, at the offsets listed in `replaced`.
template <typename Length>
std::string convertEach(const Converter& converter, std::string_view text, Length length,
                        std::string_view replacement, std::vector<std::size_t>* replaced) {
  std::string out;
  std::string character;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t size = length(text, at);
    if (converter.convertCharacter(text.substr(at, size), character) == Converter::Step::Done) {
      out += character;
    } else {
      if (replaced) replaced->push_back(out.size());
      out += replacement;
    }
    at += size;
  }
  return out;
}

}  // namespace

bool editorUsesUtf8(const Config& config, const Console& console) {
  switch (config.editorCode) {
    case EditorCode::Sjis:
      return false;
    case EditorCode::Utf8:
      return true;
    case EditorCode::Locale:
      break;
  }
  return !isCp932Codeset(console.inputCodeset());
}

const std::string& unconvertiblePlaceholder() {
  return "〓"_sj;
}

std::string toEditorFile(std::string_view text, bool utf8) {
  if (!utf8) return toTextMode(text);
  if (auto whole = cp932ToUtf8(text)) return *whole;
  return convertEach(Converter("UTF-8", "CP932"), text, cp932Length, kReplacement, nullptr);
}

EditedText fromEditorFile(std::string_view bytes, bool utf8) {
  std::string text = fromTextMode(bytes);
  if (!utf8) return {std::move(text), {}};
  if (auto whole = utf8ToCp932(text)) return {std::move(*whole), {}};
  EditedText edited;
  edited.text = convertEach(Converter("CP932", "UTF-8"), text, utf8Length,
                            unconvertiblePlaceholder(), &edited.unconvertible);
  return edited;
}

std::string fromUserFile(std::string_view bytes) {
  if (!isUtf8Text(bytes)) return std::string(bytes);
  // The mark some editors put first would make the first key unknown.
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (auto whole = utf8ToCp932(bytes)) return std::move(*whole);
  return convertEach(Converter("CP932", "UTF-8"), bytes, utf8Length, unconvertiblePlaceholder(),
                     nullptr);
}

}  // namespace zazir

#include "console/lineeditor.h"

#include "console/keys.h"
#include "platform/encoding.h"
#include "text/cp932.h"

namespace zazir {
namespace {
// No character of any codeset in use takes more bytes than this.
constexpr std::size_t kLongestCharacter = 6;
}  // namespace

LineEditor::LineEditor(std::size_t maxBytes, std::string_view initial,
                       const std::string& inputCodeset)
    : maxBytes_(maxBytes),
      text_(cutToBytes(initial, maxBytes)),
      inputIsCp932_(isCp932Codeset(inputCodeset)) {
  if (!inputIsCp932_) toCp932_ = std::make_unique<Converter>("CP932", inputCodeset);
}

LineEditor::~LineEditor() = default;

LineEditor::Step LineEditor::feed(int key) {
  switch (key) {
    case key::kEnter:
      pending_.clear();
      return {Outcome::Accepted};
    case key::kEscape:
      text_.clear();
      pending_.clear();
      return {Outcome::Cancelled};
    case key::kBackspace: {
      pending_.clear();
      if (text_.empty()) return {Outcome::Editing, true};
      // Walk to the start of the last character: a trail byte can look like
      // anything, so only a walk from the start tells.
      std::size_t last = 0;
      for (std::size_t at = 0; at < text_.size(); at += isLeadByte(text_[at]) ? 2 : 1) last = at;
      text_.resize(last);
      return {};
    }
    case key::kCtrlU:
      text_.clear();
      pending_.clear();
      return {};
    default:
      break;
  }
  const unsigned char byte = static_cast<unsigned char>(key);
  if (byte < 0x20 || byte == 0x7F) return {};  // other control keys do nothing here
  return insertTyped(byte);
}

LineEditor::Step LineEditor::insertTyped(unsigned char byte) {
  pending_ += static_cast<char>(byte);
  if (inputIsCp932_) {
    if (pending_.size() == 1 && isLeadByte(byte)) return {};
    std::string character;
    character.swap(pending_);
    return insertCharacter(character);
  }
  std::string converted;
  switch (toCp932_->convertCharacter(pending_, converted)) {
    case Converter::Step::Incomplete:
      if (pending_.size() < kLongestCharacter) return {};
      [[fallthrough]];
    case Converter::Step::Invalid:
      pending_.clear();
      return {Outcome::Editing, true};
    case Converter::Step::Done:
      pending_.clear();
      return insertCharacter(converted);
  }
  return {};
}

LineEditor::Step LineEditor::insertCharacter(std::string_view cp932) {
  if (cp932.empty()) return {};
  if (text_.size() + cp932.size() > maxBytes_) return {Outcome::Editing, true};
  text_ += cp932;
  return {};
}

}  // namespace zazir

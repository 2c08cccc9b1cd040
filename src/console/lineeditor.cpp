#include "console/lineeditor.h"

#include <algorithm>

#include "console/keymap.h"
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
      cursor_(text_.size()),
      inputIsCp932_(isCp932Codeset(inputCodeset)) {
  if (!inputIsCp932_) toCp932_ = std::make_unique<Converter>("CP932", inputCodeset);
}

LineEditor::~LineEditor() = default;

KeyTable<LineEditor::Edit> LineEditor::keys() {
  static const Binding<Edit> kKeys[] = {
      {{key::kEnter}, Edit::Accept},
      {{key::kEscape}, Edit::Cancel},
      {{key::kBackspace}, Edit::DeleteBefore},
      {{key::kDelete}, Edit::DeleteAt},
      {{key::kLeft}, Edit::Left},
      {{key::kRight}, Edit::Right},
      {{key::kHome}, Edit::Home},
      {{key::kEnd}, Edit::End},
      {{key::kCtrlU}, Edit::Clear},
  };
  return kKeys;
}

KeyRows LineEditor::keyRows() {
  return keyRowsOf(keys());
}

LineEditor::Step LineEditor::feed(Key key) {
  if (const Edit* edit = actionOf<Edit>(keys(), key)) {
    pending_.clear();
    return apply(*edit);
  }
  // Other control keys and named keys do nothing here.
  if (!key.isByte() || key.byte() < 0x20 || key.byte() == 0x7F) return {};
  return insertTyped(key.byte());
}

LineEditor::Step LineEditor::apply(Edit edit) {
  switch (edit) {
    case Edit::Accept:
      return {Outcome::Accepted};
    case Edit::Cancel:
      text_.clear();
      cursor_ = 0;
      return {Outcome::Cancelled};
    case Edit::DeleteBefore: {
      if (cursor_ == 0) return {Outcome::Editing, true};
      const std::size_t from = previousCharacter();
      text_.erase(from, cursor_ - from);
      cursor_ = from;
      return {};
    }
    case Edit::DeleteAt:
      if (cursor_ == text_.size()) return {Outcome::Editing, true};
      text_.erase(cursor_, nextCharacter() - cursor_);
      return {};
    case Edit::Left:
      cursor_ = previousCharacter();
      return {};
    case Edit::Right:
      cursor_ = nextCharacter();
      return {};
    case Edit::Home:
      cursor_ = 0;
      return {};
    case Edit::End:
      cursor_ = text_.size();
      return {};
    case Edit::Clear:
      text_.clear();
      cursor_ = 0;
      return {};
  }
  return {};
}

// A trail byte can look like anything, so only a walk from the start finds
// where the character before the cursor begins.
std::size_t LineEditor::previousCharacter() const {
  std::size_t last = 0;
  for (std::size_t at = 0; at < cursor_; at += isLeadByte(text_[at]) ? 2 : 1) last = at;
  return last;
}

std::size_t LineEditor::nextCharacter() const {
  if (cursor_ >= text_.size()) return text_.size();
  return std::min(text_.size(), cursor_ + (isLeadByte(text_[cursor_]) ? 2 : 1));
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
  text_.insert(cursor_, cp932);
  cursor_ += cp932.size();
  return {};
}

}  // namespace zazir

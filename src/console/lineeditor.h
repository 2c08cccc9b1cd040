// The line editor of the prompt row: a state fed one key at a time, with
// no drawing of its own. Typed bytes arrive in the terminal's codeset and
// are kept as CP932; the cursor stands where typing goes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "console/keymap.h"
#include "console/keys.h"

namespace zazir {

class Converter;

class LineEditor {
 public:
  // The cursor starts at the end of `initial`.
  LineEditor(std::size_t maxBytes, std::string_view initial, const std::string& inputCodeset);
  ~LineEditor();

  enum class Outcome { Editing, Accepted, Cancelled };
  struct Step {
    Outcome outcome = Outcome::Editing;
    bool refused = false;  // the key was refused: ring the bell
  };
  Step feed(Key key);

  // The line so far (CP932); empty after a cancel.
  const std::string& text() const { return text_; }
  // The byte offset of the cursor in the text, on a character boundary.
  std::size_t cursor() const { return cursor_; }

  // Its keys, for the list of every screen's keys (app/keytables).
  static KeyRows keyRows();

 private:
  enum class Edit { Accept, Cancel, DeleteBefore, DeleteAt, Left, Right, Home, End, Clear };
  static KeyTable<Edit> keys();
  Step apply(Edit edit);
  Step insertTyped(unsigned char byte);
  Step insertCharacter(std::string_view cp932);
  std::size_t previousCharacter() const;
  std::size_t nextCharacter() const;

  std::size_t maxBytes_;
  std::string text_;
  std::size_t cursor_;
  std::string pending_;  // bytes of a character not yet complete
  bool inputIsCp932_;
  std::unique_ptr<Converter> toCp932_;
};

}  // namespace zazir

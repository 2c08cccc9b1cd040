// What the console needs from a terminal: show a screen, sound the bell,
// read a key, tell its height, and step aside while an external command
// runs.
#pragma once

#include <optional>
#include <string>

#include "console/keys.h"
#include "console/screen.h"

namespace zazir {

class TerminalBackend {
 public:
  virtual ~TerminalBackend() = default;

  virtual void present(const Screen& screen) = 0;
  virtual void bell() = 0;
  // Blocks for one key. key::kResize tells that the terminal's size
  // changed.
  virtual Key readKey() = 0;
  // The terminal may no longer show what was presented (Ctrl-L): the next
  // present sends every cell.
  virtual void forgetShown() {}
  // A key already typed, without waiting for one; none when nothing is
  // typed (or the backend cannot tell).
  virtual std::optional<Key> pollKey() { return std::nullopt; }
  // The terminal's height in rows.
  virtual int rows() const = 0;
  // The codeset of typed bytes ("UTF-8", "CP932", ...).
  virtual std::string inputCodeset() const = 0;
  // Around an external command: normal mode on the normal screen, then raw
  // mode and the whole screen again.
  virtual void suspend() = 0;
  virtual void resume() = 0;
};

}  // namespace zazir

// Keys as actions: each screen binds its keys to its actions in one table,
// and its help box and status-bar hints are made from that table, so that
// they cannot disagree with what the keys do.
#pragma once

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "console/dialogs.h"
#include "console/keys.h"

namespace zazir {

// What a screen does after a key: nothing to draw, draw again, or leave.
enum class Outcome { Stay, Redraw, Leave };

// The few keys of one binding.
class KeyList {
 public:
  constexpr KeyList(std::initializer_list<Key> keys) {
    for (Key k : keys) keys_.at(size_++) = k;
  }
  constexpr bool contains(Key key) const {
    for (std::size_t i = 0; i < size_; ++i) {
      if (keys_[i] == key) return true;
    }
    return false;
  }
  constexpr std::span<const Key> keys() const { return {keys_.data(), size_}; }

 private:
  std::array<Key, 8> keys_{};
  std::size_t size_ = 0;
};

// The keys that leave a list or a question: Esc and Q.
inline constexpr KeyList kLeaveKeys{key::kEscape, 'Q', 'q'};

// The keys that move as the cursor keys do, wherever those move: the
// arrows, the keypad's digits, and the codes the arrows once gave, which
// keyboards still send for Ctrl+K (up), Ctrl+J (down) and Ctrl+H or
// Backspace (left). Ctrl+L, once right, repaints the screen instead.
inline constexpr KeyList kUpKeys{key::kUp, '8', key::kCtrlK};
inline constexpr KeyList kDownKeys{key::kDown, '2', key::kCtrlJ};
inline constexpr KeyList kLeftKeys{key::kLeft, '4', key::kBackspace};
inline constexpr KeyList kRightKeys{key::kRight, '6'};

template <typename Action>
struct Binding {
  KeyList keys;
  Action action;
  // Its line in the help box (CP932); empty when the line before names
  // its keys too.
  std::string_view help = {};
  // Its place on the status bar (CP932); most bindings have none.
  std::string_view hint = {};
};

template <typename Action>
using KeyTable = std::span<const Binding<Action>>;

// The action `key` is bound to, or null.
template <typename Action>
const Action* actionOf(KeyTable<Action> table, Key key) {
  for (const Binding<Action>& binding : table) {
    if (binding.keys.contains(key)) return &binding.action;
  }
  return nullptr;
}

// The hints of the table in its order, one blank between them.
template <typename Action>
std::string hintsOf(KeyTable<Action> table) {
  std::string hints;
  for (const Binding<Action>& binding : table) {
    if (binding.hint.empty()) continue;
    if (!hints.empty()) hints += ' ';
    hints += binding.hint;
  }
  return hints;
}

// A binding with its action left out: what the list of every screen's
// keys (app/keytables) holds.
struct KeyRow {
  KeyList keys;
  std::string_view help;
};
using KeyRows = std::vector<KeyRow>;

template <typename Action>
KeyRows keyRowsOf(KeyTable<Action> table) {
  KeyRows rows;
  for (const Binding<Action>& binding : table) rows.push_back({binding.keys, binding.help});
  return rows;
}

// A key bound a second time in `rows`, whose later binding no key press
// would ever reach; none when each key is bound once.
inline std::optional<Key> keyBoundTwice(const KeyRows& rows) {
  std::vector<Key> seen;
  for (const KeyRow& row : rows) {
    for (const Key key : row.keys.keys()) {
      if (std::find(seen.begin(), seen.end(), key) != seen.end()) return key;
      seen.push_back(key);
    }
  }
  return std::nullopt;
}

template <typename Action>
std::vector<std::string_view> helpLinesOf(KeyTable<Action> table) {
  std::vector<std::string_view> lines;
  for (const Binding<Action>& binding : table) {
    if (!binding.help.empty()) lines.push_back(binding.help);
  }
  return lines;
}

// The screen's help box: every key of its table.
template <typename Action>
void showHelp(Console& console, std::string_view title, KeyTable<Action> table) {
  helpBox(console, title, helpLinesOf(table));
}

// Waits for a key of `table` and gives its action. Other keys change
// nothing; with `refuse` they ring the bell.
template <typename Action>
Action waitForAction(Console& console, KeyTable<Action> table, bool refuse = false) {
  while (true) {
    if (const Action* action = actionOf(table, console.getKey())) return *action;
    if (refuse) console.bell();
  }
}

// What a key loop does with a key no binding holds: nothing.
struct IgnoreKey {
  Outcome operator()() const { return Outcome::Stay; }
};

// A screen's key loop: `draw` at first, after every Redraw and after
// Ctrl+L (and, with Resizes::Report, after every change of the terminal's
// size); the action of each key of `table` goes to `act`, which says what
// follows. Other keys go to `other` (by default they change nothing).
template <typename Action, typename Act, typename Draw, typename Other = IgnoreKey>
void runKeyLoop(Console& console, KeyTable<Action> table, Act act, Draw draw,
                Resizes resizes = Resizes::Absorb, Other other = {}) {
  draw();
  while (true) {
    const Key key = console.getKey(resizes, Repaints::Report);
    if (key == key::kResize || key == key::kCtrlL) {
      draw();
      continue;
    }
    const Action* action = actionOf(table, key);
    switch (action != nullptr ? act(*action) : other()) {
      case Outcome::Stay:
        break;
      case Outcome::Redraw:
        draw();
        break;
      case Outcome::Leave:
        return;
    }
  }
}

}  // namespace zazir

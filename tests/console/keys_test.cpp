#include "console/keys.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using Kind = KeyDecode::Kind;

TEST(DecodeKey, Sequences) {
  struct Case {
    std::string input;
    Kind kind;
    Key key;
    std::size_t consumed;
  } cases[] = {
      {"\x1b[A", Kind::Key, key::kUp, 3},
      {"\x1b[B", Kind::Key, key::kDown, 3},
      {"\x1b[C", Kind::Key, key::kRight, 3},
      {"\x1b[D", Kind::Key, key::kLeft, 3},
      {"\x1bOA", Kind::Key, key::kUp, 3},
      {"\x1bOD", Kind::Key, key::kLeft, 3},
      {"\x1b[Dq", Kind::Key, key::kLeft, 3},
      {"\x1b[5~", Kind::Key, key::kPageUp, 4},
      {"\x1b[6~", Kind::Key, key::kPageDown, 4},
      {"\x1b[H", Kind::Key, key::kHome, 3},  // xterm
      {"\x1bOH", Kind::Key, key::kHome, 3},
      {"\x1b[1~", Kind::Key, key::kHome, 4},  // linux console
      {"\x1b[7~", Kind::Key, key::kHome, 4},  // rxvt
      {"\x1b[F", Kind::Key, key::kEnd, 3},
      {"\x1bOF", Kind::Key, key::kEnd, 3},
      {"\x1b[4~", Kind::Key, key::kEnd, 4},
      {"\x1b[8~", Kind::Key, key::kEnd, 4},
      {"\x1b[2~", Kind::Key, key::kInsert, 4},
      {"\x1b[3~", Kind::Key, key::kDelete, 4},
      {"\x1bOP", Kind::Key, Key::function(1), 3},
      {"\x1bOS", Kind::Key, Key::function(4), 3},
      {"\x1b[[A", Kind::Key, Key::function(1), 4},  // linux console
      {"\x1b[[E", Kind::Key, Key::function(5), 4},
      {"\x1b[11~", Kind::Key, Key::function(1), 5},  // rxvt
      {"\x1b[15~x", Kind::Key, Key::function(5), 5},
      {"\x1b[21~", Kind::Key, Key::function(10), 5},
      {"\x1b[24~", Kind::Key, Key::function(12), 5},
      // Modified keys give the plain key.
      {"\x1b[1;5A", Kind::Key, key::kUp, 6},
      {"\x1b[1;2H", Kind::Key, key::kHome, 6},
      {"\x1b[6;5~", Kind::Key, key::kPageDown, 6},
      {"\x1b[1;2P", Kind::Key, Key::function(1), 6},
      {"\x1b[5^", Kind::Key, key::kPageUp, 4},  // rxvt: Ctrl, Shift
      {"\x1b[3$", Kind::Key, key::kDelete, 4},
      {"\x1b[a", Kind::Key, key::kUp, 3},
      {"\x1bOd", Kind::Key, key::kLeft, 3},
      // Single bytes: Backspace in both forms; Ctrl-J and Ctrl-K are no arrows.
      {"\x7f", Kind::Key, key::kBackspace, 1},
      {"\x08", Kind::Key, key::kBackspace, 1},
      {"\n", Kind::Key, Key::ofByte(0x0A), 1},
      {"\x0b", Kind::Key, Key::ofByte(0x0B), 1},
      {"\r", Kind::Key, key::kEnter, 1},
      {"q", Kind::Key, 'q', 1},
      {"\x03", Kind::Key, Key::ofByte(0x03), 1},  // Ctrl-C is a key like any other
      {"\xe3", Kind::Key, Key::ofByte(0xE3), 1},  // a high byte is a key, not a negative code
      {"\x1b", Kind::Partial, {}, 0},
      {"\x1b[", Kind::Partial, {}, 0},
      {"\x1b[1;5", Kind::Partial, {}, 0},
      {"\x1b[[", Kind::Partial, {}, 0},
      {"\x1b[99~", Kind::Ignored, {}, 5},
      {"\x1b[<0;10;5M", Kind::Ignored, {}, 10},  // SGR mouse
      {"\x1b[M !!", Kind::Ignored, {}, 6},       // X10 mouse
      {"\x1b[M !", Kind::Partial, {}, 0},
      {"\x1b[12\rq", Kind::Ignored, {}, 4},  // a control byte breaks a sequence off
      {"\x1b[\r", Kind::Ignored, {}, 2},
      {"\x1bx", Kind::Key, key::kEscape, 1},  // Esc, then x (Alt-x, fast typing)
      {"\x1b\xe3\x81\x82", Kind::Key, key::kEscape, 1},
      {"\x1b\x1b[A", Kind::Key, key::kEscape, 1},
      {std::string(1, '\0'), Kind::Ignored, {}, 1},
  };
  for (const Case& c : cases) {
    const KeyDecode decoded = decodeKey(c.input);
    EXPECT_EQ(decoded.kind, c.kind) << ::testing::PrintToString(c.input);
    if (decoded.kind == Kind::Key) {
      EXPECT_EQ(decoded.key, c.key) << ::testing::PrintToString(c.input);
    }
    EXPECT_EQ(decoded.consumed, c.consumed) << ::testing::PrintToString(c.input);
  }
}

TEST(DecodeKey, ALoneEscAfterTheWaitIsEscAndAnUnfinishedSequenceIsDropped) {
  KeyDecode lone = decodeAfterTimeout("\x1b");
  EXPECT_EQ(lone.kind, Kind::Key);
  EXPECT_EQ(lone.key, key::kEscape);
  KeyDecode broken = decodeAfterTimeout("\x1b[1;");
  EXPECT_EQ(broken.kind, Kind::Ignored);
  EXPECT_EQ(broken.consumed, 4u);
}

}  // namespace
}  // namespace zazir

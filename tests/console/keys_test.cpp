#include "console/keys.h"

#include <gtest/gtest.h>

namespace zazir {
namespace {

using Kind = KeyDecode::Kind;

TEST(DecodeKey, Sequences) {
  struct Case {
    std::string input;
    Kind kind;
    int code;
    std::size_t consumed;
  } cases[] = {
      {"\x1b[A", Kind::Key, key::kUp, 3},
      {"\x1b[B", Kind::Key, key::kDown, 3},
      {"\x1b[C", Kind::Key, key::kRight, 3},
      {"\x1b[D", Kind::Key, key::kLeft, 3},
      {"\x1bOA", Kind::Key, key::kUp, 3},
      {"\x1bOD", Kind::Key, key::kLeft, 3},
      {"\x1b[Dq", Kind::Key, key::kLeft, 3},
      {"\x7f", Kind::Key, key::kBackspace, 1},
      {"\x08", Kind::Key, key::kBackspace, 1},
      {"\r", Kind::Key, key::kEnter, 1},
      {"q", Kind::Key, 'q', 1},
      {"\x03", Kind::Key, 3, 1},  // Ctrl-C is a key like any other
      {"\xe3", Kind::Key, static_cast<signed char>(0xe3), 1},
      {"\x1b", Kind::Partial, 0, 0},
      {"\x1b[", Kind::Partial, 0, 0},
      {"\x1b[1;5", Kind::Partial, 0, 0},
      {"\x1b[5~", Kind::Ignored, 0, 4},         // Page Up
      {"\x1b[15~x", Kind::Ignored, 0, 5},       // F5, then a key
      {"\x1b[1;5A", Kind::Ignored, 0, 6},       // Ctrl-Up
      {"\x1bOP", Kind::Ignored, 0, 3},          // F1
      {"\x1b[<0;10;5M", Kind::Ignored, 0, 10},  // SGR mouse
      {"\x1b[M !!", Kind::Ignored, 0, 6},       // X10 mouse
      {"\x1b[M !", Kind::Partial, 0, 0},
      {"\x1b[12\rq", Kind::Ignored, 0, 4},  // a control byte breaks a sequence off
      {"\x1bx", Kind::Key, key::kEscape, 1},  // Esc, then x (Alt-x, fast typing)
      {"\x1b\xe3\x81\x82", Kind::Key, key::kEscape, 1},
      {"\x1b\x1b[A", Kind::Key, key::kEscape, 1},
      {std::string(1, '\0'), Kind::Ignored, 0, 1},
  };
  for (const Case& c : cases) {
    const KeyDecode decoded = decodeKey(c.input);
    EXPECT_EQ(decoded.kind, c.kind) << testing::PrintToString(c.input);
    if (decoded.kind == Kind::Key) {
      EXPECT_EQ(decoded.code, c.code);
    }
    EXPECT_EQ(decoded.consumed, c.consumed) << testing::PrintToString(c.input);
  }
}

TEST(DecodeKey, ALoneEscAfterTheWaitIsEscAndAnUnfinishedSequenceIsDropped) {
  KeyDecode lone = decodeAfterTimeout("\x1b");
  EXPECT_EQ(lone.kind, Kind::Key);
  EXPECT_EQ(lone.code, key::kEscape);
  KeyDecode broken = decodeAfterTimeout("\x1b[1;");
  EXPECT_EQ(broken.kind, Kind::Ignored);
  EXPECT_EQ(broken.consumed, 4u);
}

}  // namespace
}  // namespace zazir

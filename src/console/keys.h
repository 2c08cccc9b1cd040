// Keys as the screens read them, and the decoder of terminal input.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zazir {

// One key: a typed byte (0x00..0xFF, never negative), or a named key,
// which lies above the byte range so that Left is never Backspace and Down
// never Ctrl-J.
class Key {
 public:
  enum class Named : std::uint16_t {
    Up = 0x100,
    Down,
    Left,
    Right,
    PageUp,
    PageDown,
    Home,
    End,
    Insert,
    Delete,
    Backspace,
    F1,
    F12 = F1 + 11,
    // No key: the terminal changed its size. Only the screens that lay
    // themselves out by the height are given it (Console::getKey).
    Resize,
  };

  constexpr Key() = default;
  constexpr Key(Named named) : code_(static_cast<std::uint16_t>(named)) {}
  // A character literal is the byte typed ('W', '5', ' '); only char, so
  // that no int slips in as a key.
  template <std::same_as<char> Char>
  constexpr Key(Char byte) : code_(static_cast<unsigned char>(byte)) {}

  static constexpr Key ofByte(unsigned char byte) { return Key(static_cast<char>(byte)); }
  static constexpr Key function(int n) { return Key(Named(static_cast<int>(Named::F1) + n - 1)); }

  constexpr bool isByte() const { return code_ <= 0xFF; }
  constexpr unsigned char byte() const { return static_cast<unsigned char>(code_); }
  constexpr std::uint16_t code() const { return code_; }
  constexpr bool operator==(const Key&) const = default;

 private:
  std::uint16_t code_ = 0;
};

namespace key {
inline constexpr Key kCtrlA = Key::ofByte(0x01);
inline constexpr Key kCtrlB = Key::ofByte(0x02);
inline constexpr Key kTab = Key::ofByte(0x09);
inline constexpr Key kCtrlJ = Key::ofByte(0x0A);
inline constexpr Key kCtrlK = Key::ofByte(0x0B);
inline constexpr Key kCtrlL = Key::ofByte(0x0C);
inline constexpr Key kEnter = Key::ofByte(0x0D);
inline constexpr Key kCtrlN = Key::ofByte(0x0E);
inline constexpr Key kCtrlU = Key::ofByte(0x15);
inline constexpr Key kEscape = Key::ofByte(0x1B);
inline constexpr Key kUp = Key::Named::Up;
inline constexpr Key kDown = Key::Named::Down;
inline constexpr Key kLeft = Key::Named::Left;
inline constexpr Key kRight = Key::Named::Right;
inline constexpr Key kPageUp = Key::Named::PageUp;
inline constexpr Key kPageDown = Key::Named::PageDown;
inline constexpr Key kHome = Key::Named::Home;
inline constexpr Key kEnd = Key::Named::End;
inline constexpr Key kInsert = Key::Named::Insert;
inline constexpr Key kDelete = Key::Named::Delete;
inline constexpr Key kBackspace = Key::Named::Backspace;
inline constexpr Key kResize = Key::Named::Resize;
}  // namespace key

// The key a single input byte gives: DEL and Ctrl-H are Backspace, every
// other byte is itself.
constexpr Key keyOfByte(unsigned char byte) {
  return byte == 0x7F || byte == 0x08 ? key::kBackspace : Key::ofByte(byte);
}

// The outcome of decoding the start of the pending input bytes.
struct KeyDecode {
  enum class Kind {
    Key,      // `consumed` bytes make the key `key`
    Ignored,  // `consumed` bytes make a sequence that gives no key
    Partial,  // more bytes are needed to decide (a lone Esc may become one)
  };
  Kind kind;
  Key key;
  std::size_t consumed = 0;
};

// Decodes the first key of `input` (which must not be empty). The caller
// owns the Esc timeout: when `input` is Partial and no byte follows in
// time, `decodeAfterTimeout` gives the key.
KeyDecode decodeKey(std::string_view input);
KeyDecode decodeAfterTimeout(std::string_view input);

}  // namespace zazir

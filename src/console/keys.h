// Key codes as getKey delivers them, and the decoder of terminal input.
#pragma once

#include <cstddef>
#include <string_view>

namespace zazir {

namespace key {
inline constexpr int kCtrlA = 0x01;
inline constexpr int kCtrlB = 0x02;
inline constexpr int kBell = 0x07;
inline constexpr int kLeft = 0x08;  // also Backspace
inline constexpr int kBackspace = 0x08;
inline constexpr int kDown = 0x0A;
inline constexpr int kUp = 0x0B;
inline constexpr int kRight = 0x0C;
inline constexpr int kEnter = 0x0D;
inline constexpr int kCtrlN = 0x0E;
inline constexpr int kCtrlU = 0x15;
inline constexpr int kEscape = 0x1B;
}  // namespace key

// The outcome of decoding the start of the pending input bytes.
struct KeyDecode {
  enum class Kind {
    Key,      // `consumed` bytes make the key `code`
    Ignored,  // `consumed` bytes make a sequence that gives no key
    Partial,  // more bytes are needed to decide (a lone Esc may become one)
  };
  Kind kind;
  int code = 0;
  std::size_t consumed = 0;
};

// Decodes the first key of `input` (which must not be empty). The caller
// owns the Esc timeout: when `input` is Partial and no byte follows in
// time, `decodeAfterTimeout` gives the key.
KeyDecode decodeKey(std::string_view input);
KeyDecode decodeAfterTimeout(std::string_view input);

}  // namespace zazir

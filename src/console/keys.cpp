#include "console/keys.h"

#include <array>

namespace zazir {
namespace {

struct Sequence {
  std::string_view bytes;
  int code;
};

// Cursor keys in both the normal and the application keypad form.
constexpr std::array<Sequence, 8> kSequences{{
    {"\x1b[A", key::kUp},
    {"\x1b[B", key::kDown},
    {"\x1b[C", key::kRight},
    {"\x1b[D", key::kLeft},
    {"\x1bOA", key::kUp},
    {"\x1bOB", key::kDown},
    {"\x1bOC", key::kRight},
    {"\x1bOD", key::kLeft},
}};

// A CSI sequence longer than this without its final byte is garbage.
constexpr std::size_t kLongestSequence = 32;

KeyDecode ignored(std::size_t consumed) {
  return {KeyDecode::Kind::Ignored, 0, consumed};
}

// Length of the complete escape sequence at the start of `input`, 0 when
// it is still unfinished.
std::size_t sequenceLength(std::string_view input) {
  if (input.size() < 2) return 0;
  const char second = input[1];
  if (second == 'O') return input.size() >= 3 ? 3 : 0;
  // X10 mouse report: ESC [ M and three bytes.
  if (input.size() >= 3 && input[2] == 'M') return input.size() >= 6 ? 6 : 0;
  for (std::size_t at = 2; at < input.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(input[at]);
    if (c >= 0x40 && c <= 0x7E) return at + 1;
    if (c < 0x20 || c > 0x3F) return at;  // broken off: drop what came before
  }
  return input.size() >= kLongestSequence ? input.size() : 0;
}

}  // namespace

KeyDecode decodeKey(std::string_view input) {
  const unsigned char first = static_cast<unsigned char>(input[0]);
  if (first != key::kEscape) {
    if (first == 0x7F) return {KeyDecode::Kind::Key, key::kBackspace, 1};
    if (first == 0) return ignored(1);
    return {KeyDecode::Kind::Key, static_cast<int>(static_cast<signed char>(first)), 1};
  }
  // Esc and a key typed at once (fast typing, Alt with a key) are both
  // kept: only '[' and 'O' begin a sequence.
  if (input.size() >= 2 && input[1] != '[' && input[1] != 'O') {
    return {KeyDecode::Kind::Key, key::kEscape, 1};
  }
  const std::size_t length = sequenceLength(input);
  if (length == 0) return {KeyDecode::Kind::Partial, 0, 0};
  for (const Sequence& sequence : kSequences) {
    if (input.substr(0, length) == sequence.bytes) {
      return {KeyDecode::Kind::Key, sequence.code, length};
    }
  }
  return ignored(length);
}

KeyDecode decodeAfterTimeout(std::string_view input) {
  if (input.size() == 1 && input[0] == '\x1b') return {KeyDecode::Kind::Key, key::kEscape, 1};
  return ignored(input.size());
}

}  // namespace zazir

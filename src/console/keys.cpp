#include "console/keys.h"

#include <array>
#include <string>

namespace zazir {
namespace {

struct Sequence {
  std::string_view bytes;
  Key key;
};

// What xterm, rxvt and the Linux console send, each key in its plain
// form; modified forms are brought to these first (canonicalSequence).
constexpr std::array kSequences{
    Sequence{"\x1b[A", key::kUp},
    Sequence{"\x1b[B", key::kDown},
    Sequence{"\x1b[C", key::kRight},
    Sequence{"\x1b[D", key::kLeft},
    Sequence{"\x1bOA", key::kUp},
    Sequence{"\x1bOB", key::kDown},
    Sequence{"\x1bOC", key::kRight},
    Sequence{"\x1bOD", key::kLeft},
    Sequence{"\x1b[H", key::kHome},
    Sequence{"\x1bOH", key::kHome},
    Sequence{"\x1b[1~", key::kHome},
    Sequence{"\x1b[7~", key::kHome},
    Sequence{"\x1b[F", key::kEnd},
    Sequence{"\x1bOF", key::kEnd},
    Sequence{"\x1b[4~", key::kEnd},
    Sequence{"\x1b[8~", key::kEnd},
    Sequence{"\x1b[2~", key::kInsert},
    Sequence{"\x1b[3~", key::kDelete},
    Sequence{"\x1b[5~", key::kPageUp},
    Sequence{"\x1b[6~", key::kPageDown},
    Sequence{"\x1bOP", Key::function(1)},
    Sequence{"\x1bOQ", Key::function(2)},
    Sequence{"\x1bOR", Key::function(3)},
    Sequence{"\x1bOS", Key::function(4)},
    Sequence{"\x1b[P", Key::function(1)},
    Sequence{"\x1b[Q", Key::function(2)},
    Sequence{"\x1b[R", Key::function(3)},
    Sequence{"\x1b[S", Key::function(4)},
    Sequence{"\x1b[[A", Key::function(1)},
    Sequence{"\x1b[[B", Key::function(2)},
    Sequence{"\x1b[[C", Key::function(3)},
    Sequence{"\x1b[[D", Key::function(4)},
    Sequence{"\x1b[[E", Key::function(5)},
    Sequence{"\x1b[11~", Key::function(1)},
    Sequence{"\x1b[12~", Key::function(2)},
    Sequence{"\x1b[13~", Key::function(3)},
    Sequence{"\x1b[14~", Key::function(4)},
    Sequence{"\x1b[15~", Key::function(5)},
    Sequence{"\x1b[17~", Key::function(6)},
    Sequence{"\x1b[18~", Key::function(7)},
    Sequence{"\x1b[19~", Key::function(8)},
    Sequence{"\x1b[20~", Key::function(9)},
    Sequence{"\x1b[21~", Key::function(10)},
    Sequence{"\x1b[23~", Key::function(11)},
    Sequence{"\x1b[24~", Key::function(12)},
};

// A CSI sequence longer than this without its final byte is garbage.
constexpr std::size_t kLongestSequence = 32;

KeyDecode ignored(std::size_t consumed) {
  return {KeyDecode::Kind::Ignored, {}, consumed};
}

// Length of the complete escape sequence at the start of `input`, 0 when
// it is still unfinished.
std::size_t sequenceLength(std::string_view input) {
  if (input.size() < 2) return 0;
  if (input[1] == 'O') return input.size() >= 3 ? 3 : 0;
  if (input.size() < 3) return 0;
  // X10 mouse report: ESC [ M and three bytes.
  if (input[2] == 'M') return input.size() >= 6 ? 6 : 0;
  // The Linux console's function keys: ESC [ [ and a letter.
  if (input[2] == '[') return input.size() >= 4 ? 4 : 0;
  for (std::size_t at = 2; at < input.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(input[at]);
    // rxvt ends a shifted key with '$'.
    if ((c >= 0x40 && c <= 0x7E) || c == '$') return at + 1;
    if (c < 0x20 || c > 0x3F) return at;  // broken off: drop what came before
  }
  return input.size() >= kLongestSequence ? input.size() : 0;
}

// The plain form of a modified key: xterm's CSI 1;5A and CSI 5;5~ (the
// modifier after ';'), rxvt's CSI 5^, CSI 5$, CSI 5@ and its lower-case
// shifted or controlled arrows (CSI a, SS3 a).
std::string canonicalSequence(std::string_view sequence) {
  std::string plain(sequence.substr(0, 2));
  char final = sequence.back();
  if (final >= 'a' && final <= 'd') final = static_cast<char>(final - 'a' + 'A');
  if (final == '^' || final == '$' || final == '@') final = '~';
  std::string_view parameters = sequence.substr(2, sequence.size() - 3);
  if (plain[1] == '[' && !parameters.starts_with('[')) {
    parameters = parameters.substr(0, parameters.find(';'));
    if (parameters == "1" && final != '~') parameters = {};
  }
  plain += parameters;
  plain += final;
  return plain;
}

}  // namespace

KeyDecode decodeKey(std::string_view input) {
  const unsigned char first = static_cast<unsigned char>(input[0]);
  if (first != 0x1B) {
    if (first == 0) return ignored(1);
    return {KeyDecode::Kind::Key, keyOfByte(first), 1};
  }
  // Esc and a key typed at once (fast typing, Alt with a key) are both
  // kept: only '[' and 'O' begin a sequence.
  if (input.size() >= 2 && input[1] != '[' && input[1] != 'O') {
    return {KeyDecode::Kind::Key, key::kEscape, 1};
  }
  const std::size_t length = sequenceLength(input);
  if (length == 0) return {KeyDecode::Kind::Partial, {}, 0};
  if (length < 3) return ignored(length);
  const std::string plain = canonicalSequence(input.substr(0, length));
  for (const Sequence& sequence : kSequences) {
    if (plain == sequence.bytes) return {KeyDecode::Kind::Key, sequence.key, length};
  }
  return ignored(length);
}

KeyDecode decodeAfterTimeout(std::string_view input) {
  if (input.size() == 1 && input[0] == '\x1b') return {KeyDecode::Kind::Key, key::kEscape, 1};
  return ignored(input.size());
}

}  // namespace zazir

// The key decoder over any terminal input, consumed as the terminal reader
// consumes it: the bytes arrive in chunks (the first input byte sets their
// size); a Partial decode waits for the next chunk, or times out when none
// is left. Every decode moves on by at least one byte and never past the
// pending bytes, and a timeout always settles them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "console/keys.h"
#include "fuzz_check.h"

using namespace zazir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t chunk = data[0] % 16 + 1;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string pending;
  while (!pending.empty() || !input.empty()) {
    if (pending.empty()) {
      const std::size_t take = std::min(chunk, input.size());
      pending.append(input.substr(0, take));
      input.remove_prefix(take);
    }
    KeyDecode decoded = decodeKey(pending);
    if (decoded.kind == KeyDecode::Kind::Partial) {
      // Only an escape sequence can wait for more bytes.
      FUZZ_CHECK(pending[0] == '\x1b' && decoded.consumed == 0);
      if (!input.empty()) {
        const std::size_t take = std::min(chunk, input.size());
        pending.append(input.substr(0, take));
        input.remove_prefix(take);
        continue;
      }
      decoded = decodeAfterTimeout(pending);
      FUZZ_CHECK(decoded.kind != KeyDecode::Kind::Partial);
    }
    FUZZ_CHECK(decoded.consumed >= 1 && decoded.consumed <= pending.size());
    if (pending[0] != '\x1b') FUZZ_CHECK(decoded.consumed == 1);
    if (decoded.kind == KeyDecode::Kind::Key) {
      // NUL gives no key, DEL and Ctrl-H are Backspace, named keys are named.
      const Key key = decoded.key;
      FUZZ_CHECK(key.isByte() ? key.byte() != 0 && key.byte() != 0x7F && key.byte() != 0x08
                              : key.code() >= 0x100 && key.code() <= Key::function(12).code());
    }
    pending.erase(0, decoded.consumed);
  }
  return 0;
}

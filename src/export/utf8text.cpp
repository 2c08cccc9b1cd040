#include "export/utf8text.h"

#include <array>
#include <memory>

#include "platform/encoding.h"

namespace zazir {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// Lead bytes of the double-byte characters iconv knows: 0x81..0x9F and
// 0xE0..0xFC; their second byte lies in 0x40..0x7E or 0x80..0xFC.
constexpr int leadSlot(unsigned char byte) {
  if (byte >= 0x81 && byte <= 0x9F) return byte - 0x81;
  if (byte >= 0xE0 && byte <= 0xFC) return byte - 0xE0 + 31;
  return -1;
}
constexpr int kLeadBytes = 60;
constexpr bool isTrailByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// One character's UTF-8 form: up to three bytes (CP932 lies in the Basic
// Multilingual Plane) and their count, 0 for none.
struct Form {
  char bytes[3] = {};
  std::uint8_t size = 0;
};

struct Table {
  std::array<Form, 256> single;
  std::array<Form, kLeadBytes * 256> pair;
  bool asciiAsItStands = true;
};

Form formOf(const Converter& iconv, std::string_view bytes) {
  std::string out;
  Form form;
  if (iconv.convertCharacter(bytes, out) == Converter::Step::Done && !out.empty() &&
      out.size() <= sizeof form.bytes) {
    out.copy(form.bytes, out.size());
    form.size = static_cast<std::uint8_t>(out.size());
  }
  return form;
}

std::unique_ptr<const Table> buildTable() {
  auto table = std::make_unique<Table>();
  const Converter iconv("UTF-8", "CP932");
  if (!iconv.valid()) return table;  // every byte but ASCII then has no form
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    if (leadSlot(static_cast<unsigned char>(byte)) < 0) {
      table->single[byte] = formOf(iconv, std::string_view(&c, 1));
    }
    if (byte < 0x80 && (table->single[byte].size != 1 || table->single[byte].bytes[0] != c)) {
      table->asciiAsItStands = false;
    }
  }
  for (int lead = 0; lead < 256; ++lead) {
    const int slot = leadSlot(static_cast<unsigned char>(lead));
    if (slot < 0) continue;
    for (int trail = 0; trail < 256; ++trail) {
      if (!isTrailByte(static_cast<unsigned char>(trail))) continue;
      const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
      table->pair[static_cast<std::size_t>(slot * 256 + trail)] =
          formOf(iconv, std::string_view(pair, 2));
    }
  }
  return table;
}

const Table& table() {
  static const std::unique_ptr<const Table> built = buildTable();
  return *built;
}

// Writes `form`, or U+FFFD for the `bytes` that have none.
void put(const Form& form, std::size_t bytes, std::string& out, std::uint64_t& replaced) {
  if (form.size) {
    out.append(form.bytes, form.size);
    return;
  }
  out += kReplacement;
  replaced += bytes;
}

}  // namespace

bool Utf8Decoder::takePair(unsigned char lead, unsigned char next, std::string& out) {
  // A second byte out of range is not taken: it is a character of its own.
  if (!isTrailByte(next)) {
    put(Form{}, 1, out, replaced_);
    return false;
  }
  put(table().pair[static_cast<std::size_t>(leadSlot(lead) * 256 + next)], 2, out, replaced_);
  return true;
}

void Utf8Decoder::decode(std::string_view cp932, std::string& out) {
  const Table& map = table();
  const auto* at = reinterpret_cast<const unsigned char*>(cp932.data());
  const auto* const end = at + cp932.size();
  if (pending_ >= 0 && at < end) {
    const auto lead = static_cast<unsigned char>(pending_);
    pending_ = -1;
    if (takePair(lead, *at, out)) ++at;
  }
  while (at < end) {
    if (*at < 0x80 && map.asciiAsItStands) {
      const auto* run = at;
      while (run < end && *run < 0x80) ++run;
      out.append(reinterpret_cast<const char*>(at), static_cast<std::size_t>(run - at));
      at = run;
      continue;
    }
    const unsigned char byte = *at++;
    if (leadSlot(byte) < 0) {
      put(map.single[byte], 1, out, replaced_);
    } else if (at == end) {
      pending_ = byte;
    } else if (takePair(byte, *at, out)) {
      ++at;
    }
  }
}

void Utf8Decoder::finish(std::string& out) {
  if (pending_ < 0) return;
  pending_ = -1;
  put(Form{}, 1, out, replaced_);
}

std::string toUtf8(std::string_view cp932, Utf8Decoder& decoder) {
  std::string out;
  decoder.decode(cp932, out);
  decoder.finish(out);
  return out;
}

}  // namespace zazir

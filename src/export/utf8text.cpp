#include "export/utf8text.h"

#include <array>
#include <cstring>
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

// A control byte would drive the terminal that shows the text; TAB and the
// line end are text.
constexpr bool isControl(unsigned char byte) {
  return (byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F;
}

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
    const auto value = static_cast<unsigned char>(byte);
    if (isControl(value)) continue;  // no form: U+FFFD
    if (leadSlot(value) < 0) table->single[byte] = formOf(iconv, std::string_view(&c, 1));
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

}  // namespace

void Utf8Decoder::decode(std::string_view cp932, std::string& out) {
  // A piece at a time through a buffer of its own: growing `out` by three
  // times the text and cutting it back cleared every byte it grew by.
  char buffer[3 * kSliceBytes + 1];
  while (!cp932.empty()) {
    const std::string_view slice = cp932.substr(0, kSliceBytes);
    cp932.remove_prefix(slice.size());
    out.append(buffer, decodeSlice(slice, buffer));
  }
}

// No byte gives more than three; one more lets a form be copied whole.
std::size_t Utf8Decoder::decodeSlice(std::string_view cp932, char* buffer) {
  const Table& map = table();
  char* to = buffer;
  const auto put = [&](const Form& form, std::uint64_t bytes) {
    if (form.size) {
      std::memcpy(to, form.bytes, sizeof form.bytes);
      to += form.size;
    } else {
      std::memcpy(to, kReplacement, 3);
      to += 3;
      replaced_ += bytes;
    }
  };
  // The character `lead` opens; true when `next` was its second byte. A
  // second byte that makes no character is not taken when it is one of its
  // own (ASCII): only the lead byte is lost.
  const auto pair = [&](unsigned char lead, unsigned char next) {
    const Form form = isTrailByte(next)
                          ? map.pair[static_cast<std::size_t>(leadSlot(lead) * 256 + next)]
                          : Form{};
    const bool taken = form.size || next >= 0x80;
    put(form, taken ? 2 : 1);
    return taken;
  };

  const auto* at = reinterpret_cast<const unsigned char*>(cp932.data());
  const auto* const end = at + cp932.size();
  if (pending_ >= 0 && at < end) {
    const auto lead = static_cast<unsigned char>(pending_);
    pending_ = -1;
    if (pair(lead, *at)) ++at;
  }
  while (at < end) {
    if (blanked_ && (*at < 0x20 || *at == 0x7F)) {
      *to++ = ' ';
      ++at;
      continue;
    }
    if (*at < 0x80 && map.asciiAsItStands && !isControl(*at)) {
      *to++ = static_cast<char>(*at++);
      continue;
    }
    const unsigned char byte = *at++;
    if (leadSlot(byte) < 0) {
      put(map.single[byte], 1);
    } else if (at == end) {
      pending_ = byte;
    } else if (pair(byte, *at)) {
      ++at;
    }
  }
  return static_cast<std::size_t>(to - buffer);
}

void Utf8Decoder::finish(std::string& out) {
  if (pending_ < 0) return;
  pending_ = -1;
  out += kReplacement;
  ++replaced_;
}

std::string toUtf8(std::string_view cp932, Utf8Decoder& decoder) {
  std::string out;
  decoder.decode(cp932, out);
  decoder.finish(out);
  return out;
}

}  // namespace zazir

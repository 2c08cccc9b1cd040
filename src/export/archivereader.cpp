#include "export/archivereader.h"

#include "formats/boardlog.h"

namespace zazir {

namespace {

// Lines come in pieces of at most this many bytes: a line of any length
// is read without being held whole.
constexpr std::size_t kPiece = 64 * 1024;
constexpr std::string_view kIdStart = "Message-ID: <";
constexpr std::string_view kIdEnd = "@zazir.invalid>\n";

// The key of a Message-ID line as the export writes it.
std::optional<std::uint64_t> keyOf(std::string_view line) {
  if (!line.starts_with(kIdStart)) return std::nullopt;
  line.remove_prefix(kIdStart.size());
  if (line.size() != 16 + kIdEnd.size() || line.substr(16) != kIdEnd) return std::nullopt;
  std::uint64_t key = 0;
  for (const char c : line.substr(0, 16)) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    key = key << 4 | static_cast<std::uint64_t>(digit);
  }
  return key;
}

std::optional<std::vector<std::uint64_t>> readMailbox(LineStream& file) {
  std::vector<std::uint64_t> keys;
  bool previousEmpty = true;  // the file's start counts as one
  bool lineStart = true;
  bool inHeader = false;
  bool keyed = true;
  std::string_view piece;
  while (file.readLineView(piece, kPiece)) {
    if (lineStart) {
      if (previousEmpty && piece.starts_with("From ")) {
        if (!keyed) return std::nullopt;
        inHeader = true;
        keyed = false;
      } else if (keys.empty() && keyed) {
        return std::nullopt;  // not a mailbox
      } else if (inHeader && piece == "\n") {
        inHeader = false;
      } else if (inHeader && !keyed) {
        if (const std::optional<std::uint64_t> key = keyOf(piece)) {
          keys.push_back(*key);
          keyed = true;
        }
      }
      previousEmpty = piece == "\n";
    }
    lineStart = piece.back() == '\n';
  }
  if (!keyed || keys.empty()) return std::nullopt;
  return keys;
}

// UTF-8 read a byte at a time; no control byte but TAB and the line end.
class TextCheck {
 public:
  bool take(std::string_view bytes) {
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (following_ > 0) {
        if ((byte & 0xC0) != 0x80) return false;
        --following_;
      } else if (byte >= 0x80) {
        following_ = byte >= 0xF0 && byte < 0xF5 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC2 ? 1 : -1;
        if (following_ < 0 || byte >= 0xF5) return false;
      } else if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F) {
        return false;
      }
    }
    return true;
  }
  bool whole() const { return following_ == 0; }

 private:
  int following_ = 0;
};

std::optional<std::vector<std::uint64_t>> readText(LineStream& file, ArchiveKind kind) {
  std::vector<std::uint64_t> items;
  ItemHash item;
  bool inItem = false;
  bool lineStart = true;
  TextCheck check;
  std::string_view piece;
  while (file.readLineView(piece, kPiece)) {
    if (lineStart) {
      const bool starts = kind == ArchiveKind::Lines || entryFileNumber(piece) > 0;
      if ((kind == ArchiveKind::Lines && piece == "\n") || (!starts && !inItem)) {
        return std::nullopt;
      }
      if (starts && inItem) items.push_back(item.value());
      if (starts) item = ItemHash();
      inItem = true;
    }
    if (!check.take(piece)) return std::nullopt;
    item.add(piece);
    lineStart = piece.back() == '\n';
  }
  if (!lineStart || !check.whole()) return std::nullopt;
  if (inItem) items.push_back(item.value());
  return items;
}

}  // namespace

std::optional<std::vector<std::uint64_t>> readArchiveItems(LineStream& file, ArchiveKind kind) {
  return kind == ArchiveKind::Mailbox ? readMailbox(file) : readText(file, kind);
}

}  // namespace zazir

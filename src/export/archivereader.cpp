#include "export/archivereader.h"

#include <charconv>

#include "formats/boardlog.h"

namespace zazir {

namespace {

// Lines come in pieces of at most this many bytes: a line of any length
// is read without being held whole.
constexpr std::size_t kPiece = 64 * 1024;
constexpr std::string_view kIdStart = "Message-ID: <";
constexpr std::string_view kParentStart = "In-Reply-To: <";
constexpr std::string_view kNumberStart = "X-Message-Number: ";
constexpr std::string_view kIdEnd = "@zazir.invalid>\n";

// The key of a Message-ID (or In-Reply-To) line as the export writes it.
std::optional<std::uint64_t> keyOf(std::string_view line, std::string_view start = kIdStart) {
  if (!line.starts_with(start)) return std::nullopt;
  line.remove_prefix(start.size());
  if (line.size() != 16 + kIdEnd.size() || line.substr(16) != kIdEnd) return std::nullopt;
  std::uint64_t key = 0;
  for (const char c : line.substr(0, 16)) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    key = key << 4 | static_cast<std::uint64_t>(digit);
  }
  return key;
}

int numberOf(std::string_view line) {
  if (!line.starts_with(kNumberStart) || !line.ends_with('\n')) return 0;
  line = line.substr(kNumberStart.size(), line.size() - kNumberStart.size() - 1);
  int number = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), number);
  return error == std::errc() && end == line.data() + line.size() && number > 0 ? number : 0;
}

// A message's number and parent, read from its headers.
struct MailboxHead {
  int number = 0;
  std::uint64_t parent = 0;
};

std::optional<ArchiveContents> readMailbox(LineStream& file) {
  std::vector<std::uint64_t> keys;
  std::vector<NumberedKey> numbered;
  std::vector<ParentLink> parents;
  MailboxHead head;
  const auto endHead = [&] {
    if (keys.empty()) return;
    numbered.push_back({head.number, keys.back()});
    parents.push_back({keys.back(), head.parent});
  };
  bool previousEmpty = true;  // the file's start counts as one
  bool lineStart = true;
  bool inHeader = false;
  bool keyed = true;
  std::string_view piece;
  while (file.readLineView(piece, kPiece)) {
    if (lineStart) {
      if (previousEmpty && piece.starts_with("From ")) {
        if (!keyed) return std::nullopt;
        endHead();
        head = MailboxHead();
        inHeader = true;
        keyed = false;
      } else if (keys.empty() && keyed) {
        return std::nullopt;  // not a mailbox
      } else if (inHeader && piece == "\n") {
        inHeader = false;
      } else if (inHeader) {
        const std::optional<std::uint64_t> key = keyed ? std::nullopt : keyOf(piece);
        if (key) {
          keys.push_back(*key);
          keyed = true;
        } else if (const std::optional<std::uint64_t> parent = keyOf(piece, kParentStart)) {
          head.parent = *parent;
        } else if (const int number = numberOf(piece)) {
          head.number = number;
        }
      }
      previousEmpty = piece == "\n";
    }
    lineStart = piece.back() == '\n';
  }
  if (!keyed || keys.empty()) return std::nullopt;
  endHead();
  ArchiveContents contents;
  addNumbered(contents.numbered, std::move(numbered), contents.items);
  addParents(contents.parents, std::move(parents));
  return contents;
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

std::optional<ArchiveContents> readText(LineStream& file, ArchiveKind kind) {
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
  return ArchiveContents{std::move(items), {}, {}};
}

}  // namespace

std::optional<ArchiveContents> readArchiveItems(LineStream& file, ArchiveKind kind) {
  return kind == ArchiveKind::Mailbox ? readMailbox(file) : readText(file, kind);
}

}  // namespace zazir

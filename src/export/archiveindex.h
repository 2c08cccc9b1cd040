// What an export keeps about the archive it adds to, in one small file
// inside it: for each file it wrote, which file that is and how long, and
// what it holds (the mailboxes' Message-IDs, the text files' items, the
// boards' message numbers and replies), so that the next export need not
// read the archive. Checked by a checksum.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fileset.h"

namespace zazir {

inline constexpr char kArchiveIndexName[] = ".zazir-index";

// A mailbox holds messages, a file board's text its entries (an entry line
// and its description), the other text files lines.
enum class ArchiveKind : std::uint8_t { Mailbox, Entries, Lines };
ArchiveKind archiveKindOf(std::string_view name);

// A message of a board's mailbox by its number, and a reply by its parent.
struct NumberedKey {
  int number;
  std::uint64_t key;
  bool operator==(const NumberedKey&) const = default;
};
struct ParentLink {
  std::uint64_t key;
  std::uint64_t parent;
  bool operator==(const ParentLink&) const = default;
};

struct ArchiveFile {
  ArchiveKind kind = ArchiveKind::Lines;
  FileFacts facts;
  // A mailbox's Message-IDs (as their 64-bit keys), every one ever written
  // to it but those in `numbered`; a text file's items as read from it
  // when the index could not say which export wrote them (hashes).
  std::vector<std::uint64_t> items;
  // A text file's runs, written or met (hashes), and the items of the last.
  std::vector<std::uint64_t> runs;
  std::vector<std::uint64_t> lastRun;
  // A board's mailbox: of each number the message written last (sorted by
  // number), and the parent of each reply written (sorted by key), so that
  // a later export links its replies to these messages.
  std::vector<NumberedKey> numbered;
  std::vector<ParentLink> parents;
};
using ArchiveIndex = std::map<std::string, ArchiveFile>;

std::string encodeArchiveIndex(const ArchiveIndex& index);
// None unless the checksum holds and every record is whole.
std::optional<ArchiveIndex> decodeArchiveIndex(std::string_view bytes);
// An index as an earlier version wrote it: read as none, made again.
bool isEarlierArchiveIndex(std::string_view bytes);

// What a mailbox gains by the messages `written` in order (number 0: none)
// with their parents (0: none). The key of a message without a number, or
// of one a later message of its number takes the place of, goes to `rest`:
// a key is kept once, in the index too.
void addNumbered(std::vector<NumberedKey>& numbered, std::vector<NumberedKey> written,
                 std::vector<std::uint64_t>& rest);
void addParents(std::vector<ParentLink>& parents, std::vector<ParentLink> written);

// A 64-bit hash of bytes that come in pieces.
class ItemHash {
 public:
  void add(std::string_view bytes);
  std::uint64_t value() const;

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// The hash of a run of items, their order included.
std::uint64_t runHash(const std::vector<std::uint64_t>& items);

}  // namespace zazir

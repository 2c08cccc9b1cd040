// An archive's file read back, to know what it holds when the archive's
// index cannot tell: the Message-IDs of a mailbox with its messages'
// numbers and parents, the items of a text file. Only a file as an export
// writes it is taken: a mailbox whose every message carries a Message-ID of
// this program's, a text file of UTF-8 lines, each ended by LF, with no
// control byte but TAB.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "export/archiveindex.h"
#include "platform/linestream.h"

namespace zazir {

struct ArchiveContents {
  // A mailbox's message keys but those in `numbered`, or the hashes of a
  // text file's items (each line, or each file board entry with its
  // description, LF included).
  std::vector<std::uint64_t> items;
  // A board's mailbox: its messages by number and its replies' parents,
  // as the index keeps them.
  std::vector<NumberedKey> numbered;
  std::vector<ParentLink> parents;
};

// None when the file does not read as an export's file of that kind.
std::optional<ArchiveContents> readArchiveItems(LineStream& file, ArchiveKind kind);

}  // namespace zazir

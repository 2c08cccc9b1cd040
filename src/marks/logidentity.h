// What the read marks know a log by. Not its name, which changes when it
// is renamed or copied; not its size and ends, which two captures can
// share: what its index found, record by record in the order of the log.
// A record is a mail (where its header stands, its sender, date, time and
// title), a message or file board (its listing line, the count of new
// messages included, and where it stands) or a chat board. Two logs with
// the same records hold the same visit; a log a capture program appended
// to holds the records of its earlier self first, so that the identity
// after that many records is the earlier self's, and its marks are found.
// A difference only inside the text of a message, with every header and
// every place the same, is the same visit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "formats/logindex.h"

namespace zazir {

struct LogIdentity {
  std::uint64_t value = 0;    // of all the records
  std::uint64_t records = 0;  // how many
  bool operator==(const LogIdentity&) const = default;
};

LogIdentity logIdentity(const LogIndex& index);

// Calls `after(count, value)` after each record in the log's order: the
// identity of the log's first `count` records.
void walkIdentity(const LogIndex& index,
                  const std::function<void(std::uint64_t count, std::uint64_t value)>& after);

// The hash of where the items of a series start in the log; never
// kUnknownFingerprint. That of the first `count` items is that of an
// earlier, shorter series.
std::uint64_t seriesFingerprint(std::span<const LogOffset> starts);

// The key the marks were kept under before: a hash of the log's size and of
// its first and last 64 KiB. Only for finding those files; none when the
// file at `osPath` cannot be read.
std::optional<std::uint64_t> formerLogKey(const std::string& osPath);

}  // namespace zazir

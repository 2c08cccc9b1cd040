// One log file searched from its start as --search searches it: read once,
// indexed from the first match on as it is read, the scan's own streams
// checked to be the same file. The log chooser's search goes through it too.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "formats/logindex.h"
#include "platform/linestream.h"
#include "search/logsearch.h"

namespace zazir {

struct LogFileSearch {
  // Once the log is open: a stream to read what the hits lie in while
  // `found` is told of them, and the index, filled when the first match
  // needs it.
  std::function<void(LineStream& log, const LogIndex& index)> started = {};
  search::HitSink found;
  search::SearchProgress progress = {};
};

// Searches the log at `osPath` for `pattern`, reusing and keeping the
// anchor; the outcome, or none when the log cannot be opened or another
// file took its place during the search (`problem` says which).
std::optional<search::SearchOutcome> searchLogFile(const std::string& osPath,
                                                   const search::SearchPattern& pattern,
                                                   std::optional<search::Anchor>& anchor,
                                                   const LogFileSearch& calls,
                                                   std::string& problem);

}  // namespace zazir

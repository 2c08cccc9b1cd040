// One log file searched from its start as --search searches it: the index
// read only once something matches, the scan's own streams checked to be
// the same file. The log chooser's search goes through it too.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "formats/logindex.h"
#include "platform/linestream.h"
#include "search/logsearch.h"

namespace zazir {

struct LogFileSearch {
  // Once the log is open: its stream, and its index, filled when the first
  // match needs it.
  std::function<void(FileLineStream& log, const LogIndex& index)> started = {};
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

// --search: grep for the logs. One tab-separated line per place where a
// text is found (log, section, board, number, ID, title, matching line),
// found as the search inside the reader finds it, printed as it is found.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zazir {

// Searches the logs (or directories of logs) `args` for `text`, given in
// the output's codeset (the locale's, or UTF-8 when that cannot hold
// Japanese). Of a directory only the files that read as logs are searched.
// Returns the exit status: 0 with hits, 1 without, 2 when the text cannot
// be searched for, 50 when a log or the output fails.
int runSearch(const std::string& text, const std::vector<std::string>& args, std::FILE* out,
              std::FILE* err);

}  // namespace zazir

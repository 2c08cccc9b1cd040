// The memory check: one action of the program (chat recording, the Notewall
// list, a reply, saving, a batch reply, the export, the reader's search)
// over a log with one line of many mebibytes; the whole-log search to the
// last of millions of hits; a new post whose editor leaves a text of 100
// MiB. Each with its peak resident memory held against a fixed limit.
#pragma once

#include <string>
#include <vector>

namespace zazir::bench {

inline constexpr long kMemoryLimitKib = 64 * 1024;

std::vector<std::string> memoryCaseNames();

// Writes the log into `dir`, runs case `name` there and prints its peak
// memory. Returns 0 when the action wrote what it should within the limit.
int memoryCheck(const std::string& name, long mebibytes, const std::string& dir);

}  // namespace zazir::bench

// The run-wide objects, owned by the entry point and handed to every screen
// by reference, so that each test builds its own.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "console/console.h"
#include "formats/config.h"
#include "formats/logindex.h"
#include "formats/runstate.h"
#include "marks/readmarks.h"
#include "platform/linestream.h"

namespace zazir {

// Opens the log anew with a buffer of `bufferBytes`, for a scan that reads
// it in large blocks; null when it cannot.
using LogOpener = std::function<std::unique_ptr<LineStream>(std::size_t bufferBytes)>;

struct App {
  Console& console;
  Config& config;
  LogIndex& index;
  RunState& state;
  LineStream& log;  // the communication log, open for the whole run
  ReadMarks& marks;
  LogOpener openLog = {};  // none: the scans read `log` through its own buffer
};

}  // namespace zazir

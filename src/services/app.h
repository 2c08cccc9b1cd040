// The run-wide objects, owned by the entry point and handed to every screen
// by reference, so that each test builds its own.
#pragma once

#include "console/console.h"
#include "formats/config.h"
#include "formats/logindex.h"
#include "marks/readmarks.h"
#include "services/openlog.h"
#include "services/runstate.h"

namespace zazir {

struct App {
  Console& console;
  Config& config;
  LogIndex& index;
  RunState& state;
  OpenLog& log;  // the communication log, open for the whole run
  ReadMarks& marks;
};

}  // namespace zazir

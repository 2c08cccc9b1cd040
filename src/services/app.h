// The run-wide objects, owned by the entry point and handed to every screen
// by reference, so that each test builds its own.
#pragma once

#include "console/console.h"
#include "formats/config.h"
#include "formats/logindex.h"
#include "formats/runstate.h"
#include "platform/linestream.h"

namespace zazir {

struct App {
  Console& console;
  Config& config;
  LogIndex& index;
  RunState& state;
  LineStream& log;  // the communication log, open for the whole run
};

}  // namespace zazir

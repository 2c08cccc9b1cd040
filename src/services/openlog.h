// The communication log, open for the whole run: the stream every screen
// reads, its name, how much of it the index covers and a way to open it
// anew for a scan that reads it in large blocks.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform/linestream.h"

namespace zazir {

// Opens the log anew with a buffer of `bufferBytes`; null when it cannot.
using LogOpener = std::function<std::unique_ptr<LineStream>(std::size_t bufferBytes)>;

struct OpenLog {
  LineStream& stream;
  std::string path;       // as chosen (CP932), for what is told
  LogOffset size = 0;     // the bytes the index covers
  LogOpener opener = {};  // none: block scans read `stream` through its own buffer

  // The log opened anew for a block scan; null when it cannot be, and the
  // scan then reads `stream`.
  std::unique_ptr<LineStream> reopen(std::size_t bufferBytes) const {
    return opener ? opener(bufferBytes) : nullptr;
  }
};

}  // namespace zazir

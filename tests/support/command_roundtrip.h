// Commands composed from drawn values as the writers compose them, written
// as the upload file holds them and read back as the host reads them
// (upload_parser.h). The unit tests draw at random, the fuzz target from
// its input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zazir::testing {

struct CommandDraws {
  std::function<std::string()> text;  // a title, handle, quoted line, ID, setting...
  std::function<std::int64_t()> number;
  std::function<std::size_t(std::size_t)> below;  // one of 0 .. n-1
};

// Composes `count` commands, each of a drawn kind, and counts in `written`
// those not refused. Empty when every one of them read back exactly as
// composed, its answers and its text as the host is to get them; else what
// went wrong.
std::string roundTripCommands(const CommandDraws& draw, int count, int* written = nullptr);

}  // namespace zazir::testing

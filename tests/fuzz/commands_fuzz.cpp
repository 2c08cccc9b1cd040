// The command builder: commands of every kind composed from any bytes (as
// titles, handles, quoted lines, IDs, file names and settings) read back
// from the upload file exactly as composed, refused ones aside.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_check.h"
#include "support/command_roundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const zazir::testing::CommandDraws draw{
      [&] { return input.ConsumeRandomLengthString(100); },
      [&] { return input.ConsumeIntegral<std::int32_t>(); },
      [&](std::size_t n) { return input.ConsumeIntegralInRange<std::size_t>(0, n - 1); }};
  const std::string failure = zazir::testing::roundTripCommands(draw, 16);
  if (!failure.empty()) std::fprintf(stderr, "%s\n", failure.c_str());
  FUZZ_CHECK(failure.empty());
  return 0;
}

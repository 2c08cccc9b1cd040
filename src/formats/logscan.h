// Fast skipping over the lines of the communication log that no index test
// can match. Nearly every line of a large log is ordinary text; finding the
// few that matter a vector of bytes at a time, instead of line by line,
// keeps the index close to the speed of reading the file.
#pragma once

#include <cstdint>

#include "platform/linestream.h"

namespace zazir::logscan {

inline constexpr LogOffset kNoLimit = INT64_MAX;

// The instruction sets the skip can use; the best one available is taken.
enum class Isa { Portable, Sse2, Avx2 };
bool isaAvailable(Isa isa);

// Moves `log` forward over whole lines, as reads of kLineLimit bytes return
// them, that cannot be a mail header, a listing line, the Notewall heading
// or FILE NEWS. Stops at the start of a line that may be one, before a line
// too long to judge here, or near the end of the data; a stream without a
// buffer is left where it is. The caller reads the next line and tests it
// exactly.
// It goes on no further once it has passed `until`: a stream that reads
// another's block is not made to read past it.
void skipUninteresting(LineStream& log, LogOffset until = kNoLimit);
void skipUninteresting(LineStream& log, Isa isa, LogOffset until = kNoLimit);

}  // namespace zazir::logscan

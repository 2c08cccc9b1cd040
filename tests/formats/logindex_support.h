// Building small communication logs for the log index tests.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "formats/logindex.h"
#include "platform/linestream.h"
#include "support/plain_stream.h"
#include "support/scripted_backend.h"
#include "text/format.h"

namespace zazir::testing {

// A board listing line as the host lays it out (CP932): the number
// right-aligned in four columns, ":", the name from column 6, the title and
// a leader of " ･" pairs up to column 48, the status from column 49.
inline std::string listingLine(int number, std::string_view name, std::string_view title,
                               std::string_view status, bool leader = true) {
  std::string line = formatText("%4i: ", number) + sj(name) + " " + sj(title);
  while (leader && line.size() + 2 <= 48) line += " \xA5";
  if (line.size() < 49) line.resize(49, ' ');
  return line + sj(status);
}

// CP932 lines, each ended by CR LF.
inline std::string logOf(std::initializer_list<std::string> lines) {
  std::string log;
  for (const std::string& line : lines) log += line + "\r\n";
  return log;
}

inline LogIndex indexStream(LineStream& stream) {
  LogIndex index;
  indexLog(stream, index);
  return index;
}

inline LogIndex indexText(const std::string& log) {
  MemoryLineStream stream(log);
  return indexStream(stream);
}

}  // namespace zazir::testing

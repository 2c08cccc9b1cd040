// Quoting the text answered: the lines of a message in the log behind the
// quotation prefix, each quoted line at most 78 bytes, and the whole quote
// bounded however long the log's lines are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/linestream.h"

namespace zazir {

struct Config;

// The quotation prefix: QUOTATION formatted with the handle of the poster
// answered, cut so that a quoted line keeps room for text.
std::string quotePrefix(const Config& config, std::string_view handle);

// Reads one piece of a line being quoted: at most 78 - prefixLength bytes,
// cleaned up, with the carry rule. False at the end of the stream.
// `endsLogLine`, when given, tells whether the piece ended its log line.
bool readQuotedLine(LineStream& log, std::size_t prefixLength, std::string& line,
                    bool* endsLogLine = nullptr);

// Where a quote ends, besides the end of the log.
struct QuoteRule {
  std::string prefix;  // before every quoted line
  LogOffset end = -1;  // no line from here on is quoted; -1: none
  // A line that ends the message, told by its first bytes (cleaned up).
  bool (*endsAt)(std::string_view head) = nullptr;
  bool dropEmptyLines = false;
};

// The quote of the message that starts at `start`: its three header lines
// and the line after them are passed over, every later line is quoted
// until the rule ends the message. A log line gives at most its first
// 1023 bytes and a quote at most 256 KiB, both cut on a character
// boundary.
std::string quoteMessage(LineStream& log, LogOffset start, const QuoteRule& rule);

}  // namespace zazir

// Whole lines of the log and of the chat back-logs, as the chat and
// Notewall lists and the back-log recording see them.
#pragma once

#include <string>
#include <string_view>

#include "platform/linestream.h"

namespace zazir {

// Reads one physical line whole, however many byte-limited reads it takes,
// so that a line longer than one read never turns into two lines. The line
// keeps its line end. False when nothing is left.
bool readWholeLine(LineStream& stream, std::string& line);

// The line without its trailing CR and LF bytes.
std::string_view withoutLineEnd(std::string_view line);

// Chat lines carry '>' at byte 14 and Notewall lines ':' there.
inline constexpr char kChatLineMarker = '>';
inline constexpr char kNotewallLineMarker = ':';
inline bool isListedLine(std::string_view line, char marker) {
  return line.size() > 14 && line[14] == marker;
}

// A chat board name names its back-log file in the current directory; a
// name that would reach elsewhere is never used as a path.
bool isUsableBackLogName(std::string_view name);

}  // namespace zazir

// Lines of the log and of the chat back-logs as the lists, the back-log
// recording and saving see them: whole, yet never held beyond a bound.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/linestream.h"
#include "platform/textfile.h"

namespace zazir {

// More than any line a host sends, and little memory however long a line
// in the log is.
inline constexpr std::size_t kKeptLineBytes = 4096;

// Reads one physical line whole, however many byte-limited reads it takes,
// so that a line longer than one read never turns into two lines. The line
// keeps its line end; only its first `keep` bytes are held: a longer one is
// cut on a character boundary and loses its line end. False when nothing is
// left.
bool readWholeLine(LineStream& stream, std::string& line, std::size_t keep = kKeptLineBytes);

// Copies the lines from the read position to `put`, each cleaned up as
// stripLineEnd leaves a line and ended by "\n", up to offset `end` (-1:
// the end of the stream) or the first line for which `stops` holds (tested
// on its first kLineLimit bytes; not copied). A line goes over in pieces,
// never held whole, and stays one line however long.
void copyCleanLines(LineStream& stream, LogOffset end,
                    const std::function<bool(std::string_view)>& stops, const TextSink& put);

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

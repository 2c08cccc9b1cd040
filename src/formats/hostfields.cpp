#include "formats/hostfields.h"

#include <algorithm>

#include "text/cp932.h"

namespace zazir {

namespace {

constexpr std::string_view kFullWidthBlank = "\x81\x40";
constexpr std::string_view kFullWidthSemicolon = "\x81\x47";
constexpr std::string_view kFullWidthSolidus = "\x81\x5E";
constexpr std::size_t kTabStop = 8;

constexpr bool isControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

// No structural byte (";", "/", "0", a blank, a control) is a trail byte,
// so a host that takes any byte after a lead byte along and one that takes
// only trail bytes read the same characters once no lead byte stands
// alone.
constexpr bool isTrailByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// The length of the character at `at`: 2 for a lead byte with its trail
// byte, 0 for a lead byte standing alone, else 1.
std::size_t characterAt(std::string_view text, std::size_t at) {
  if (!isLeadByte(text[at])) return 1;
  if (at + 1 < text.size() && isTrailByte(static_cast<unsigned char>(text[at + 1]))) return 2;
  return 0;
}

// `line` without the blanks, half or full width, at either end. A trail
// byte 0x40 may end a full-width blank or another character: only a walk
// from the start tells them apart.
std::string_view trimBlanks(std::string_view line) {
  std::size_t first = line.size();
  std::size_t end = 0;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t length = characterAt(line, at);
    const std::size_t step = length == 0 ? 1 : length;
    const bool blank =
        (length == 1 && line[at] == ' ') || (length == 2 && line.substr(at, 2) == kFullWidthBlank);
    if (!blank) {
      first = std::min(first, at);
      end = at + step;
    }
    at += step;
  }
  return first < end ? line.substr(first, end - first) : std::string_view();
}

// Appends the character at `at` as the host takes it harmlessly: a lead
// byte standing alone as "?", a control as a blank, and where `semicolons`
// (an answer's field separator) a ";" full width. Gives the bytes taken.
std::size_t putHarmless(std::string& out, std::string_view text, std::size_t at, bool semicolons) {
  const std::size_t length = characterAt(text, at);
  const auto byte = static_cast<unsigned char>(text[at]);
  if (length == 2) {
    out += text.substr(at, 2);
    return 2;
  }
  if (length == 0) {
    out += '?';
  } else if (isControl(byte)) {
    out += ' ';
  } else if (semicolons && byte == ';') {
    out += kFullWidthSemicolon;
  } else {
    out += static_cast<char>(byte);
  }
  return 1;
}

// The slashes of a line that reads as the end of a text become full width.
void defuseTextEnd(std::string& line) {
  if (!endsHostText(line)) return;
  std::string defused;
  for (char byte : line) {
    if (byte == '/') {
      defused += kFullWidthSolidus;
    } else {
      defused += byte;
    }
  }
  line = std::move(defused);
}

}  // namespace

bool endsHostText(std::string_view line) {
  return trimBlanks(line) == "//";
}

bool isBlankAnswer(std::string_view answer) {
  return trimBlanks(answer).empty();
}

std::string hostAnswer(std::string_view answer) {
  std::string harmless;
  harmless.reserve(answer.size());
  for (std::size_t at = 0; at < answer.size();) {
    at += putHarmless(harmless, answer, at, true);
  }
  defuseTextEnd(harmless);
  return harmless;
}

std::string hostText(std::string_view text, std::vector<std::size_t>* marks) {
  std::string harmless;
  harmless.reserve(text.size());
  std::size_t nextMark = 0;
  std::string line;
  for (std::size_t lineStart = 0; lineStart <= text.size();) {
    std::size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    line.clear();
    for (std::size_t at = lineStart; at < lineEnd;) {
      while (marks && nextMark < marks->size() && (*marks)[nextMark] <= at) {
        (*marks)[nextMark++] = harmless.size() + line.size();
      }
      if (text[at] == '\t') {
        line.append(kTabStop - line.size() % kTabStop, ' ');
        ++at;
      } else {
        at += putHarmless(line, text, at, false);
      }
    }
    // A line so defused holds blanks and slashes only: no mark lies in it.
    defuseTextEnd(line);
    harmless += line;
    if (lineEnd == text.size()) break;
    harmless += '\n';
    lineStart = lineEnd + 1;
  }
  // A mark at the very end, or one inside a character, keeps its place in
  // the order.
  if (marks) {
    for (; nextMark < marks->size(); ++nextMark) (*marks)[nextMark] = harmless.size();
  }
  return harmless;
}

bool isHostId(std::string_view id) {
  if (id.empty() || id.find_first_not_of('0') == std::string_view::npos) return false;
  for (std::size_t at = 0; at < id.size();) {
    const std::size_t length = characterAt(id, at);
    if (length == 0) return false;
    if (length == 2) {
      if (id.substr(at, 2) == kFullWidthBlank) return false;
    } else {
      const auto byte = static_cast<unsigned char>(id[at]);
      if (byte <= ' ' || byte == 0x7F || byte == ';') return false;
    }
    at += length;
  }
  return true;
}

}  // namespace zazir

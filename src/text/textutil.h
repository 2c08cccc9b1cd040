// Small text helpers for lines read from files and typed by the user.
#pragma once

#include <string>
#include <string_view>

namespace zazir {

// Ends the text at its first CR, then at its first LF, and turns its first
// TAB (only the first) into a blank.
void stripLineEnd(std::string& text);

constexpr bool isDigitChar(char byte) {
  return byte >= '0' && byte <= '9';
}

// More than 5 bytes, four digits and a colon at byte 4.
bool hasNumberColonPrefix(std::string_view text);

inline bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// A name from the log (a board's) made safe as a file name: a "/" must
// not lead into another directory, nor a NUL byte end the name early; both
// become "_".
std::string safeFileName(std::string_view name);

// A path to show in `width` columns: whole when it fits, else its end
// after "…", from a "/" where one lets a whole name through. A path keeps
// its meaning by its end (the file, its directory); its start is what a
// reader can guess.
std::string shortenPath(std::string_view path, std::size_t width);

// The `index`-th blank-separated word of `text` (0-based); empty when absent.
std::string_view wordAt(std::string_view text, int index);

// Reads a decimal integer as the standard conversion does: leading blanks,
// an optional sign, then digits up to the first non-digit. Never octal.
// Values beyond the int range are clamped.
int parseDecimal(std::string_view text);

}  // namespace zazir

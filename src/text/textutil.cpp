#include "text/textutil.h"

#include <algorithm>
#include <climits>

#include "platform/encoding.h"
#include "text/cp932.h"

namespace zazir {

void stripLineEnd(std::string& text) {
  if (auto cr = text.find('\r'); cr != std::string::npos) text.resize(cr);
  if (auto lf = text.find('\n'); lf != std::string::npos) text.resize(lf);
  if (auto tab = text.find('\t'); tab != std::string::npos) text[tab] = ' ';
}

bool hasNumberColonPrefix(std::string_view text) {
  return text.size() > 5 && isDigitChar(text[0]) && isDigitChar(text[1]) && isDigitChar(text[2]) &&
         isDigitChar(text[3]) && text[4] == ':';
}

std::string safeFileName(std::string_view name) {
  std::string safe(name);
  std::replace(safe.begin(), safe.end(), '/', '_');
  std::replace(safe.begin(), safe.end(), '\0', '_');
  return safe;
}

std::string shortenPath(std::string_view path, std::size_t width) {
  if (path.size() <= width) return std::string(path);
  using namespace literals;
  const std::string ellipsis = "…"_sj;
  if (width < ellipsis.size()) return {};
  const std::size_t room = width - ellipsis.size();
  // The first character from which the rest fits.
  std::size_t start = 0;
  while (path.size() - start > room) {
    start += isLeadByte(path[start]) && start + 1 < path.size() ? 2 : 1;
  }
  // A "/" is never the second byte of a character.
  const std::size_t slash = path.find('/', start);
  if (slash != std::string_view::npos && slash + 1 < path.size()) start = slash;
  return ellipsis + std::string(path.substr(start));
}

std::string_view wordAt(std::string_view text, int index) {
  std::size_t at = 0;
  for (int word = 0;; ++word) {
    while (at < text.size() && text[at] == ' ') ++at;
    if (at >= text.size()) return {};
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    if (word == index) return text.substr(at, end - at);
    at = end;
  }
}

int parseDecimal(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && isDigitChar(text[at]); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace zazir

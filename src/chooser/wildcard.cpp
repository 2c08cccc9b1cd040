#include "chooser/wildcard.h"

#include <vector>

#include "text/cp932.h"

namespace zazir {
namespace {

// The text cut into characters, so that "?" takes a double-byte character
// whole and a trail byte is never compared as a letter.
std::vector<std::string_view> characters(std::string_view text) {
  std::vector<std::string_view> result;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = isLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
    result.push_back(text.substr(at, length));
    at += length;
  }
  return result;
}

char foldCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameCharacter(std::string_view a, std::string_view b) {
  if (a.size() == 1 && b.size() == 1) return foldCase(a[0]) == foldCase(b[0]);
  return a == b;
}

bool matchesPlain(std::string_view pattern, std::string_view name) {
  const std::vector<std::string_view> pat = characters(pattern);
  const std::vector<std::string_view> text = characters(name);
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = pat.size();  // none yet
  std::size_t starN = 0;
  while (n < text.size()) {
    if (p < pat.size() && pat[p] == "*") {
      starP = p++;
      starN = n;
    } else if (p < pat.size() && (pat[p] == "?" || sameCharacter(pat[p], text[n]))) {
      ++p;
      ++n;
    } else if (starP < pat.size()) {
      // Let the last star take one more character and try again.
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == "*") ++p;
  return p == pat.size();
}

}  // namespace

bool matchesWildcard(std::string_view pattern, std::string_view name) {
  if (matchesPlain(pattern, name)) return true;
  if (pattern.ends_with(".*")) return matchesPlain(pattern.substr(0, pattern.size() - 2), name);
  if (pattern.ends_with(".") && name.find('.') == std::string_view::npos) {
    return matchesPlain(pattern.substr(0, pattern.size() - 1), name);
  }
  return false;
}

}  // namespace zazir

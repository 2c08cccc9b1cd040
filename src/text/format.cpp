#include "text/format.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "text/cp932.h"

namespace zazir {
namespace {

// Widths and precisions beyond this are taken as this: a hostile format
// must not ask for gigabytes.
constexpr int kLongestField = 10000;

struct Conversion {
  bool left = false;
  bool zero = false;
  bool plus = false;
  bool space = false;
  int width = -1;
  int precision = -1;
  char letter = 0;
  std::size_t end = 0;  // index just past the conversion character
};

// Parses the conversion that starts at format[start] == '%'. Returns false
// when the format ends before a conversion character.
bool parseConversion(std::string_view format, std::size_t start, Conversion& conversion) {
  std::size_t at = start + 1;
  for (; at < format.size(); ++at) {
    const char c = format[at];
    if (c == '-')
      conversion.left = true;
    else if (c == '0')
      conversion.zero = true;
    else if (c == '+')
      conversion.plus = true;
    else if (c == ' ')
      conversion.space = true;
    else if (c == '#')
      continue;
    else
      break;
  }
  auto readNumber = [&](int& out) {
    out = 0;
    while (at < format.size() && format[at] >= '0' && format[at] <= '9') {
      out = std::min(out * 10 + (format[at] - '0'), kLongestField);
      ++at;
    }
  };
  if (at < format.size() && format[at] >= '1' && format[at] <= '9') readNumber(conversion.width);
  if (at < format.size() && format[at] == '.') {
    ++at;
    readNumber(conversion.precision);
  }
  while (at < format.size() && (format[at] == 'l' || format[at] == 'h')) ++at;
  if (at >= format.size()) return false;
  conversion.letter = format[at];
  conversion.end = at + 1;
  return true;
}

void pad(std::string& out, std::string_view body, const Conversion& conversion, char filler = ' ') {
  const std::size_t width = conversion.width > 0 ? static_cast<std::size_t>(conversion.width) : 0;
  const std::size_t fill = body.size() < width ? width - body.size() : 0;
  if (conversion.left) {
    out += body;
    out.append(fill, ' ');
  } else {
    out.append(fill, filler);
    out += body;
  }
}

void appendText(std::string& out, std::string_view text, const Conversion& conversion) {
  if (conversion.precision >= 0)
    text = cutToBytes(text, static_cast<std::size_t>(conversion.precision));
  pad(out, text, conversion);
}

void appendNumber(std::string& out, std::int64_t value, const Conversion& conversion) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  if (conversion.precision >= 0 && digits.size() < static_cast<std::size_t>(conversion.precision)) {
    digits.insert(0, static_cast<std::size_t>(conversion.precision) - digits.size(), '0');
  }
  std::string sign = negative ? "-" : conversion.plus ? "+" : conversion.space ? " " : "";
  const bool zeroFill = conversion.zero && !conversion.left && conversion.precision < 0;
  if (zeroFill) {
    const std::size_t width = conversion.width > 0 ? static_cast<std::size_t>(conversion.width) : 0;
    const std::size_t used = sign.size() + digits.size();
    if (used < width) digits.insert(0, width - used, '0');
  }
  pad(out, sign + digits, conversion);
}

// Expands `format` with `args`. A configured format takes texts only: its
// "%i" and "%d" and a "%%" with flags are copied as they stand.
std::string expand(std::string_view format, std::span<const FormatArg> args, bool configured) {
  std::string out;
  out.reserve(format.size() + 16);
  auto next = args.begin();
  for (std::size_t at = 0; at < format.size();) {
    if (format[at] != '%') {
      out += format[at++];
      continue;
    }
    Conversion conversion;
    if (!parseConversion(format, at, conversion)) {
      out.append(format.substr(at));
      break;
    }
    const char letter = conversion.letter;
    if (letter == '%' && (!configured || conversion.end == at + 2)) {
      out += '%';
    } else if (letter == 's') {
      appendText(out, next != args.end() ? (next++)->text() : std::string_view(), conversion);
    } else if ((letter == 'i' || letter == 'd') && !configured) {
      appendNumber(out, next != args.end() ? (next++)->number() : 0, conversion);
    } else {
      out.append(format.substr(at, conversion.end - at));
    }
    at = conversion.end;
  }
  return out;
}

}  // namespace

std::string formatArgs(std::string_view format, std::initializer_list<FormatArg> args) {
  return expand(format, std::span(args.begin(), args.size()), false);
}

std::string formatConfigured(std::string_view format,
                             std::initializer_list<std::string_view> args) {
  const std::vector<FormatArg> texts(args.begin(), args.end());
  return expand(format, texts, true);
}

}  // namespace zazir

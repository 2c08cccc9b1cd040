// printf-style formatting without the printf family: the program's own
// formats, and formats that come from the configuration file, which must
// never reach a real printf.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace zazir {

// One argument: a number or a text.
class FormatArg {
 public:
  template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
  FormatArg(T number) : number_(static_cast<std::int64_t>(number)), isNumber_(true) {}
  FormatArg(std::string_view text) : text_(text) {}
  FormatArg(const std::string& text) : text_(text) {}
  FormatArg(const char* text) : text_(text) {}

  bool isNumber() const { return isNumber_; }
  std::int64_t number() const { return number_; }
  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
  std::int64_t number_ = 0;
  bool isNumber_ = false;
};

// Formats with "%s", "%i", "%d" and "%%" (flags "-", "0", "+", " ", width,
// precision, length modifiers ignored). A precision cuts a text on a
// character boundary. Unknown conversions are copied as they stand; a
// missing argument gives empty text or 0.
std::string formatArgs(std::string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
std::string formatText(std::string_view format, const Args&... args) {
  return formatArgs(format, {FormatArg(args)...});
}

// The safe formatter for formats taken from the configuration: each "%s"
// (flags, width and precision allowed) takes the next text, a missing one
// gives empty text, "%%" gives "%", and anything else is copied unchanged.
std::string formatConfigured(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace zazir

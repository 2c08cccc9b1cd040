// Text for the terminal, pipes and file names: in the locale's codeset, or
// in UTF-8 when the locale's codeset cannot hold Japanese (LANG=C).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zazir {

class Converter;

class OutputText {
 public:
  // The codeset of the current locale, or UTF-8 as above.
  OutputText();
  explicit OutputText(const std::string& codeset);
  ~OutputText();

  const std::string& codeset() const { return codeset_; }
  // Whether UTF-8 goes out as it is.
  bool passesUtf8() const { return !converter_; }
  // UTF-8 text in the codeset; a character it lacks becomes '?'.
  std::string operator()(std::string_view utf8) const;

 private:
  std::string codeset_;
  std::unique_ptr<Converter> converter_;  // none: the codeset is UTF-8
};

// A field of a tab-separated line never holds a tab or a line end, nor a
// control byte that would reach the terminal: each becomes a blank (neither
// CP932 nor UTF-8 has one inside a character).
std::string blankControls(std::string_view bytes);
void blankControlsIn(std::string& text);

}  // namespace zazir

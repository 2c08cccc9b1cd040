// CP932 to UTF-8 at table speed, for whole logs. The table is iconv's own
// mapping, so the export says what iconv would; a byte with no Unicode form
// becomes U+FFFD and is counted, never dropped. So does every control byte
// but TAB and LF: an export is read with cat and less, and a mail reader
// takes no NUL in 8bit text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zazir {

class Utf8Decoder {
 public:
  // What a control byte becomes: U+FFFD, or (for a field of a line, which
  // never holds a tab or a line end either) a blank, not counted.
  enum class Controls { Replaced, Blanked };
  explicit Utf8Decoder(Controls controls = Controls::Replaced)
      : blanked_(controls == Controls::Blanked) {}

  // Appends the UTF-8 form of `cp932` to `out`. A lead byte at the end of
  // the piece waits for the next one, so a line may come in any pieces.
  void decode(std::string_view cp932, std::string& out);
  // Ends a line or text: a lead byte still waiting has no form.
  void finish(std::string& out);
  // The bytes written as U+FFFD so far (control bytes included).
  std::uint64_t replacedBytes() const { return replaced_; }

 private:
  static constexpr std::size_t kSliceBytes = 4096;
  // Writes the UTF-8 form of at most kSliceBytes to `buffer`; its size.
  std::size_t decodeSlice(std::string_view cp932, char* buffer);

  bool blanked_;
  int pending_ = -1;  // a lead byte from the end of the last piece
  std::uint64_t replaced_ = 0;
};

// A short text (a name, a header line) whole; replaced bytes are counted
// in `decoder`.
std::string toUtf8(std::string_view cp932, Utf8Decoder& decoder);

}  // namespace zazir

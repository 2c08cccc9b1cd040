// The renderer: the bytes that turn what the terminal shows into the next
// virtual screen. It only computes them; its caller writes them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "console/screen.h"

namespace zazir {

class Converter;

class Renderer {
 public:
  // `outputCodeset` is the terminal's codeset; CP932 bytes are converted to
  // it glyph by glyph.
  explicit Renderer(const std::string& outputCodeset);
  ~Renderer();

  // The bytes that draw `next` over the last frame, clipped to the
  // terminal's size.
  std::string frame(const Screen& next, int rows, int columns);
  // The terminal's content is unknown (after a command or a resize): the
  // next frame clears and draws everything.
  void invalidate() { shown_.reset(); }

  // The glyph of one screen unit in the output codeset; none when the
  // bytes have no printable form.
  std::optional<std::string> glyph(unsigned char lead, unsigned char trail);
  std::optional<std::string> glyph(unsigned char byte);

 private:
  std::optional<Screen> shown_;
  int shownRows_ = 0;
  int shownColumns_ = 0;
  bool passThrough_;
  std::unique_ptr<Converter> converter_;
  std::unordered_map<std::uint16_t, std::optional<std::string>> glyphs_;
};

// The SGR sequence for a console attribute; the start-up attribute is the
// terminal's own colours.
std::string sgrFor(Attribute attribute);

// What a person sees on one row, as UTF-8: every unit of the row in its
// printable form (placeholders for bytes that have none), trailing blanks
// removed.
std::string rowToUtf8(const Screen& screen, int row);

}  // namespace zazir

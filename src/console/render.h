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

// Colours on, or off as NO_COLOR asks: bars and highlights in reverse
// video, marks in bold.
enum class Colours : std::uint8_t { On, Off };

// The smallest terminal every screen fits in.
inline constexpr int kLeastRows = 24;
inline constexpr int kLeastColumns = kScreenWidth;
constexpr bool screenFits(int rows, int columns) {
  return rows >= kLeastRows && columns >= kLeastColumns;
}

class Renderer {
 public:
  // `outputCodeset` is the terminal's codeset; CP932 bytes are converted to
  // it glyph by glyph.
  explicit Renderer(const std::string& outputCodeset, Colours colours = Colours::On);
  ~Renderer();

  // The bytes that draw `next` over the last frame. On a terminal the
  // screens do not fit in, a notice asking for a larger one instead.
  std::string frame(const Screen& next, int rows, int columns);
  // The terminal's content is unknown (after a command or a resize): the
  // next frame clears and draws everything.
  void invalidate() { shown_.reset(); }

  // The glyph of one screen unit in the output codeset; none when the
  // bytes have no printable form.
  std::optional<std::string> glyph(unsigned char lead, unsigned char trail);
  std::optional<std::string> glyph(unsigned char byte);

 private:
  std::string tooSmallNotice(int rows, int columns);

  std::optional<Screen> shown_;
  int shownRows_ = 0;
  int shownColumns_ = 0;
  Colours colours_;
  bool passThrough_;
  std::unique_ptr<Converter> converter_;
  std::unordered_map<std::uint16_t, std::optional<std::string>> glyphs_;
};

// The SGR sequence for a console attribute. The start-up and the normal
// attribute are the terminal's own colours, so that a light terminal shows
// no black slabs.
std::string sgrFor(Attribute attribute, Colours colours = Colours::On);

// What a person sees on one row, as UTF-8: every unit of the row in its
// printable form (placeholders for bytes that have none), trailing blanks
// removed; empty for a row the screen does not have.
std::string rowToUtf8(const Screen& screen, int row);

}  // namespace zazir

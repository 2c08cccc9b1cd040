#include "console/render.h"

#include <array>
#include <vector>

#include "platform/encoding.h"
#include "text/cp932.h"
#include "text/format.h"

namespace zazir {
namespace {

using namespace literals;

// Shown for a byte that is not printable text; nothing read from a file may
// reach the terminal as a control byte.
constexpr char kPlaceholder = '?';

bool isTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// One character on screen: one or two cells.
struct Unit {
  int column;
  int width;
  std::string text;  // in the output codeset
  Attribute attribute;
};

// Splits a row into its characters as the renderer will draw them.
std::vector<Unit> unitsOf(const Screen& screen, int row, Renderer& renderer) {
  std::vector<Unit> units;
  for (int column = 0; column < kScreenWidth;) {
    const Cell& cell = screen.at(column, row);
    if (isLeadByte(cell.byte) && column + 1 < kScreenWidth) {
      const Cell& next = screen.at(column + 1, row);
      if (isTrailByte(next.byte)) {
        if (auto text = renderer.glyph(cell.byte, next.byte)) {
          units.push_back({column, 2, *text, cell.attribute});
          column += 2;
          continue;
        }
      }
    }
    auto text = renderer.glyph(cell.byte);
    units.push_back({column, 1, text ? *text : std::string(1, kPlaceholder), cell.attribute});
    ++column;
  }
  return units;
}

bool sameCells(const Screen& a, const Screen& b, int row, int column, int width) {
  for (int at = column; at < column + width; ++at) {
    if (!(a.at(at, row) == b.at(at, row))) return false;
  }
  return true;
}

void appendMove(std::string& out, int row, int column) {
  out += "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

}  // namespace

std::string sgrFor(Attribute attribute, Colours colours) {
  if (attribute == attr::kStartup || attribute == attr::kNormal) return "\x1b[0m";
  // Black on bright white would be the page itself on a light terminal:
  // the bar is the terminal's own colours reversed, which looks the same
  // on a dark one.
  if (attribute == attr::kBar) return "\x1b[0;7m";
  if (colours == Colours::Off) {
    if (attribute == attr::kMarked) return "\x1b[0;1m";
    // Whatever stands on a background of its own must stay set apart.
    return (attribute & 0xF0) != 0 ? "\x1b[0;7m" : "\x1b[0m";
  }
  // The console numbers blue 1, green 2, red 4; ANSI the other way round.
  auto ansi = [](int colour) { return ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2); };
  const int foreground = attribute & 0x0F;
  const int background = (attribute >> 4) & 0x0F;
  const int fg = (foreground & 8 ? 90 : 30) + ansi(foreground);
  const int bg = (background & 8 ? 100 : 40) + ansi(background);
  return "\x1b[0;" + std::to_string(fg) + ";" + std::to_string(bg) + "m";
}

Renderer::Renderer(const std::string& outputCodeset, Colours colours)
    : colours_(colours),
      passThrough_(isCp932Codeset(outputCodeset)),
      converter_(passThrough_ ? nullptr : std::make_unique<Converter>(outputCodeset, "CP932")) {}

Renderer::~Renderer() = default;

std::optional<std::string> Renderer::glyph(unsigned char lead, unsigned char trail) {
  const std::uint16_t code = static_cast<std::uint16_t>(lead << 8 | trail);
  auto found = glyphs_.find(code);
  if (found != glyphs_.end()) return found->second;
  const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  std::optional<std::string> text;
  if (passThrough_) {
    // Only pairs that have a Unicode form are real characters.
    if (cp932ToUtf8(std::string_view(bytes, 2))) text = std::string(bytes, 2);
  } else {
    text = converter_->convert(std::string_view(bytes, 2));
  }
  glyphs_.emplace(code, text);
  return text;
}

std::optional<std::string> Renderer::glyph(unsigned char byte) {
  if (byte >= 0x20 && byte < 0x7F) return std::string(1, static_cast<char>(byte));
  if (byte < 0xA1 || byte > 0xDF) return std::nullopt;  // controls and lone lead bytes
  auto found = glyphs_.find(byte);
  if (found != glyphs_.end()) return found->second;
  const char single = static_cast<char>(byte);
  std::optional<std::string> text = passThrough_
                                        ? std::optional<std::string>(std::string(1, single))
                                        : converter_->convert(std::string_view(&single, 1));
  glyphs_.emplace(byte, text);
  return text;
}

std::string Renderer::tooSmallNotice(int rows, int columns) {
  shown_.reset();  // whatever fits next is drawn whole
  std::string out = "\x1b[0m\x1b[2J";
  const std::string lines[] = {
      formatText("端末の大きさを %ix%i 以上にしてください。"_sj, kLeastColumns, kLeastRows),
      formatText("Please make the terminal at least %ix%i.", kLeastColumns, kLeastRows),
      formatText("(%ix%i)", columns, rows),
  };
  for (int row = 0; row < rows && row < static_cast<int>(std::size(lines)); ++row) {
    appendMove(out, row, 0);
    const std::string& line = lines[row];
    int column = 0;
    for (std::size_t at = 0; at < line.size();) {
      const auto byte = static_cast<unsigned char>(line[at]);
      const int width = isLeadByte(byte) && at + 1 < line.size() ? 2 : 1;
      if (column + width > columns) break;
      const auto text = width == 2 ? glyph(byte, static_cast<unsigned char>(line[at + 1]))
                                   : glyph(byte);
      out += text.value_or(std::string(static_cast<std::size_t>(width), kPlaceholder));
      column += width;
      at += static_cast<std::size_t>(width);
    }
  }
  return out;
}

std::string Renderer::frame(const Screen& next, int rows, int columns) {
  if (!screenFits(rows, columns)) return tooSmallNotice(rows, columns);
  std::string out;
  if (!shown_ || rows != shownRows_ || columns != shownColumns_ || shown_->rows() != next.rows()) {
    out += "\x1b[0m\x1b[2J";
    shown_.emplace(next.rows());  // what the cleared terminal shows: blanks in its own colours
    shownRows_ = rows;
    shownColumns_ = columns;
  }
  int termRow = -1;
  int termColumn = -1;
  int termAttribute = -1;
  auto setAttribute = [&](Attribute attribute) {
    if (termAttribute != attribute) {
      out += sgrFor(attribute, colours_);
      termAttribute = attribute;
    }
  };
  auto moveTo = [&](int row, int column) {
    if (row != termRow || column != termColumn) appendMove(out, row, column);
    termRow = row;
    termColumn = column;
  };

  // Every column fits; rows may not: the 25th on a terminal of 24, or the
  // bottom of a screen not yet fitted to a terminal made shorter.
  const int visibleRows = std::min(rows, next.rows());
  for (int row = 0; row < visibleRows; ++row) {
    // Most keys change a row or two: the others cost one comparison.
    if (sameCells(*shown_, next, row, 0, kScreenWidth)) continue;
    std::array<int, kScreenWidth> widthAt{};  // 0: no unit starts there
    for (const Unit& unit : unitsOf(*shown_, row, *this)) widthAt[unit.column] = unit.width;
    for (const Unit& unit : unitsOf(next, row, *this)) {
      const bool unchanged = widthAt[unit.column] == unit.width &&
                             sameCells(*shown_, next, row, unit.column, unit.width);
      if (unchanged) continue;
      if (unit.width == 2) {
        // A terminal may draw this glyph one column wide; the cell behind
        // it must then show a blank, not what stood there before.
        const Cell& behind = shown_->at(unit.column + 1, row);
        if (!(behind == Cell{' ', unit.attribute})) {
          moveTo(row, unit.column + 1);
          setAttribute(unit.attribute);
          out += ' ';
          ++termColumn;
        }
        moveTo(row, unit.column);
        setAttribute(unit.attribute);
        out += unit.text;
        termRow = termColumn = -1;  // its width on the terminal is not known
        continue;
      }
      moveTo(row, unit.column);
      setAttribute(unit.attribute);
      out += unit.text;
      ++termColumn;
    }
  }
  *shown_ = next;
  if (next.cursorColumn >= 0 && next.cursorColumn < kScreenWidth && next.cursorRow >= 0 &&
      next.cursorRow < visibleRows) {
    appendMove(out, next.cursorRow, next.cursorColumn);
  }
  return out;
}

std::string rowToUtf8(const Screen& screen, int row) {
  static thread_local Renderer renderer("UTF-8");
  std::string text;
  if (row < 0 || row >= screen.rows()) return text;
  for (const Unit& unit : unitsOf(screen, row, renderer)) text += unit.text;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace zazir

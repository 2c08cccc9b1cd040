// A tiny terminal for checking the renderer by round trip: it understands
// the sequences the renderer sends and records anything else.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zazir::testing {

// A terminal's own colours, as indices of its 16-colour palette (0 black,
// 7 white, 15 bright white): those of SGR 0, 39 and 49.
struct Theme {
  int foreground;
  int background;
};
inline constexpr Theme kDarkTheme{7, 0};
inline constexpr Theme kLightTheme{0, 15};

class TerminalModel {
 public:
  // `ambiguousWide`: whether East Asian ambiguous characters (arrows,
  // stars, circles, Greek...) take two columns, as some terminals do.
  TerminalModel(int rows, int columns, bool ambiguousWide, Theme theme = kDarkTheme);

  void feed(std::string_view bytes);

  // The glyph (UTF-8) that starts at a cell; "" for the right half of a
  // wide glyph.
  const std::string& glyphAt(int row, int column) const;
  int sgrAt(int row, int column) const { return cells_[index(row, column)].sgr; }
  // The palette colours a cell is seen in, reverse video applied.
  int foregroundAt(int row, int column) const { return cells_[index(row, column)].foreground; }
  int backgroundAt(int row, int column) const { return cells_[index(row, column)].background; }
  // The row as text, trailing blanks removed.
  std::string rowText(int row) const;
  // Control bytes that reached the terminal outside an escape sequence.
  const std::string& strayControls() const { return stray_; }
  int cursorRow() const { return row_; }
  int cursorColumn() const { return column_; }

 private:
  struct Cell {
    std::string glyph = " ";
    int sgr = 0;  // a hash of the last SGR parameters in force
    int foreground = 0;
    int background = 0;
  };
  Cell blank(const std::string& glyph) const;
  void applySgr(const std::string& params);
  int index(int row, int column) const { return row * columns_ + column; }
  void put(const std::string& glyph, int width);
  void clearCell(int row, int column);

  int rows_;
  int columns_;
  bool ambiguousWide_;
  std::vector<Cell> cells_;
  int row_ = 0;
  int column_ = 0;
  int sgr_ = 0;
  Theme theme_;
  int foreground_ = -1;  // -1: the theme's own
  int background_ = -1;
  bool reverse_ = false;
  std::string stray_;
};

}  // namespace zazir::testing

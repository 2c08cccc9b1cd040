// The virtual screen: 80 columns of cells of a CP932 byte and an attribute,
// as many rows as the terminal has (25 at least), and a cursor. Every
// screen operation draws here; a backend shows it.
#pragma once

#include <cstdint>
#include <vector>

namespace zazir {

inline constexpr int kScreenWidth = 80;
// The height the screens are laid out for; a taller terminal gives a
// taller screen, never a shorter one.
inline constexpr int kScreenHeight = 25;

// Attributes are console colour bytes: low nibble foreground, high nibble
// background; bit 0 blue, bit 1 green, bit 2 red, bit 3 intensity.
using Attribute = std::uint8_t;
namespace attr {
inline constexpr Attribute kStartup = 0x07;  // shown as the terminal's own colours
inline constexpr Attribute kNormal = 0x0F;
inline constexpr Attribute kBar = 0xF0;
inline constexpr Attribute kHighlight = 0x2F;
inline constexpr Attribute kChooserFirst = 0x70;
inline constexpr Attribute kFatal = 0x90;
inline constexpr Attribute kIdFileNotice = 0xD0;
inline constexpr Attribute kMarked = 0xE0;
inline constexpr Attribute kTyped = 0x0A;
}  // namespace attr

struct Cell {
  std::uint8_t byte = ' ';
  Attribute attribute = attr::kStartup;
  bool operator==(const Cell&) const = default;
};

struct Screen {
  explicit Screen(int rows = kScreenHeight)
      : cells(static_cast<std::size_t>(kScreenWidth * rows)) {}

  std::vector<Cell> cells;  // row by row
  int cursorColumn = 0;
  int cursorRow = 0;

  int rows() const { return static_cast<int>(cells.size()) / kScreenWidth; }
  Cell& at(int column, int row) { return cells[index(column, row)]; }
  const Cell& at(int column, int row) const { return cells[index(column, row)]; }
  bool contains(int column, int row) const {
    return column >= 0 && column < kScreenWidth && row >= 0 && row < rows();
  }
  bool operator==(const Screen&) const = default;

 private:
  static std::size_t index(int column, int row) {
    return static_cast<std::size_t>(row * kScreenWidth + column);
  }
};

}  // namespace zazir

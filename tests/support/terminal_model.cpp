#include "support/terminal_model.h"

#include <algorithm>
#include <functional>

namespace zazir::testing {
namespace {

int widthOf(char32_t cp, bool ambiguousWide) {
  if (cp < 0x80) return 1;
  if (cp >= 0xFF61 && cp <= 0xFF9F) return 1;  // half-width katakana
  if (cp < 0x1100 || (cp >= 0x2000 && cp <= 0x27BF)) return ambiguousWide ? 2 : 1;
  return 2;
}

char32_t decodeUtf8(std::string_view text) {
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  char32_t cp = lead < 0xE0 ? lead & 0x1F : lead < 0xF0 ? lead & 0x0F : lead & 0x07;
  for (std::size_t i = 1; i < text.size(); ++i) cp = (cp << 6) | (text[i] & 0x3F);
  return cp;
}

}  // namespace

TerminalModel::TerminalModel(int rows, int columns, bool ambiguousWide, Theme theme)
    : rows_(rows),
      columns_(columns),
      ambiguousWide_(ambiguousWide),
      cells_(rows * columns, Cell{" ", 0, theme.foreground, theme.background}),
      theme_(theme) {}

TerminalModel::Cell TerminalModel::blank(const std::string& glyph) const {
  Cell cell{glyph, sgr_, foreground_ < 0 ? theme_.foreground : foreground_,
            background_ < 0 ? theme_.background : background_};
  if (reverse_) std::swap(cell.foreground, cell.background);
  return cell;
}

void TerminalModel::applySgr(const std::string& params) {
  sgr_ = params == "0" ? 0 : static_cast<int>(std::hash<std::string>{}(params)&0x7fffffff);
  std::size_t at = 0;
  while (at <= params.size()) {
    const std::size_t end = std::min(params.find(';', at), params.size());
    const int n = end > at ? std::stoi(params.substr(at, end - at)) : 0;
    if (n == 0) {
      foreground_ = background_ = -1;
      reverse_ = false;
    } else if (n == 7 || n == 27) {
      reverse_ = n == 7;
    } else if (n == 39 || n == 49) {
      (n == 39 ? foreground_ : background_) = -1;
    } else if ((n >= 30 && n <= 37) || (n >= 90 && n <= 97)) {
      foreground_ = n % 10 + (n >= 90 ? 8 : 0);
    } else if ((n >= 40 && n <= 47) || (n >= 100 && n <= 107)) {
      background_ = n % 10 + (n >= 100 ? 8 : 0);
    }
    at = end + 1;
  }
}

const std::string& TerminalModel::glyphAt(int row, int column) const {
  return cells_[index(row, column)].glyph;
}

std::string TerminalModel::rowText(int row) const {
  std::string text;
  for (int c = 0; c < columns_; ++c) text += cells_[index(row, c)].glyph;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void TerminalModel::clearCell(int row, int column) {
  Cell& cell = cells_[index(row, column)];
  // Overwriting either half of a wide glyph erases the whole glyph.
  if (cell.glyph.empty() && column > 0) cells_[index(row, column - 1)].glyph.assign(1, ' ');
  if (column + 1 < columns_ && cells_[index(row, column + 1)].glyph.empty()) {
    cells_[index(row, column + 1)].glyph.assign(1, ' ');
  }
  cell.glyph.assign(1, ' ');
}

void TerminalModel::put(const std::string& glyph, int width) {
  if (column_ + width > columns_ || row_ >= rows_) return;  // clipped
  clearCell(row_, column_);
  if (width == 2) clearCell(row_, column_ + 1);
  cells_[index(row_, column_)] = blank(glyph);
  if (width == 2) cells_[index(row_, column_ + 1)] = blank("");
  column_ += width;
}

void TerminalModel::feed(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[at]);
    if (c == 0x1b) {
      std::size_t end = at + 1;
      if (end < bytes.size() && bytes[end] == '[') {
        ++end;
        while (end < bytes.size() && !(bytes[end] >= 0x40 && bytes[end] <= 0x7E)) ++end;
      }
      const std::string_view sequence = bytes.substr(at, end - at + 1);
      const char final = sequence.back();
      const std::string params(sequence.substr(2, sequence.size() - 3));
      if (final == 'H') {
        const auto semi = params.find(';');
        row_ = std::stoi(params.substr(0, semi)) - 1;
        column_ = std::stoi(params.substr(semi + 1)) - 1;
      } else if (final == 'm') {
        applySgr(params);
      } else if (final == 'J' && params == "2") {
        for (Cell& cell : cells_) cell = blank(" ");
      }
      at = end + 1;
      continue;
    }
    if (c < 0x20 || c == 0x7F) {
      stray_ += static_cast<char>(c);
      ++at;
      continue;
    }
    std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    const std::string glyph(bytes.substr(at, length));
    put(glyph, widthOf(decodeUtf8(glyph), ambiguousWide_));
    at += length;
  }
}

}  // namespace zazir::testing

// What the pagers share: the 20-line measure, bringing the first shown line
// into range, and the position indicator after a status bar.
#pragma once

#include <string>

namespace zazir {

class Console;

// Pagers scroll and measure by 20 lines.
inline constexpr int kPageLines = 20;

// `top` limited to 0..lineCount-20 (0 when everything fits).
int clampTopLine(int top, int lineCount);

// The scrolling keys every pager shares: Up or 8 and Down or 2 by a line,
// Ctrl+B and Ctrl+N by a page, each only when there is somewhere to go.
// The caller brings `top` into range before it draws.
enum class Scroll { NotAScrollKey, Unchanged, Moved };
Scroll scrollPager(int key, int& top, int lineCount);

// "Bottom", "Top" or "%03i%%" for a text of `total` lines shown from `top`.
std::string pagerPosition(int total, int top);

// " %04i lines. Now:" and the position in the normal attribute, then the
// rest of the row cleared.
void pagerIndicator(Console& console, int total, int top);

}  // namespace zazir

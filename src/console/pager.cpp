#include "console/pager.h"

#include "console/console.h"
#include "console/keys.h"

namespace zazir {

int clampTopLine(int top, int lineCount) {
  if (lineCount >= kPageLines && top > lineCount - kPageLines) return lineCount - kPageLines;
  if (top < 0 || lineCount < kPageLines) return 0;
  return top;
}

Scroll scrollPager(int key, int& top, int lineCount) {
  const bool canGoUp = top > 0;
  const bool canGoDown = top < lineCount - kPageLines;
  int step = 0;
  switch (key) {
    case key::kUp:
    case '8':
      step = canGoUp ? -1 : 0;
      break;
    case key::kDown:
    case '2':
      step = canGoDown ? 1 : 0;
      break;
    case key::kCtrlB:
      step = canGoUp ? -kPageLines : 0;
      break;
    case key::kCtrlN:
      step = canGoDown ? kPageLines : 0;
      break;
    default:
      return Scroll::NotAScrollKey;
  }
  top += step;
  return step == 0 ? Scroll::Unchanged : Scroll::Moved;
}

std::string pagerPosition(int total, int top) {
  if (top + kPageLines >= total) return "Bottom";
  if (top == 0) return "Top";
  return formatText("%03i%%", top * 100 / (total - kPageLines));
}

void pagerIndicator(Console& console, int total, int top) {
  console.setNormal();
  console.putText(" %04i lines. Now:%s", total, pagerPosition(total, top));
  console.clearToEndOfLine();
}

}  // namespace zazir

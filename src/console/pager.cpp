#include "console/pager.h"

#include "console/console.h"

namespace zazir {

int clampTopLine(int top, int lineCount) {
  if (lineCount >= kPageLines && top > lineCount - kPageLines) return lineCount - kPageLines;
  if (top < 0 || lineCount < kPageLines) return 0;
  return top;
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

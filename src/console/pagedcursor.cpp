#include "console/pagedcursor.h"

#include <algorithm>

#include "text/format.h"

namespace zazir {

PagedCursor::Moved PagedCursor::moveTo(int target) {
  const int index = std::max(std::min(target, lastIndex_), 0);
  const int page = index / pageSize_;
  position_ = index % pageSize_;
  const Moved moved{page != page_, index != target};
  page_ = page;
  return moved;
}

PagedCursor::Moved PagedCursor::go(CursorMove move, int rowLength) {
  switch (move) {
    case CursorMove::Left:
      return this->move(-1);
    case CursorMove::Right:
      return this->move(1);
    case CursorMove::Up:
      return this->move(-rowLength);
    case CursorMove::Down:
      return this->move(rowLength);
    case CursorMove::PageBack:
      return this->move(-pageSize_);
    case CursorMove::PageForward:
      return this->move(pageSize_);
    case CursorMove::First:
      return moveTo(0);
    case CursorMove::Last:
      return moveTo(lastIndex_);
  }
  return {};
}

std::string PagedCursor::pagePosition() const {
  const int lastPage = empty() ? 0 : lastIndex_ / pageSize_;
  if (page_ == 0) return "Top";
  if (page_ == lastPage) return "Bottom";
  return formatText("%i%%", page_ * 100 / lastPage);
}

}  // namespace zazir

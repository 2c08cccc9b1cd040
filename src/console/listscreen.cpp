#include "console/listscreen.h"

#include <algorithm>

#include "text/format.h"

namespace zazir {

ListScreen::ListScreen(ListShape shape, PageLoader load, LastPage lastPage)
    : shape_(shape), load_(std::move(load)), lastPage_(std::move(lastPage)) {}

ListScreen ListScreen::ofEntries(ListShape shape, int count,
                                 const std::function<std::string(int index)>& entry) {
  const int pageRows = shape.pageRows;
  const int lastPage = count <= 0 ? 0 : (count - 1) / pageRows;
  ListScreen list(
      shape,
      [count, pageRows, entry](int& page) {
        std::vector<std::string> rows;
        for (int k = page * pageRows; k < std::min(count, (page + 1) * pageRows); ++k) {
          rows.push_back(entry(k));
        }
        return rows;
      },
      [lastPage](int, bool) { return lastPage; });
  list.count_ = count;
  return list;
}

void ListScreen::open(int page, int row) {
  page_ = page;
  row_ = row;
  startRow_ = row;
  load();
}

void ListScreen::load() {
  rows_ = load_(page_);
  if (static_cast<int>(rows_.size()) > shape_.pageRows) rows_.resize(shape_.pageRows);
  if (shape_.paging != ListPaging::Entries) row_ = std::min(std::max(startRow_, 0), lastRow());
}

ListScreen::Moved ListScreen::move(CursorMove move) {
  if (shape_.paging == ListPaging::Entries) return moveEntries(move);
  switch (move) {
    case CursorMove::Left:
    case CursorMove::Up:
    case CursorMove::Right:
    case CursorMove::Down: {
      if (rows_.empty()) return turn(CursorMove::PageBack);
      const bool back = move == CursorMove::Left || move == CursorMove::Up;
      row_ += back ? -1 : 1;
      if (row_ < 0) return turn(CursorMove::PageBack);
      if (row_ > shape_.pageRows - 1) return turn(CursorMove::PageForward);
      row_ = std::min(row_, lastRow());
      return {};
    }
    default:
      return turn(move);
  }
}

ListScreen::Moved ListScreen::turn(CursorMove move) {
  const int before = page_;
  if (shape_.paging == ListPaging::OnePage || shape_.paging == ListPaging::OnePageFromTop) {
    if (move == CursorMove::First) startRow_ = 0;
    if (move == CursorMove::Last) startRow_ = lastRow();
  } else {
    const int lastPage = lastPage_(page_, move == CursorMove::Last);
    switch (move) {
      case CursorMove::PageBack:
        startRow_ = page_ == 0 ? 0 : shape_.pageRows - 1;
        page_ = std::max(page_ - 1, 0);
        break;
      case CursorMove::PageForward:
        startRow_ = page_ >= lastPage ? shape_.pageRows - 1 : 0;
        page_ = std::min(page_ + 1, std::max(lastPage, page_));
        break;
      case CursorMove::First:
        page_ = 0;
        startRow_ = 0;
        break;
      default:
        page_ = lastPage;
        startRow_ = shape_.pageRows - 1;
        break;
    }
  }
  // The rows are read again whether the page changed or not, as the list
  // may have learned more of itself meanwhile.
  load();
  if (shape_.paging == ListPaging::OnePageFromTop) startRow_ = 0;
  return {page_ != before, false};
}

ListScreen::Moved ListScreen::moveEntries(CursorMove move) {
  const int pageRows = shape_.pageRows;
  const int index = this->index();
  int target = index;
  switch (move) {
    case CursorMove::Left:
      target = index - 1;
      break;
    case CursorMove::Right:
      target = index + 1;
      break;
    case CursorMove::Up:
      target = index - shape_.rowLength;
      break;
    case CursorMove::Down:
      target = index + shape_.rowLength;
      break;
    case CursorMove::PageBack:
      target = index - pageRows;
      break;
    case CursorMove::PageForward:
      target = index + pageRows;
      break;
    case CursorMove::First:
      target = 0;
      break;
    case CursorMove::Last:
      target = count_ - 1;
      break;
  }
  const int reached = std::max(std::min(target, count_ - 1), 0);
  const Moved moved{reached / pageRows != page_, reached != target};
  page_ = reached / pageRows;
  row_ = reached % pageRows;
  if (moved.page) load();
  return moved;
}

void ListScreen::backToStart() {
  if (shape_.paging != ListPaging::Entries) row_ = std::min(std::max(startRow_, 0), lastRow());
}

void ListScreen::repage(int pageRows) {
  const int entry = page_ * shape_.pageRows + std::max(row_, 0);
  shape_.pageRows = pageRows;
  page_ = std::min(entry / pageRows, lastPage_(page_, false));
  startRow_ = entry % pageRows;
  load();
}

std::string ListScreen::pagePosition() const {
  const int lastPage = lastPage_(page_, false);
  if (page_ == 0) return "Top";
  if (page_ == lastPage) return "Bottom";
  return formatText("%i%%", page_ * 100 / lastPage);
}

}  // namespace zazir

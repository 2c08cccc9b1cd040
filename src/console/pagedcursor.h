// The cursor of a list shown a page at a time (the ID list, the group list,
// the log chooser): which page is shown and where on it the cursor stands,
// kept within the list.
#pragma once

#include <cstdint>
#include <string>

namespace zazir {

// The moves the paged lists bind: by an entry, by a row of entries, by a
// page, to the first or last entry.
enum class CursorMove : std::uint8_t { Left, Right, Up, Down, PageBack, PageForward, First, Last };

class PagedCursor {
 public:
  PagedCursor(int pageSize, int count) : pageSize_(pageSize), lastIndex_(count - 1) {}

  bool empty() const { return lastIndex_ < 0; }
  int lastIndex() const { return lastIndex_; }
  int pageSize() const { return pageSize_; }
  int page() const { return page_; }
  int position() const { return position_; }  // on the page
  int index() const { return page_ * pageSize_ + position_; }
  int firstOnPage() const { return page_ * pageSize_; }

  struct Moved {
    bool page = false;     // the page changed: the caller draws it
    bool stopped = false;  // the move went past an end and stopped there
  };
  // Moves by `delta` entries; a move past either end stops on the last or
  // the first entry.
  Moved move(int delta) { return moveTo(index() + delta); }
  Moved moveTo(int index);
  // `rowLength` entries stand on one row of a page.
  Moved go(CursorMove move, int rowLength);

  // "Top" on the first page, "Bottom" on the last, else how far the page is
  // through the list ("%i%%").
  std::string pagePosition() const;

 private:
  int pageSize_;
  int lastIndex_;  // -1 for an empty list
  int page_ = 0;
  int position_ = 0;
};

}  // namespace zazir

// The cursor that the paged address book lists share: which page is shown
// and where on it the cursor stands, kept within the list.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "console/screen.h"

namespace zazir {

class Console;

// The bytes of the file a list shows; when it cannot be read, `notice` in
// `attribute` from row 22 until a key, and nothing.
std::optional<std::string> readListFile(Console& console, const std::string& path,
                                        Attribute attribute, std::string_view notice);

class PagedCursor {
 public:
  PagedCursor(int pageSize, int count) : pageSize_(pageSize), lastIndex_(count - 1) {}

  bool empty() const { return lastIndex_ < 0; }
  int lastIndex() const { return lastIndex_; }
  int page() const { return page_; }
  int position() const { return position_; }  // on the page
  int index() const { return page_ * pageSize_ + position_; }
  int firstOnPage() const { return page_ * pageSize_; }

  // Moves by `delta` entries; a move past either end stops on the last or
  // the first entry. True when the page changed (the caller draws it).
  bool move(int delta);

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

#include "addressbook/paging.h"

#include <algorithm>

#include "console/console.h"
#include "platform/textfile.h"
#include "text/format.h"

namespace zazir {

std::optional<std::string> readListFile(Console& console, const std::string& path,
                                        Attribute attribute, std::string_view notice) {
  std::optional<std::string> bytes = readBinaryFile(path);
  if (bytes) return bytes;
  console.setCursor(0, 22);
  console.setAttribute(attribute);
  console.writeText(notice);
  console.setNormal();
  console.getKey();
  console.clearScreen();
  return std::nullopt;
}

bool PagedCursor::move(int delta) {
  const int index = std::max(std::min(this->index() + delta, lastIndex_), 0);
  const int page = index / pageSize_;
  position_ = index % pageSize_;
  if (page == page_) return false;
  page_ = page;
  return true;
}

std::string PagedCursor::pagePosition() const {
  const int lastPage = empty() ? 0 : lastIndex_ / pageSize_;
  if (page_ == 0) return "Top";
  if (page_ == lastPage) return "Bottom";
  return formatText("%i%%", page_ * 100 / lastPage);
}

}  // namespace zazir

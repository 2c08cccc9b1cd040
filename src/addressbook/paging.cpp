#include "addressbook/paging.h"

#include "console/format.h"

namespace zazir {

std::string pagePosition(int page, int lastPage) {
  if (page == 0) return "Top";
  if (page == lastPage) return "Bottom";
  return formatText("%i%%", page * 100 / lastPage);
}

int clampListIndex(int index, int lastIndex) {
  if (index > lastIndex) index = lastIndex;
  return index < 0 ? 0 : index;
}

}  // namespace zazir

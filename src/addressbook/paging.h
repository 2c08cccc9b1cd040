// What the paged address book lists share: the position text of the status
// bar and bringing a moved cursor back into the list.
#pragma once

#include <string>

namespace zazir {

// "Top" on the first page, "Bottom" on the last, else how far the page is
// through the list ("%i%%").
std::string pagePosition(int page, int lastPage);

// An absolute index moved past either end of a list of lastIndex + 1
// entries stops on its last or first entry (0 for an empty list).
int clampListIndex(int index, int lastIndex);

}  // namespace zazir

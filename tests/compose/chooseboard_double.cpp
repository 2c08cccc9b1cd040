// Stands in for the board list until it is built: Esc leaves, a digit
// chooses that board.
#include "console/keys.h"
#include "driver/app.h"
#include "driver/lists.h"

namespace zazir {

int chooseBoard(App& app, const std::vector<BoardEntry>& boards) {
  const int key = app.console.getKey();
  if (key < '0' || key - '0' >= static_cast<int>(boards.size())) return -1;
  return key - '0';
}

}  // namespace zazir

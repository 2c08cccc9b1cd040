// Every screen's keys by the screen's name, in one place: what the help
// boxes are made of, for checking against what the README and the man
// page tell of each screen.
#pragma once

#include <string_view>
#include <vector>

#include "console/keymap.h"

namespace zazir {

struct ScreenKeys {
  std::string_view screen;
  KeyRows keys;
};

std::vector<ScreenKeys> everyScreensKeys();

}  // namespace zazir

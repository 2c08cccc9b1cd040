#include "services/hostanswer.h"

#include "console/dialogs.h"
#include "formats/hostfields.h"

namespace zazir {

std::string promptHostAnswer(Console& console, std::string_view message,
                             std::string_view proposal) {
  std::string offered = hostAnswer(proposal);
  while (true) {
    std::string typed = promptBox(console, message, offered);
    if (typed.empty()) return typed;
    offered = hostAnswer(typed);
    if (isBlankAnswer(offered)) offered.clear();
    if (offered == typed) return typed;
    console.bell();
  }
}

}  // namespace zazir

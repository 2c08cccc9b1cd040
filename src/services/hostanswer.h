// The prompt for a value that goes to the host: what the user accepts is
// byte for byte what the command carries.
#pragma once

#include <string>
#include <string_view>

namespace zazir {

class Console;

// promptBox for an answer to one of the host's prompts (a title, a file
// name, a chat or Notewall line). The proposal (often from the log) is
// offered as the host will read it (hostAnswer). An answer that the host
// would read otherwise is offered again so made, with the bell, and one of
// blanks only again empty; Enter then takes it. Empty: cancelled.
std::string promptHostAnswer(Console& console, std::string_view message,
                             std::string_view proposal = {});

}  // namespace zazir

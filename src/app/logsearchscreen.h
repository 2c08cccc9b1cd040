// The log chooser's search: every log it lists looked through for a text
// as `zazir --search` looks (the same scan, the same folding), the hits
// listed with the log each is in. Return reads a hit in its log, opened as
// choosing it would open it, and comes back to the list.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/logsession.h"
#include "chooser/chooser.h"

namespace zazir {

class Console;

// Opens a log to read a hit in.
using SessionOpener = std::function<std::unique_ptr<LogSession>(const ChosenLog& log)>;

// Asks for the text and runs the list of hits until the user leaves it.
// Only the number of hits in each log is kept: a page is found again in
// the logs it lies in.
void searchListedLogs(Console& console, const std::vector<ChosenLog>& logs,
                      const SessionOpener& open);

}  // namespace zazir

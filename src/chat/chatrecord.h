// Copying the new chat lines of the log into the per-board back-log files
// at start-up.
#pragma once

#include <string>

namespace zazir {

struct App;
class Console;

// Asks whether the chat lines of the log at `logPath` may be recorded into
// the back-log files: true for yes.
bool askToRecordChat(Console& console, const std::string& logPath);

// Applies LINECHAT_QUOTE at start-up: records, asks first, or leaves the
// back-log files alone.
void applyLineChatPolicy(App& app);

// Appends the new lines of every chat board that has some to the board's
// back-log file (named as the board, in the current directory).
void recordChatBackLogs(App& app);

}  // namespace zazir

// The one-line chat and the Notewall: copying the new chat lines of the log
// into the per-board back-log files at start-up, and the loops that post
// and reply through the upload file.
#pragma once

#include <string>
#include <string_view>

namespace zazir {

struct App;

// Asks whether the chat lines of the log may be recorded into the back-log
// files: true for yes.
bool askToRecordChat(App& app);

// Applies LINECHAT_QUOTE at start-up: records, asks first, or leaves the
// back-log files alone.
void applyLineChatPolicy(App& app);

// Appends the new lines of every chat board that has some to the board's
// back-log file (named as the board, in the current directory).
void recordChatBackLogs(App& app);

// The chat board list, its line lists, posts and replies; returns when the
// user leaves the chat board list.
void runChatLoop(App& app);

// The Notewall list with its posts and replies; returns when the user
// leaves the list.
void runNotewallLoop(App& app);

// Asks for one Notewall post and appends it to the upload file.
void postToNotewall(App& app);

// Whom a reply addresses: the chosen line cut at its first blank, then at
// its first ':'.
std::string replyName(std::string_view line);

}  // namespace zazir

// The one-line chat and the Notewall: the loops that post and reply
// through the upload file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zazir {

struct App;
struct ListPositions;

// The chat board list, its line lists, posts and replies; returns when the
// user leaves the chat board list. Each list opens and is left as `lists`
// keeps it.
void runChatLoop(App& app, ListPositions& lists);

// The chat line list of chat board `board` with its posts and replies,
// opening first on line `openAt` when asked; returns when the user leaves
// the list.
void runChatBoard(App& app, ListPositions& lists, int board, std::optional<int> openAt = {});

// The Notewall list with its posts and replies, opening first on line
// `openAt` (from 0) when asked; returns when the user leaves the list.
void runNotewallLoop(App& app, ListPositions& lists, std::optional<int> openAt = {});

// Asks for one Notewall post and appends it to the upload file.
void postToNotewall(App& app);

// Whom a reply addresses: the chosen line cut at its first blank, then at
// its first ':'.
std::string replyName(std::string_view line);

}  // namespace zazir

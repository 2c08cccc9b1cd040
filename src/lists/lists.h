// The lists built on the list screen: the board list, the chat board list,
// the chat line list and the Notewall list; and the list screen with the
// upload file one key away, as every list of the program has it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/listview.h"
#include "formats/logindex.h"
#include "marks/readmarks.h"

namespace zazir {

struct App;

// The list screen (chooseRow) with the upload file one key away, until a
// row is chosen or the user leaves.
ListChoice chooseFromList(App& app, ListScreen& list, ListLook look = {});

// What was picked from a list, and by which key (Choose, Write or Reply).
template <typename T>
struct Picked {
  T value;
  ListAction action = ListAction::Choose;
};

// The board list over `boards`, the message boards or the file boards
// (`section`): the chosen index, or none. Uses and updates the remembered
// board list position. A board whose items are known to the read marks
// shows how many are unread after its label, where the row has room.
std::optional<Picked<int>> chooseBoard(App& app, const std::vector<BoardEntry>& boards,
                                       MarkSection section);

// The row of a board in the board list: its label and, after it when the
// row has room, `unread` of its `items` (none: not known).
std::string boardRow(const std::string& label, std::optional<int> unread, int items);

// The chat board list: the chosen index into app.index.chatBoards, or none.
std::optional<int> chooseChatBoard(App& app);

// The chat line list of chat board `board` (from its back-log file),
// opening on line `openAt` when asked: the chosen line with its line end,
// or none.
std::optional<Picked<std::string>> chooseChatLine(App& app, int board,
                                                  std::optional<int> openAt = {});

// The Notewall list (from the log), opening on line `openAt` when asked
// (else on its first page): the chosen line with its line end, or none.
std::optional<Picked<std::string>> chooseNotewallLine(App& app, std::optional<int> openAt = {});

// Where the chat line `line` of the log stands in the back-log of chat
// board `board` (a line of its list, from 0); none when it is not there.
std::optional<int> backLogLineOf(App& app, int board, std::string_view line);

}  // namespace zazir

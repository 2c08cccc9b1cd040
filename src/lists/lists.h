// The lists built on the list screen: the board list, the chat board list,
// the chat line list and the Notewall list; and the list screen with the
// upload file one key away, as every list of the program has it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/listview.h"
#include "formats/logindex.h"

namespace zazir {

struct App;

// The list screen (selectListRow) until a row is chosen, the user leaves,
// a page is turned or (with Resizes::Report) the terminal's size changes:
// "F" opens the upload file and comes back to the same row, help comes
// back to `startRow`. Never gives ViewUploadFile or HelpShown.
ListChoice chooseFromList(App& app, std::span<const std::string> rows, int startRow, int lastRow,
                          int rowOffset = 0, Resizes resizes = Resizes::Absorb);

// What was picked from a list, and by which key (Choose, Write or Reply).
template <typename T>
struct Picked {
  T value;
  ListAction action = ListAction::Choose;
};

// The board list over `boards` (message boards or file boards): the
// chosen index, or none. Uses and updates the remembered board list
// position.
std::optional<Picked<int>> chooseBoard(App& app, const std::vector<BoardEntry>& boards);

// The chat board list: the chosen index into app.index.chatBoards, or none.
std::optional<int> chooseChatBoard(App& app);

// The chat line list of chat board `board` (from its back-log file): the
// chosen line with its line end, or none.
std::optional<Picked<std::string>> chooseChatLine(App& app, int board);

// The Notewall list (from the log): the chosen line with its line end, or
// none.
std::optional<Picked<std::string>> chooseNotewallLine(App& app);

}  // namespace zazir

// The list screen every choice is made on, and the lists built on it: the
// main menu, the board list, the chat board list, the chat line list and
// the Notewall list.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "formats/logindex.h"

namespace zazir {

struct App;

// Results of selectListRow other than a row (0..22).
inline constexpr int kListLeave = -1;
inline constexpr int kListPageBack = -2;
inline constexpr int kListPageForward = -3;
inline constexpr int kListHelpShown = -4;

// Rows 0..22 are shown; row 23 exists so that callers can empty 24 rows.
using ListRows = std::array<std::string, 24>;

// Shows `rows` under the title bar (row k on screen row rowOffset + 1 + k)
// with row `startRow` highlighted, and returns the chosen row or one of the
// results above. Sets app.state.actionKey.
int selectListRow(App& app, const ListRows& rows, int startRow, int lastRow, int rowOffset = 0);

// For a paged list: after selectListRow returned `result` (page back, page
// forward or help), moves `page` within 0..lastPage and gives the row the
// page is shown again with.
int turnListPage(int result, int& page, int lastPage, int startRow);

// The board list over `boards` (message boards or file boards): the chosen
// index, or -1. Uses and updates the remembered board list position.
int chooseBoard(App& app, const std::vector<BoardEntry>& boards);

// The chat board list: the chosen index into app.index.chatBoards, or -1.
int chooseChatBoard(App& app);

// The chat line list of chat board `board` (from its back-log file): the
// chosen line with its line end, or none.
std::optional<std::string> chooseChatLine(App& app, int board);

// The Notewall list (from the log): the chosen line with its line end, or
// none.
std::optional<std::string> chooseNotewallLine(App& app);

}  // namespace zazir

// --list: one tab-separated line per part of each log, as the main menu
// and the board lists count them, under a line naming the fields.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

// The title of a board from its listing line (or a label cut from it):
// after the name, up to the leader of half-width dots, without blanks at
// either end.
std::string_view boardTitle(std::string_view line, std::string_view name);

// Lists the logs (or directories of logs) `args`. Returns the exit status:
// 1 when they hold nothing to export, 50 when one cannot be read.
int runList(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace zazir

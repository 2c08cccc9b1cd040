// The new lines of a one-line chat board as the log holds them: below the
// board's listing line one line, the count line "新しいメッセージが N 個あ
// ります。", one line, then up to N chat lines ended by an empty line.
#pragma once

#include <functional>
#include <string_view>

#include "driver/logindex.h"
#include "platform/linestream.h"

namespace zazir {

// Takes one chat line (without its line end) and where it starts; false
// stops the walk.
using ChatLineTaker = std::function<bool(LogOffset start, std::string_view line)>;

// Walks the new lines of chat board `board` of `index`; nothing for a board
// without new lines.
void forEachNewChatLine(LineStream& log, const LogIndex& index, int board,
                        const ChatLineTaker& take);

}  // namespace zazir

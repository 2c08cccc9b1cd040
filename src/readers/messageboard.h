// The message board reader: the messages of one board, one per screen,
// straight out of the log, with the keys that write, reply and move on.
#pragma once

#include <cstddef>

namespace zazir {

struct App;

// At most this many messages are marked for the batch reply.
inline constexpr std::size_t kMaxReplyMarks = 20;

// Runs the reader on message board `board` until the user leaves. A board
// without messages is told with message box 1.
void readMessageBoard(App& app, int board);

}  // namespace zazir

// The message board reader: the messages of one board, one per screen,
// straight out of the log, with the keys that write, reply and move on.
#pragma once

#include <cstddef>
#include <optional>

#include "readers/place.h"
#include "console/keymap.h"

namespace zazir {

struct App;
struct LastSearch;
struct ListPositions;

// At most this many messages are marked for the batch reply.
inline constexpr std::size_t kMaxReplyMarks = 20;

// Runs the reader on message board `board` until the user leaves, opening
// as asked (by default on the first message). A board without messages is
// told with message box 1. Gives the place Tab left for, when it left for
// another board or the mail. The moved reply's board list keeps its place
// in `lists`.
std::optional<ReaderPlace> readMessageBoard(App& app, LastSearch& last, ListPositions& lists,
                                            int board, const ReaderOpening& opening = {});

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows messageBoardKeyRows();

}  // namespace zazir

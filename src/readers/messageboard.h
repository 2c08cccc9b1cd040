// The message board reader: the messages of one board, one per screen,
// straight out of the log, with the keys that write, reply and move on.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "formats/boardlog.h"
#include "platform/linestream.h"

namespace zazir {

struct App;
class Console;

// At most this many messages are marked for the batch reply.
inline constexpr std::size_t kMaxReplyMarks = 20;

// What the reader holds while it is open on one board.
struct MessageBoardReader {
  int board = 0;                           // index into app.index.messageBoards
  std::vector<LogOffset> messageOffsets;   // each message's "Message  #" line
  int currentMessage = 0;                  // the message on screen
  std::array<std::string, 3> headerLines;  // of the current message, cleaned up
  std::vector<std::string> lineStore;      // its body lines
  int topLine = 0;                         // first body line shown
  std::vector<int> replyMarks;             // marked messages, in marking order

  int lastMessage() const { return static_cast<int>(messageOffsets.size()) - 1; }
  int lineCount() const { return static_cast<int>(lineStore.size()); }
};

// Runs the reader on message board `board` until the user leaves. A board
// without messages is told with message box 1.
void readMessageBoard(App& app, int board);

// Indexes the board's messages into `reader.messageOffsets`;
// false when it has none before its first stop line.
bool indexMessageBoard(App& app, MessageBoardReader& reader);

// Indexes the board again after an action that ran the editor or another
// screen, and loads the current message anew from its first body line. The
// current message and the marks stay. False when the board has no
// messages any more (told with message box 1).
bool reindexMessageBoard(App& app, MessageBoardReader& reader);

// Loads the current message (header and body lines) from the log, shown
// from its first body line; clears the screen.
void loadMessage(App& app, MessageBoardReader& reader);

// Draws the whole reader screen from what it holds.
void drawMessageBoard(Console& console, const MessageBoardReader& reader);

// Where message `message` ends: the next message, else the next board's
// listing line, else -1 (the end of the log).
LogOffset messageEndOffset(const App& app, const MessageBoardReader& reader, int message);

// What a reply takes from message `message`, read again from the log.
AnsweredMessage answeredMessage(App& app, const MessageBoardReader& reader, int message);

bool isMarked(const MessageBoardReader& reader, int message);

// "M": marks the current message for the batch reply, or unmarks it (the
// later marks keep their order). A 21st mark is refused with the bell.
void toggleReplyMark(Console& console, MessageBoardReader& reader);

// "C": with no marks, the bell and message box 4, and false. Otherwise the
// marked messages are answered in one new post, the marks are emptied and
// the result is true: the caller re-indexes. False also when the temporary
// file cannot be written (told on screen; the marks stay).
bool answerMarked(App& app, MessageBoardReader& reader);

}  // namespace zazir

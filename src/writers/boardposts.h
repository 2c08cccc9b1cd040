// The board writers: a new post, a file upload, a reply on the same board,
// a reply moved to another board and the post of a batch reply. Each asks
// its questions, prepares the temporary file, runs the composition and
// appends its command to the upload file. The caller redraws its screen
// afterwards.
#pragma once

#include <string_view>

#include "formats/boardlog.h"
#include "formats/logindex.h"

namespace zazir {

struct App;
struct ListPositions;

// A new post on message board `board`, its text started empty.
void writeNewPost(App& app, const BoardEntry& board);

// The new post of a batch reply: its text starts as `quotes`, and `title`
// is offered in the title prompt. False only when the temporary file could
// not be made (told on screen).
bool writeBatchPost(App& app, const BoardEntry& board, std::string_view quotes,
                    std::string_view title);

// A file upload to file board `fileBoard`; the text is the file's
// description.
void writeUpload(App& app, const BoardEntry& fileBoard);

// A reply to `message` on its own board.
void writeReply(App& app, const AnsweredMessage& message);

// The same message answered on another message board chosen from the
// board list, which opens and is left as `lists` keeps it.
void writeMovedReply(App& app, ListPositions& lists, const AnsweredMessage& message);

}  // namespace zazir

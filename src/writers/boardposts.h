// The four board writers: a new post, a file upload, a reply on the same
// board and a reply moved to another board. Each asks its questions,
// prepares the temporary file, runs the composition and appends its
// command to the upload file. The caller redraws its screen afterwards.
#pragma once

#include <string_view>

#include "platform/linestream.h"

namespace zazir {

struct App;

// A new post on message board `board`. Its text starts as `prepared` (the
// batch reply's quotations), empty for a new text. `proposedTitle` is
// offered in the title prompt. False only when the temporary file could
// not be made (told on screen).
bool writeNewPost(App& app, int board, std::string_view prepared, std::string_view proposedTitle);

// A file upload to file board `fileBoard`; the text is the file's
// description.
void writeUpload(App& app, int fileBoard);

// A reply to the message of board `board` that starts at `start` and ends
// at `end` (-1: no end offset), by the poster `handle`.
void writeReply(App& app, int board, LogOffset start, LogOffset end, std::string_view handle);

// The same message answered on another message board chosen from the
// board list.
void writeMovedReply(App& app, int board, LogOffset start, LogOffset end, std::string_view handle);

}  // namespace zazir

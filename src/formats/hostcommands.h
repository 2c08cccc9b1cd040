// Every command ZAZIR writes to the upload file: the host's own keystrokes,
// for the terminal program to replay at the next visit. Lines end in "\n"
// (the upload file is written in text mode); the texts are CP932 as typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/runstate.h"

namespace zazir {

// A new post on a message board; its text follows (composedCommand). A
// reply that takes a new title is a new post on the same board.
std::string newPostCommand(int boardNumber, std::string_view title);

// A reply that keeps the title of message `messageNumber`.
std::string replyCommand(int boardNumber, int messageNumber);

// A reply moved to another board: a new post on the target board.
std::string movedReplyCommand(int targetBoardNumber, std::string_view title);

// A file upload to a file board; the file's description follows.
std::string uploadCommand(int fileBoardNumber, std::string_view fileName, std::string_view title);

// A mail to `recipients` (IDs joined by ";").
std::string mailCommand(std::string_view recipients, std::string_view title);

// One line on a chat board, and one on the Notewall: whole commands.
std::string chatLineCommand(int boardNumber, std::string_view line);
std::string notewallLineCommand(std::string_view line);

// A command that carries a composed text: its first lines, the text, and
// the end of the text ("//" on a line of its own, then "S" to send).
std::string composedCommand(std::string_view firstLines, std::string_view text);

// The download batch of the quit: marks sorted by board, groups of at most
// ten files per board.
std::string downloadBatch(std::vector<DownloadMark> marks);

}  // namespace zazir

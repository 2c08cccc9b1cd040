// The layout of a board's part of the log, as the readers and the board
// writers rely on it: where messages and file entries start, where the
// part stops, and what the first and third header lines of a message hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/article.h"
#include "formats/logindex.h"

namespace zazir {

// A message begins with a line that begins with this (two blanks).
inline constexpr std::string_view kMessageStart = "Message  #";

// As the readers show a message or a file entry: a body line holds at most
// kBodyLineBytes bytes (a longer log line goes on in the next), and at most
// kMaxBodyLines of them are shown.
inline constexpr std::size_t kBodyLineBytes = 77;
inline constexpr std::size_t kMaxBodyLines = 512;

bool isMessageStart(std::string_view line);

// A line that ends a board's messages: "*CH" at its start, or '0', '0' and
// a ':' as its fifth character (the host's prompt lines).
bool isStopLine(std::string_view line);

// Where a message ends as the reader shows it, told by the line alone: a
// stop line or the next message's first line.
bool isMessageEnd(std::string_view line);

// The number after "Message  #", read as decimal ("0012" is 12).
int messageNumber(std::string_view firstLine);

// The poster handle of a message: from byte 24 of the first 79 bytes of its
// first line, blanks skipped, then the word there and the one blank after
// it; what is left, cleaned up. Further blanks stay at its start.
std::string posterHandle(std::string_view firstLine);

// The poster's ID: the word after "from:" in a message's first line, or
// the first word from byte 24 (where posterHandle looks) when there is none;
// a TAB ends it as a blank does.
std::string_view posterId(std::string_view firstLine);

// The message title: the third header line from byte 6, at most 79 bytes.
std::string messageTitle(std::string_view thirdHeaderLine);

// The file number of a file board's entry line: its first three
// characters read as a decimal number greater than 0, with ':' as the
// fourth ("001:" is 1, "  7:" is 7). 0 for any other line ("000:", "1234:").
int entryFileNumber(std::string_view line);

// Only "*CH" ends a file board's part; the host's prompt lines do not.
bool endsFileBoard(std::string_view line);

// Where the part of board `board` of `boards` ends: the next board's
// listing line, or -1 for the last board (the end of the log).
LogOffset boardEndOffset(const std::vector<BoardEntry>& boards, int board);

// The messages or file entries of one board: where each starts, and where
// the board's part of the log ends.
struct BoardPieces {
  std::vector<LogOffset> starts;
  LogOffset boardEnd = -1;  // -1: the end of the log

  int count() const { return static_cast<int>(starts.size()); }
  // Where piece `n` ends: the next piece, else the board's end.
  LogOffset end(int n) const {
    const auto next = static_cast<std::size_t>(n) + 1;
    return next < starts.size() ? starts[next] : boardEnd;
  }
};

// The messages of message board `board` of `boards`: each "Message  #"
// line after its listing line, up to the board's end or its first stop
// line. Lines are read in pieces of at most kLineLimit bytes, as the
// search's walk of a board reads them.
BoardPieces indexMessages(LineStream& log, const std::vector<BoardEntry>& boards, int board);

// The file entries of file board `board` of `boards`: each entry line up
// to the board's end or a "*CH" line.
BoardPieces indexFileEntries(LineStream& log, const std::vector<BoardEntry>& boards, int board);

// A message as the reader shows it: three header lines, the body up to
// the next message or a stop line.
const ArticleLayout& messageLayout();
// A file entry: its entry line, the body up to a "*CH" line.
const ArticleLayout& fileEntryLayout();

// A message answered, as the writers take it: where it stands in the log
// and what a reply names of it.
struct AnsweredMessage {
  std::int32_t boardNumber = 0;  // the host's number of its board
  std::string boardName;
  LogOffset start = 0;  // its "Message  #" line
  LogOffset end = -1;   // the next message or board; -1: the end of the log
  std::string handle;   // the poster's (posterHandle)
  int number = 0;       // 0 when the first line has none
  std::string title;    // messageTitle
};

// Reads what a reply names of the message of `board` that runs from
// `start` to `end`: its first and third header lines.
AnsweredMessage readAnsweredMessage(LineStream& log, const BoardEntry& board, LogOffset start,
                                    LogOffset end);

}  // namespace zazir

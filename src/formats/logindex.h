// The index of the communication log: byte offsets of every mail, board
// listing line, chat board content and the Notewall, with the short texts
// the lists show. Built once at start-up; never changed afterwards.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linestream.h"

namespace zazir {

struct BoardEntry {
  LogOffset listOffset = 0;  // start of the listing line (and of the board's part)
  std::int32_t number = 0;   // the host's board number
  std::string name;          // the word from column 6 of the listing line
  std::string label;         // what the board list shows
};

struct ChatBoardEntry {
  std::string name;         // "#" included; also its back-log file's name (at most 12 bytes)
  std::uint8_t hasNew = 0;  // 0 for "未読なし" / "No messages found"
  std::int32_t number = 0;  // the host's board number
  std::string label;        // the listing line cut to 48 bytes, leader trimmed
};

struct MailEntry {
  LogOffset headerOffset = 0;  // the "Private Message is from:" line
  std::string senderId;        // at most 19 bytes
  std::string senderName;      // at most 29 bytes
  std::string title;           // at most 79 bytes
  std::string timeText;        // at most 9 bytes
  std::string dateText;        // at most 9 bytes
};

struct LogIndex {
  std::vector<BoardEntry> messageBoards;
  std::vector<BoardEntry> fileBoards;
  std::vector<ChatBoardEntry> chatBoards;
  std::vector<LogOffset> chatContentOffset;  // per chat board: the line after its listing line
  std::deque<MailEntry> mails;  // grows by blocks: no copy of the table while indexing
  LogOffset notewallOffset = -1;  // -1: the log has no Notewall heading

  int messageBoardCount() const { return static_cast<int>(messageBoards.size()); }
  int fileBoardCount() const { return static_cast<int>(fileBoards.size()); }
  int chatBoardCount() const { return static_cast<int>(chatBoards.size()); }
  int mailCount() const { return static_cast<int>(mails.size()); }
};

// The chat board list has one page: more chat boards than this are not
// indexed.
inline constexpr int kMaxChatBoards = 23;

// A board's listing line (cleaned up): a number, ":" at column 4 and one of
// the four statuses at column 49, in fewer than 80 bytes.
bool isListingLine(std::string_view line);

// A line (cleaned up) that the index takes as the start of a part: a
// board's listing line, a mail's first header line or the Notewall heading.
bool startsAPart(std::string_view line);

// How much of a file's start tells whether it is a log.
inline constexpr std::size_t kCaptureHeadBytes = 64 * 1024;

// Whether `head`, the first bytes of a file, reads as the capture of a
// visit: a line after the first is a board's listing line or the Notewall
// heading, or a mail's first header line is followed by the host's question
// whether to delete it. A visit opens with the host's greeting; a file that
// begins with a part, a message, a file entry or a command of the upload
// file is what the program writes (the mail log, whose last mail may run on
// to the end of a log; a cut file; the upload file, whose texts may name
// the Notewall), and a saved mail never holds the delete question.
bool readsAsCapture(std::string_view head);

// One pass over the log from its start, which replaces whatever `index`
// held. Leaves the log at its end. A failure to allocate throws
// std::bad_alloc and leaves the index part-filled.
void indexLog(LineStream& log, LogIndex& index);

// The same pass in steps, so that it can read the blocks another scan of
// the log has just read: after indexTo(limit) the index holds every part
// that starts before `limit`, as indexLog would have.
class LogIndexer {
 public:
  // Empties `index` and starts at the log's start.
  LogIndexer(LineStream& log, LogIndex& index);
  void indexTo(LogOffset limit);
  // Whether the log's end was reached: the index is whole.
  bool finished() const { return finished_; }

 private:
  bool take(LogOffset start, std::string_view raw);
  bool mayMatch(std::string_view raw) const;
  bool addBoard(LogOffset start, std::string_view line);
  void addChatBoard(std::string_view name, std::string_view status, int number,
                    std::string_view line);
  bool skipToCountLine(std::string& label);
  bool addMail(LogOffset start, std::string_view line);

  LineStream& log_;
  LogIndex& index_;
  bool finished_ = false;
  bool fileBoardMode_ = false;
  char notewallLead_;
  std::string clean_;  // a cleaned line that needed a copy
  std::string title_;  // the last mail's title line, cleaned
};

}  // namespace zazir

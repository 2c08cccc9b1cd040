#include "formats/boardlog.h"

#include <algorithm>

#include "formats/loglines.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

namespace {
constexpr std::size_t kFieldBytes = 79;
constexpr std::size_t kHandleColumn = 24;
constexpr std::size_t kTitleColumn = 6;
constexpr std::size_t kNumberWidth = 3;
}  // namespace

bool isMessageStart(std::string_view line) {
  return startsWith(line, kMessageStart);
}

bool isStopLine(std::string_view line) {
  if (endsFileBoard(line)) return true;
  return line.size() >= 5 && line[0] == '0' && line[1] == '0' && line[4] == ':';
}

bool isMessageEnd(std::string_view line) {
  return isStopLine(line) || isMessageStart(line);
}

int messageNumber(std::string_view firstLine) {
  if (!isMessageStart(firstLine)) return 0;
  return parseDecimal(firstLine.substr(kMessageStart.size()));
}

std::string posterHandle(std::string_view firstLine) {
  const std::string_view line = cutToBytes(firstLine, kFieldBytes);
  std::size_t at = kHandleColumn;
  if (at >= line.size()) return {};
  while (at < line.size() && line[at] == ' ') ++at;
  while (at < line.size() && line[at] != ' ' && line[at] != '\n') ++at;
  if (at < line.size() && line[at] == ' ') ++at;
  std::string handle(line.substr(at));
  stripLineEnd(handle);
  return handle;
}

std::string_view posterId(std::string_view firstLine) {
  const std::string_view line = withoutLineEnd(firstLine);
  const std::size_t from = line.find("from:");
  std::string_view rest =
      line.substr(std::min(from == std::string_view::npos ? kHandleColumn : from + 5, line.size()));
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return rest.substr(0, rest.find_first_of(" \t"));
}

std::string messageTitle(std::string_view thirdHeaderLine) {
  std::string line(thirdHeaderLine);
  stripLineEnd(line);
  if (line.size() <= kTitleColumn) return {};
  return std::string(cutToBytes(std::string_view(line).substr(kTitleColumn), kFieldBytes));
}

int entryFileNumber(std::string_view line) {
  if (line.size() <= kNumberWidth || line[kNumberWidth] != ':') return 0;
  return std::max(parseDecimal(line.substr(0, kNumberWidth)), 0);
}

bool endsFileBoard(std::string_view line) {
  return startsWith(line, "*CH");
}

LogOffset boardEndOffset(const std::vector<BoardEntry>& boards, int board) {
  const std::size_t next = static_cast<std::size_t>(board) + 1;
  return next < boards.size() ? boards[next].listOffset : -1;
}

BoardPieces indexMessages(LineStream& log, const std::vector<BoardEntry>& boards, int board) {
  BoardPieces messages{{}, boardEndOffset(boards, board)};
  log.seek(boards[static_cast<std::size_t>(board)].listOffset);
  std::string line;
  log.readLine(line);  // the listing line
  while (true) {
    const LogOffset start = log.tell();
    if (!log.readLine(line)) break;
    stripLineEnd(line);
    if (isStopLine(line)) break;
    if (messages.boardEnd >= 0 && log.tell() >= messages.boardEnd) break;
    if (isMessageStart(line)) messages.starts.push_back(start);
  }
  return messages;
}

BoardPieces indexFileEntries(LineStream& log, const std::vector<BoardEntry>& boards, int board) {
  BoardPieces entries{{}, boardEndOffset(boards, board)};
  log.seek(boards[static_cast<std::size_t>(board)].listOffset);
  std::string line;
  while (true) {
    const LogOffset start = log.tell();
    if (!log.readLine(line)) break;
    stripLineEnd(line);
    if (endsFileBoard(line)) break;
    // The line that ends at the next board's listing line is still this
    // board's: an entry without a description may stand there, and left
    // out it could be neither read nor marked.
    const bool lastLine = entries.boardEnd >= 0 && log.tell() >= entries.boardEnd;
    if (entryFileNumber(line) > 0 && (!lastLine || log.tell() == entries.boardEnd)) {
      entries.starts.push_back(start);
    }
    if (lastLine) break;
  }
  return entries;
}

const ArticleLayout& messageLayout() {
  static const ArticleLayout layout{3, kReaderLineBytes, false, isMessageEnd};
  return layout;
}

const ArticleLayout& fileEntryLayout() {
  static const ArticleLayout layout{1, kReaderLineBytes, false, endsFileBoard};
  return layout;
}

AnsweredMessage readAnsweredMessage(LineStream& log, const BoardEntry& board, LogOffset start,
                                    LogOffset end) {
  AnsweredMessage message;
  message.boardNumber = board.number;
  message.boardName = board.name;
  message.start = start;
  message.end = end;
  log.seek(start);
  std::string line;
  log.readLine(line);
  message.number = messageNumber(line);
  message.handle = posterHandle(line);
  log.readLine(line);
  log.readLine(line);
  message.title = messageTitle(line);
  return message;
}

}  // namespace zazir

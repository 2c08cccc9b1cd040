#include "formats/chatlog.h"

#include <memory>
#include <vector>

#include "formats/loglines.h"
#include "platform/encoding.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// Copies every line when the count line cannot be read.
constexpr int kCountUnknown = 32767;
// A longer chat line is cut (on a character boundary), and a board's run
// of new lines ends before it grows past kRunBytes.
constexpr std::size_t kChatLineBytes = kLineLimit;
constexpr std::size_t kRunBytes = 8 << 20;

// The N of "新しいメッセージが N 個あります。", or kCountUnknown.
int newMessageCount(std::string_view line) {
  const std::string& lead = "新しいメッセージが"_sj;
  if (!startsWith(line, lead)) return kCountUnknown;
  std::string_view rest = line.substr(lead.size());
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  const std::size_t digitsAt = !rest.empty() && (rest.front() == '+' || rest.front() == '-');
  if (rest.size() <= digitsAt || !isDigitChar(rest[digitsAt])) return kCountUnknown;
  const int count = parseDecimal(rest);
  return count < 1 ? kCountUnknown : count;
}

// The next line of a board's chat content, without its line end; false
// where the content ends: at `end`, at a listing line or at the log's end.
bool readContentLine(LineStream& log, LogOffset end, std::string& line) {
  if (end >= 0 && log.tell() >= end) return false;
  if (!readWholeLine(log, line, kChatLineBytes)) return false;
  line.resize(withoutLineEnd(line).size());
  std::string cleaned = line;
  stripLineEnd(cleaned);
  return !isListingLine(cleaned);
}

}  // namespace

LogOffset nextIndexedOffset(const LogIndex& index, LogOffset from) {
  LogOffset next = -1;
  const auto consider = [&](LogOffset at) {
    if (at > from && (next < 0 || at < next)) next = at;
  };
  for (const BoardEntry& board : index.messageBoards) consider(board.listOffset);
  for (const BoardEntry& board : index.fileBoards) consider(board.listOffset);
  for (const LogOffset at : index.chatContentOffset) consider(at);
  for (const MailEntry& mail : index.mails) consider(mail.headerOffset);
  consider(index.notewallOffset);
  return next;
}

ChatLineCursor firstNewChatLine(LineStream& log, const LogIndex& index, int board) {
  ChatLineCursor at;
  if (board < 0 || board >= index.chatBoardCount() || !index.chatBoards[board].hasNew ||
      board >= static_cast<int>(index.chatContentOffset.size())) {
    return at;
  }
  const LogOffset contentOffset = index.chatContentOffset[board];
  at.end = nextIndexedOffset(index, contentOffset);
  std::string line;
  log.seek(contentOffset);
  if (!readContentLine(log, at.end, line) || !readContentLine(log, at.end, line)) return at;
  at.left = newMessageCount(line);
  if (!readContentLine(log, at.end, line)) return at;
  at.next = log.tell();
  return at;
}

bool readNewChatLine(LineStream& log, ChatLineCursor& at, LogOffset& start, std::string& line) {
  if (at.next < 0 || at.left <= 0) return false;
  log.seek(at.next);
  start = at.next;
  at.next = -1;
  if (!readContentLine(log, at.end, line)) return false;
  // An empty line ends the chat lines, and so does one that begins with
  // a CR: kept, it would end the back-log's list for good.
  if (line.empty() || line.front() == '\r') return false;
  --at.left;
  at.next = log.tell();
  return true;
}

void forEachNewChatLine(LineStream& log, const LogIndex& index, int board,
                        const ChatLineTaker& take) {
  ChatLineCursor at = firstNewChatLine(log, index, board);
  LogOffset start = 0;
  std::string line;
  while (readNewChatLine(log, at, start, line)) {
    if (!take(start, line)) return;
  }
}

std::string newChatLines(LineStream& log, const LogIndex& index, int board) {
  std::string copied;
  forEachNewChatLine(log, index, board, [&](LogOffset, std::string_view line) {
    if (copied.size() + line.size() + 1 > kRunBytes) return false;
    copied += line;
    copied += '\n';
    return true;
  });
  return copied;
}

bool backLogHolds(const std::string& name, std::string_view run) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < run.size();) {
    const std::size_t end = run.find('\n', at);
    lines.push_back(run.substr(at, end - at));
    at = end + 1;
  }
  // Where to go on after a mismatch, as string searching does it.
  std::vector<std::size_t> fallback(lines.size(), 0);
  for (std::size_t i = 1, k = 0; i < lines.size(); ++i) {
    while (k > 0 && lines[i] != lines[k]) k = fallback[k - 1];
    if (lines[i] == lines[k]) ++k;
    fallback[i] = k;
  }
  const std::unique_ptr<FileLineStream> backLog = FileLineStream::open(toOsName(name));
  if (!backLog || lines.empty()) return false;
  std::size_t matched = 0;
  std::string line;
  while (readWholeLine(*backLog, line, kChatLineBytes)) {
    const std::string_view text = withoutLineEnd(line);
    while (matched > 0 && text != lines[matched]) matched = fallback[matched - 1];
    if (text == lines[matched] && ++matched == lines.size()) return true;
  }
  return false;
}

}  // namespace zazir

#include "export/logparts.h"

#include <climits>
#include <cstring>

#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "formats/maillog.h"
#include "platform/encoding.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// Whole physical lines: the first piece of each (at most kLineLimit bytes,
// enough for every test on a line) is the head; the rest follows piece by
// piece, cleaned as the head is.
class WholeLines {
 public:
  explicit WholeLines(LineStream& log) : log_(log) {}

  void seek(LogOffset at) {
    log_.seek(at);
    rest_ = false;
  }

  // Starts the next line unless the log ends or `end` (>= 0) is reached.
  bool next(LogOffset end = -1) {
    skipRest();
    if (end >= 0 && log_.tell() >= end) return false;
    std::string_view raw;
    if (!log_.readLineView(raw, kLineLimit)) return false;
    cut_ = false;
    tabDone_ = false;
    head_ = clean(raw);
    return true;
  }

  std::string_view head() const { return head_; }

  // The next piece of the line after the head; false at its end.
  bool piece(std::string_view& out) {
    while (rest_) {
      std::string_view raw;
      if (!log_.readLineView(raw, kLineLimit)) {
        rest_ = false;
        return false;
      }
      const bool dropped = cut_;
      out = clean(raw);
      if (!dropped && !out.empty()) return true;
    }
    return false;
  }

  // The whole line, cut on a character boundary to `keep` bytes.
  std::string take(std::size_t keep) {
    std::string line(head_);
    std::string_view more;
    while (piece(more)) {
      if (line.size() <= keep) line += more;
    }
    line.resize(characterBoundary(line, keep));
    return line;
  }

  // The line's pieces to `sink`, then its end.
  void pass(ItemSink& sink) {
    sink.text(head_);
    std::string_view more;
    while (piece(more)) sink.text(more);
    sink.lineEnd();
  }

 private:
  void skipRest() {
    std::string_view ignored;
    while (piece(ignored)) {
    }
  }

  // As stripLineEnd over the whole line: it ends at its first CR, and its
  // first TAB becomes a blank.
  std::string_view clean(std::string_view raw) {
    rest_ = raw.back() != '\n';
    if (!rest_) raw.remove_suffix(1);
    if (cut_) return {};
    if (const void* cr = std::memchr(raw.data(), '\r', raw.size())) {
      raw = raw.substr(0, static_cast<std::size_t>(static_cast<const char*>(cr) - raw.data()));
      cut_ = true;
    }
    if (tabDone_) return raw;
    const void* tab = std::memchr(raw.data(), '\t', raw.size());
    if (tab == nullptr) return raw;
    tabDone_ = true;
    buffer_.assign(raw);
    buffer_[static_cast<std::size_t>(static_cast<const char*>(tab) - raw.data())] = ' ';
    return buffer_;
  }

  LineStream& log_;
  std::string_view head_;
  std::string buffer_;    // a piece whose TAB became a blank
  bool rest_ = false;     // the line goes on in further pieces
  bool cut_ = false;      // a CR ended the line: its further pieces are dropped
  bool tabDone_ = false;  // the line's first TAB is behind
};

// The body lines from the current line (when `more`) up to the first for
// which `ends` holds, left current for the caller, or up to `end`; false at
// the end of the part or the log.
template <typename Ends>
bool passBody(WholeLines& lines, bool more, LogOffset end, Take take, ItemSink& sink,
              const Ends& ends) {
  while (more && !ends(lines.head())) {
    if (take == Take::Body) lines.pass(sink);
    more = lines.next(end);
  }
  if (take == Take::Body) sink.end();
  return more;
}

// The current line as an item of its own; false when the sink stops.
bool passAsItem(WholeLines& lines, ItemSink& sink) {
  const Take take = sink.begin({});
  if (take == Take::Body) {
    lines.pass(sink);
    sink.end();
  }
  return take != Take::Stop;
}

// "新しいメッセージが N 個あります。": N new chat lines; none said, no limit.
int chatLineCount(std::string_view line) {
  const std::string& lead = "新しいメッセージが"_sj;
  if (!startsWith(line, lead)) return INT_MAX;
  std::string_view rest = line.substr(lead.size());
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const std::size_t digitAt = !rest.empty() && (rest.front() == '+' || rest.front() == '-');
  if (rest.size() <= digitAt || !isDigitChar(rest[digitAt])) return INT_MAX;
  const int count = parseDecimal(rest);
  return count < 1 ? INT_MAX : count;
}

const BoardEntry& entryOf(const std::vector<BoardEntry>& boards, int board) {
  return boards[static_cast<std::size_t>(board)];
}

}  // namespace

bool startsOtherPart(std::string_view line) {
  return startsAPart(line);
}

void walkMessages(LineStream& log, const LogIndex& index, int board, ItemSink& sink) {
  const LogOffset end = boardEndOffset(index.messageBoards, board);
  const auto endsMessage = [](std::string_view line) {
    return isMessageEnd(line) || startsOtherPart(line);
  };
  WholeLines lines(log);
  lines.seek(entryOf(index.messageBoards, board).listOffset);
  lines.next(end);  // the listing line
  bool more = lines.next(end);
  std::vector<std::string> header;
  while (more && !isStopLine(lines.head())) {
    if (!isMessageStart(lines.head())) {
      more = lines.next(end);
      continue;
    }
    header.assign(1, lines.take(kHeaderLineBytes));
    more = lines.next(end);
    while (more && header.size() < 3 && !endsMessage(lines.head())) {
      header.push_back(lines.take(kHeaderLineBytes));
      more = lines.next(end);
    }
    const Take take = sink.begin(header);
    if (take == Take::Stop) return;
    more = passBody(lines, more, end, take, sink, endsMessage);
  }
}

void walkMail(LineStream& log, const LogIndex& index, int mail, ItemSink& sink) {
  WholeLines lines(log);
  lines.seek(index.mails[static_cast<std::size_t>(mail)].headerOffset);
  // Three header lines, whatever they hold, as the index took them.
  std::vector<std::string> header;
  bool more = true;
  while (header.size() < 3 && (more = lines.next())) header.push_back(lines.take(kHeaderLineBytes));
  const Take take = sink.begin(header);
  if (take == Take::Stop) return;
  passBody(lines, more && lines.next(), -1, take, sink,
           [](std::string_view line) { return isMailEnd(line) || startsOtherPart(line); });
}

void walkFileEntries(LineStream& log, const LogIndex& index, int board, ItemSink& sink) {
  const LogOffset end = boardEndOffset(index.fileBoards, board);
  WholeLines lines(log);
  lines.seek(entryOf(index.fileBoards, board).listOffset);
  bool more = lines.next(end);
  while (more && !endsFileBoard(lines.head())) {
    if (entryFileNumber(lines.head()) <= 0) {
      more = lines.next(end);
      continue;
    }
    const Take take = sink.begin({});
    if (take == Take::Stop) return;
    if (take == Take::Body) lines.pass(sink);
    more = passBody(lines, lines.next(end), end, take, sink, [](std::string_view line) {
      return endsFileBoard(line) || entryFileNumber(line) > 0 || startsOtherPart(line);
    });
  }
}

void walkChatLines(LineStream& log, const LogIndex& index, int chat, ItemSink& sink) {
  const auto at = static_cast<std::size_t>(chat);
  if (!index.chatBoards[at].hasNew || at >= index.chatContentOffset.size()) return;
  WholeLines lines(log);
  lines.seek(index.chatContentOffset[at]);
  // A line, the count line, a line, then the chat lines up to an empty one.
  const auto content = [&] { return lines.next() && !startsOtherPart(lines.head()); };
  if (!content() || !content()) return;
  int count = chatLineCount(lines.head());
  if (!content()) return;
  while (count-- > 0 && content() && !lines.head().empty() && passAsItem(lines, sink)) {
  }
}

void walkNotewall(LineStream& log, const LogIndex& index, ItemSink& sink) {
  if (index.notewallOffset < 0) return;
  WholeLines lines(log);
  lines.seek(index.notewallOffset);
  while (lines.next() && isListedLine(lines.head(), kNotewallLineMarker) &&
         passAsItem(lines, sink)) {
  }
}

}  // namespace zazir

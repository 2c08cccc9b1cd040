#include "export/listing.h"

#include <cerrno>
#include <cstring>

#include "export/logparts.h"
#include "export/logset.h"
#include "export/outputtext.h"
#include "export/utf8text.h"
#include "formats/logindex.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

namespace {

constexpr char kFields[] = "log\tsection\tnumber\tid\tname\tdate\ttime\ttitle\tstatus\tcount\n";
constexpr std::size_t kNameColumn = 6;
constexpr std::size_t kStatusColumn = 49;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

class Lister {
 public:
  explicit Lister(std::FILE* out) : out_(out) {}

  // The log the rows that follow belong to.
  void startLog(const std::string& logName) { logName_ = blankControls(logName); }

  // One row; `texts` (id, name, date, time, title, status) are CP932 from
  // the log. The log's name is the system's own and goes out as it is. The
  // line naming the fields comes before the first row, so that a run that
  // finds no log prints nothing.
  void row(std::string_view section, std::string_view number,
           std::initializer_list<std::string_view> texts, std::string_view count) {
    std::string fields = std::string(section) + "\t" + std::string(number);
    for (const std::string_view text : texts) {
      fields += '\t';
      fields += toUtf8(text, decoder_);
    }
    if (!headed_) std::fputs(kFields, out_);
    headed_ = true;
    const std::string line = logName_ + "\t" + output_(fields) + "\t" + std::string(count) + "\n";
    std::fwrite(line.data(), 1, line.size(), out_);
  }

  std::uint64_t replacedBytes() const { return decoder_.replacedBytes(); }

 private:
  std::FILE* out_;
  std::string logName_;
  bool headed_ = false;
  OutputText output_;
  Utf8Decoder decoder_{Utf8Decoder::Controls::Blanked};
};

std::string number(int value) {
  return std::to_string(value);
}

// The listing line of a message or file board, cleaned up.
std::string listingLineOf(LineStream& log, const BoardEntry& board) {
  std::string line;
  log.seek(board.listOffset);
  log.readLine(line);
  stripLineEnd(line);
  return line;
}

// Whether the index found any part of a log at all.
bool holdsAnyPart(const LogIndex& index) {
  return !index.mails.empty() || !index.messageBoards.empty() || !index.fileBoards.empty() ||
         !index.chatBoards.empty() || index.notewallOffset >= 0;
}

enum class Listed { Nothing, NoLog, Parts };

// Lists one log; Parts when it holds anything to export.
Listed listLog(LineStream& log, Lister& lister) {
  LogIndex index;
  indexLog(log, index);
  if (!holdsAnyPart(index)) return Listed::NoLog;
  bool any = !index.mails.empty();
  int at = 0;
  for (const MailEntry& mail : index.mails) {
    lister.row("mail", number(++at),
               {mail.senderId, mail.senderName, mail.dateText, mail.timeText, mail.title, ""}, "");
  }
  const auto boards = [&](const std::vector<BoardEntry>& table, std::string_view section,
                          auto walk) {
    for (int b = 0; b < static_cast<int>(table.size()); ++b) {
      const BoardEntry& board = table[static_cast<std::size_t>(b)];
      ItemCounter counter;
      walk(log, index, b, counter);
      any = any || counter.count() > 0;
      const std::string line = listingLineOf(log, board);
      const std::string_view status =
          line.size() > kStatusColumn ? trimmed(std::string_view(line).substr(kStatusColumn)) : "";
      lister.row(section, number(board.number),
                 {"", board.name, "", "", boardTitle(line, board.name), status},
                 number(counter.count()));
    }
  };
  boards(index.messageBoards, "board", walkMessages);
  boards(index.fileBoards, "fileboard", walkFileEntries);
  for (int c = 0; c < index.chatBoardCount(); ++c) {
    const ChatBoardEntry& chat = index.chatBoards[static_cast<std::size_t>(c)];
    ItemCounter counter;
    walkChatLines(log, index, c, counter);
    any = any || counter.count() > 0;
    lister.row("chat", number(chat.number),
               {"", chat.name, "", "", boardTitle(chat.label, chat.name), ""},
               number(counter.count()));
  }
  if (index.notewallOffset >= 0) {
    ItemCounter counter;
    walkNotewall(log, index, counter);
    any = any || counter.count() > 0;
    lister.row("notewall", "", {"", "", "", "", "", ""}, number(counter.count()));
  }
  return any ? Listed::Parts : Listed::Nothing;
}

}  // namespace

std::string_view boardTitle(std::string_view line, std::string_view name) {
  const std::size_t from = kNameColumn + name.size();
  if (from >= line.size()) return {};
  std::string_view title = line.substr(from, kStatusColumn > from ? kStatusColumn - from : 0);
  for (std::size_t at = 0; at < title.size(); at += startsDoubleByte(title, at) ? 2 : 1) {
    if (title[at] == '\xA5') {
      title = title.substr(0, at);
      break;
    }
  }
  return trimmed(title);
}

int runList(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  std::vector<std::string> logs;
  std::string problem;
  const auto fail = [&] {
    std::fprintf(err, "zazir: %s\n", problem.c_str());
    return kExitFileError;
  };
  if (!expandLogs(args, logs, problem)) return fail();
  if (logs.empty()) {
    std::fputs("zazir: no file to list in the directories given\n", err);
    return kExitNothingToExport;
  }
  // Every log is opened before the first row: a FIFO or a device among
  // them (never read, never waited for) fails the list before it starts.
  for (const std::string& path : logs) {
    if (!openLog(path, problem)) return fail();
  }
  Lister lister(out);
  bool any = false;
  for (const std::string& path : logs) {
    const auto log = openLog(path, problem);
    if (!log) return fail();
    lister.startLog(path);
    const Listed listed = listLog(*log, lister);
    if (listed == Listed::NoLog) {
      std::fprintf(err, "zazir: %s: nothing in it looks like a log\n", path.c_str());
    }
    any = any || listed == Listed::Parts;
  }
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(err, "zazir: standard output: %s\n", std::strerror(errno));
    return kExitFileError;
  }
  if (const std::uint64_t replaced = lister.replacedBytes()) {
    std::fprintf(err, "zazir: %llu bytes of the logs have no Unicode form; shown as U+FFFD\n",
                 static_cast<unsigned long long>(replaced));
  }
  return any ? kExitDone : kExitNothingToExport;
}

}  // namespace zazir

#include "export/searchcommand.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "export/logfilesearch.h"
#include "export/logset.h"
#include "export/outputtext.h"
#include "export/utf8text.h"
#include "formats/boardlog.h"
#include "formats/logindex.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "search/logsearch.h"
#include "text/textutil.h"

namespace zazir {

using search::HitSection;
using search::SearchHit;

namespace {

// The text as the logs hold it, or why it cannot be searched for.
std::optional<std::string> searchedText(const std::string& text, const std::string& codeset,
                                        std::string& problem) {
  std::optional<std::string> cp932 =
      isCp932Codeset(codeset) ? std::optional(text) : Converter("CP932", codeset).convert(text);
  if (!cp932) {
    problem = "the text has a character Shift-JIS cannot hold (or is not " + codeset + ")";
  } else if (std::any_of(cp932->begin(), cp932->end(),
                         [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; })) {
    // A log line never holds one where a reader shows it.
    problem = "the text holds a control character";
    cp932.reset();
  }
  return cp932;
}

const char* sectionName(HitSection section) {
  switch (section) {
    case HitSection::Mail:
      return "mail";
    case HitSection::MessageBoard:
      return "board";
    case HitSection::FileBoard:
      return "fileboard";
    case HitSection::Notewall:
      return "notewall";
    case HitSection::ChatBoard:
      return "chat";
  }
  return "";
}

// A chat or Notewall line's ID: its first word, before the marker at byte 14.
std::string_view lineId(std::string_view line) {
  line = line.substr(0, 14);
  return line.substr(0, line.find_first_of(" \t"));
}

// How far before a match the start of its line is looked for.
constexpr std::size_t kLineLookBack = 4096;

// The log line that holds the match, without its line end: from its start
// when that lies within kLineLookBack bytes before the match, else from the
// match; at most 2 * kLineLookBack bytes of it. The line feed before the
// match is found in the stream's buffer: with a hit in nearly every message
// the lines are not read one by one.
std::string lineOfMatch(LineStream& log, const SearchHit& hit) {
  const LogOffset from =
      std::max(hit.matchOffset - static_cast<LogOffset>(kLineLookBack), LogOffset{0});
  const auto before = static_cast<std::size_t>(hit.matchOffset - from);
  log.seek(from);
  const std::string_view data = log.buffered(before);
  LogOffset lineStart = hit.matchOffset;
  if (data.size() >= before) {
    if (const void* feed = memrchr(data.data(), '\n', before)) {
      lineStart = from + (static_cast<const char*>(feed) - data.data()) + 1;
    } else if (from == 0) {
      lineStart = 0;
    }
  }
  std::string line;
  log.seek(lineStart);
  log.readLine(line, 2 * kLineLookBack);
  line.resize(withoutLineEnd(line).size());
  return line;
}

// The title of a hit's mail or message, or its file entry's line; empty for
// a chat or Notewall line.
std::string itemTitle(LineStream& log, const LogIndex& index, const SearchHit& hit) {
  if (hit.section == HitSection::Mail) return index.mails[static_cast<std::size_t>(hit.item)].title;
  if (hit.section != HitSection::MessageBoard && hit.section != HitSection::FileBoard) return {};
  std::string line;
  log.seek(hit.itemOffset);
  const int lines = hit.section == HitSection::MessageBoard ? 3 : 1;
  for (int k = 0; k < lines; ++k) log.readLine(line);
  std::string title = hit.section == HitSection::MessageBoard ? messageTitle(line) : line;
  stripLineEnd(title);
  return title;
}

// Prints each hit of one log as it comes.
class HitPrinter {
 public:
  explicit HitPrinter(std::FILE* out) : out_(out), lineByLine_(isatty(fileno(out)) != 0) {}

  // The log the hits that follow are in. Its name is the system's own and
  // goes out as it is.
  void startLog(const std::string& name, LineStream& log, const LogIndex& index) {
    logName_ = blankControls(name);
    log_ = &log;
    index_ = &index;
    item_ = Item{};
  }

  // False when the output failed.
  bool print(const SearchHit& hit) {
    // The hits of one item share its fields, read and decoded once.
    const Item item{hit.section, hit.board, hit.item};
    if (item != item_) {
      item_ = item;
      itemFields_ = logName_ + "\t" + sectionName(hit.section);
      for (const std::string& text : itemTexts(hit)) appendField(text, itemFields_);
    }
    fields_ = itemFields_;
    appendField(lineOfMatch(*log_, hit), fields_);
    fields_ += '\n';
    if (!output_.passesUtf8()) fields_ = output_(fields_);
    pending_ += fields_;
    return (pending_.size() < kOutputBatch && !lineByLine_) || flush();
  }

  // Writes the lines kept back; false when the output failed.
  bool flush() {
    const bool written = std::fwrite(pending_.data(), 1, pending_.size(), out_) == pending_.size();
    pending_.clear();
    return written;
  }

  std::uint64_t replacedBytes() const { return decoder_.replacedBytes(); }

 private:
  struct Item {
    HitSection section = HitSection::Mail;
    int board = -1;
    int item = -1;
    bool operator==(const Item&) const = default;
  };

  // The board, number, ID and title of the hit's item (CP932).
  std::vector<std::string> itemTexts(const SearchHit& hit) {
    const auto board = static_cast<std::size_t>(hit.board);
    std::string boardName;
    std::string id;
    switch (hit.section) {
      case HitSection::Mail:
        id = index_->mails[static_cast<std::size_t>(hit.item)].senderId;
        break;
      case HitSection::MessageBoard:
        boardName = index_->messageBoards[board].name;
        id = posterId(firstLine(hit));
        break;
      case HitSection::FileBoard:
        boardName = index_->fileBoards[board].name;
        break;
      case HitSection::ChatBoard:
        boardName = index_->chatBoards[board].name;
        id = lineId(firstLine(hit));
        break;
      case HitSection::Notewall:
        id = lineId(firstLine(hit));
        break;
    }
    return {boardName, std::to_string(hit.number), id, itemTitle(*log_, *index_, hit)};
  }

  std::string_view firstLine(const SearchHit& hit) {
    log_->seek(hit.itemOffset);
    log_->readLine(line_);
    return line_;
  }

  // A tab and the field's text, made safe for the line, in UTF-8.
  void appendField(std::string_view cp932, std::string& out) {
    out += '\t';
    scratch_.assign(cp932);
    blankControlsIn(scratch_);
    decoder_.decode(scratch_, out);
    decoder_.finish(out);
  }

  // Lines go out in batches, past the stream's small buffer: with a hit on
  // every other line, a write per few lines was a good part of the time.
  // A person at a terminal sees each line as it is found.
  static constexpr std::size_t kOutputBatch = 1 << 16;

  std::FILE* out_;
  bool lineByLine_;
  std::string pending_;
  std::string logName_;
  LineStream* log_ = nullptr;
  const LogIndex* index_ = nullptr;
  std::string line_;
  Item item_;
  std::string itemFields_;  // the log's name and the item's fields, in UTF-8
  std::string fields_;      // kept from hit to hit: most hits need no new memory
  std::string scratch_;
  OutputText output_;
  Utf8Decoder decoder_;
};

// Whether a file of a directory reads as a log: upload files, address
// books and notes beside the logs are not searched.
bool readsAsLog(const std::string& path) {
  const auto file = FileLineStream::open(path, kCaptureHeadBytes);
  // One that cannot be read is kept, to be named with the reason.
  return !file || readsAsCapture(file->buffered(kCaptureHeadBytes));
}

// Searches one log, printing its hits; the count of hits, none when the
// log cannot be read.
std::optional<std::size_t> searchOneLog(const std::string& path,
                                        const search::SearchPattern& pattern,
                                        std::optional<search::Anchor>& anchor, HitPrinter& printer,
                                        std::string& problem) {
  const std::optional<search::SearchOutcome> outcome =
      searchLogFile(path, pattern, anchor,
                    {.started = [&](FileLineStream& log,
                                    const LogIndex& index) { printer.startLog(path, log, index); },
                     // A closed pipe or a full disk ends the search at the hit it failed on.
                     .found = [&](const SearchHit& hit) { return printer.print(hit); }},
                    problem);
  printer.flush();
  if (!outcome) return std::nullopt;
  return outcome->hits;
}

}  // namespace

int runSearch(const std::string& text, const std::vector<std::string>& args, std::FILE* out,
              std::FILE* err) {
  std::string problem;
  const auto fail = [&](int status) {
    std::fprintf(err, "zazir: %s\n", problem.c_str());
    return status;
  };
  HitPrinter printer(out);
  const OutputText codeset;
  const std::optional<std::string> cp932 = searchedText(text, codeset.codeset(), problem);
  if (!cp932) return fail(kExitUsage);
  const search::SearchPattern pattern = search::compilePattern(*cp932);
  if (pattern.units.empty()) {
    problem = "nothing to search for";
    return fail(kExitUsage);
  }
  std::vector<std::string> logs;
  std::size_t skipped = 0;
  const auto keep = [&skipped](const std::string& path) {
    const bool log = readsAsLog(path);
    skipped += log ? 0 : 1;
    return log;
  };
  if (!expandLogs(args, logs, problem, keep)) return fail(kExitFileError);
  // Every log is opened before the first hit: a FIFO or a device among
  // them (never read, never waited for) fails the search before it starts.
  for (const std::string& path : logs) {
    if (!openLog(path, problem)) return fail(kExitFileError);
  }
  if (skipped > 0) {
    std::fprintf(err, "zazir: %zu %s of the directories %s not read as a log; not searched\n",
                 skipped, skipped == 1 ? "file" : "files", skipped == 1 ? "does" : "do");
  }
  std::size_t hits = 0;
  std::optional<search::Anchor> anchor;  // chosen by the first log's bytes
  for (const std::string& path : logs) {
    const std::optional<std::size_t> found = searchOneLog(path, pattern, anchor, printer, problem);
    if (!found) return fail(kExitFileError);
    hits += *found;
    if (std::ferror(out)) break;
  }
  if (std::fflush(out) != 0 || std::ferror(out)) {
    problem = std::string("standard output: ") + std::strerror(errno);
    return fail(kExitFileError);
  }
  if (const std::uint64_t replaced = printer.replacedBytes()) {
    std::fprintf(err, "zazir: %llu bytes of the logs have no Unicode form; shown as U+FFFD\n",
                 static_cast<unsigned long long>(replaced));
  }
  return hits > 0 ? kExitDone : kExitNothingFound;
}

}  // namespace zazir

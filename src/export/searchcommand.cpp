#include "export/searchcommand.h"

#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "export/hitprinter.h"
#include "export/logfilesearch.h"
#include "export/logset.h"
#include "export/logturns.h"
#include "export/outputtext.h"
#include "formats/logindex.h"
#include "platform/encoding.h"
#include "search/logsearch.h"

namespace zazir {

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

// Whether a file of a directory reads as a log: upload files, address
// books and notes beside the logs are not searched.
bool readsAsLog(const std::string& path) {
  const auto file = FileLineStream::open(path, kCaptureHeadBytes);
  // One that cannot be read is kept, to be named with the reason.
  return !file || readsAsCapture(file->buffered(kCaptureHeadBytes));
}

// What the search of one log came to.
struct LogOutcome {
  std::optional<std::size_t> hits;  // none: the log could not be read
  std::string problem;
  std::uint64_t replacedBytes = 0;
};

// The logs are searched side by side, each by the first searcher free,
// their lines going out in the logs' order; more than a few searchers
// would only share the same disk and memory.
constexpr unsigned kMostSearchers = 4;

unsigned searchers(std::size_t logs) {
  const unsigned cores = std::max(std::thread::hardware_concurrency(), 1U);
  return static_cast<unsigned>(std::min<std::size_t>({logs, cores, kMostSearchers}));
}

// Searches the logs that `next` hands out until none is left or the turns
// stop, each log's outcome in `outcomes`.
void searchLogs(const std::vector<std::string>& logs, const search::SearchPattern& pattern,
                bool lineByLine, LogTurns& turns, std::atomic<std::size_t>& next,
                std::vector<LogOutcome>& outcomes) {
  std::size_t log = 0;
  HitPrinter printer([&](std::string& lines) { return turns.offer(log, lines); }, lineByLine,
                     LogTurns::kKeptBytes);
  std::optional<search::Anchor> anchor;  // chosen by the bytes of the first log searched
  while ((log = next++) < logs.size() && !turns.stopped()) {
    const std::string& path = logs[log];
    LogOutcome& outcome = outcomes[log];
    const std::uint64_t replaced = printer.replacedBytes();
    const std::optional<search::SearchOutcome> found = searchLogFile(
        path, pattern, anchor,
        {.started = [&](LineStream& stream,
                        const LogIndex& index) { printer.startLog(path, stream, index); },
         // A closed pipe or a full disk ends the search at the hit it failed on.
         .found = [&](const search::SearchHit& hit) { return printer.print(hit); }},
        outcome.problem);
    if (found) outcome.hits = found->hits;
    outcome.replacedBytes = printer.replacedBytes() - replaced;
    if (!turns.finish(log, printer.pending(), found.has_value())) break;
  }
}

}  // namespace

int runSearch(const std::string& text, const std::vector<std::string>& args, std::FILE* out,
              std::FILE* err) {
  std::string problem;
  const auto fail = [&](int status) {
    std::fprintf(err, "zazir: %s\n", problem.c_str());
    return status;
  };
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
#ifdef __GLIBC__
  // Each log's streams take buffers of the same few megabytes: malloc keeps
  // them for the next log instead of handing them back to the system and
  // having their pages cleared and faulted in again, a tenth of the time.
  mallopt(M_MMAP_THRESHOLD, 16 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
  LogTurns turns(out);
  std::vector<LogOutcome> outcomes(logs.size());
  std::atomic<std::size_t> next = 0;
  const bool lineByLine = isatty(fileno(out)) != 0;
  // What a searcher throws (a failure to allocate) ends the search and is
  // thrown here, as it was when one searcher did all.
  std::exception_ptr thrown;
  std::mutex thrownLock;
  const auto search = [&] {
    try {
      searchLogs(logs, pattern, lineByLine, turns, next, outcomes);
    } catch (...) {
      const std::lock_guard lock(thrownLock);
      if (!thrown) thrown = std::current_exception();
      turns.stop();
    }
  };
  {
    std::vector<std::jthread> others;
    try {
      for (unsigned k = 1; k < searchers(logs.size()); ++k) others.emplace_back(search);
    } catch (const std::system_error&) {
      // Fewer searchers take longer, nothing else.
    }
    search();
  }
  if (thrown) std::rethrow_exception(thrown);
  // The outcomes count as far as the output went: a log that could not be
  // read or a failed output ends it, and what was searched after is not told.
  const int error = turns.outputError();
  std::size_t hits = 0;
  std::uint64_t replaced = 0;
  for (std::size_t log = 0; log < std::min(turns.turn() + 1, logs.size()); ++log) {
    const LogOutcome& outcome = outcomes[log];
    if (!outcome.hits && error == 0) {
      problem = outcome.problem;
      return fail(kExitFileError);
    }
    hits += outcome.hits.value_or(0);
    replaced += outcome.replacedBytes;
  }
  if (std::fflush(out) != 0 || std::ferror(out) || error != 0) {
    problem = std::string("standard output: ") + std::strerror(error != 0 ? error : errno);
    return fail(kExitFileError);
  }
  if (replaced != 0) {
    std::fprintf(err, "zazir: %llu bytes of the logs have no Unicode form; shown as U+FFFD\n",
                 static_cast<unsigned long long>(replaced));
  }
  return hits > 0 ? kExitDone : kExitNothingFound;
}

}  // namespace zazir

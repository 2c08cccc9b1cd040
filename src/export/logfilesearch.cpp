#include "export/logfilesearch.h"

#include "export/logset.h"

namespace zazir {

namespace {

constexpr std::size_t kNearHitBytes = 64 << 10;

}  // namespace

std::optional<search::SearchOutcome> searchLogFile(const std::string& osPath,
                                                   const search::SearchPattern& pattern,
                                                   std::optional<search::Anchor>& anchor,
                                                   const LogFileSearch& calls,
                                                   std::string& problem) {
  const std::unique_ptr<FileLineStream> log = openLog(osPath, problem);
  if (!log) return std::nullopt;
  LogIndex index;
  // The scan reads the log through streams of its own: the same file, not
  // one put in its place since.
  bool same = true;
  const search::StreamOpener open = [&](std::size_t bufferBytes) -> std::unique_ptr<LineStream> {
    std::unique_ptr<FileLineStream> stream = FileLineStream::open(osPath, bufferBytes);
    same = same && stream && stream->identity() == log->identity();
    if (!same) return nullptr;
    return stream;
  };
  // What the hits lie in is read mostly from the scan's own block; the
  // rest, a little at a time.
  const std::unique_ptr<LineStream> near = open(kNearHitBytes);
  if (!near) {
    problem = osPath + ": cannot be read";
    return std::nullopt;
  }
  search::LogSearch search({index, *log}, open, *near, static_cast<LogOffset>(fileSize(osPath)),
                           pattern, anchor);
  if (calls.started) calls.started(search.nearHits(), index);
  if (!search.finished()) anchor = search.anchor();
  const search::SearchOutcome outcome = search::searchLog(search, calls.found, calls.progress);
  if (!same) {
    problem = osPath + ": cannot be read";
    return std::nullopt;
  }
  return outcome;
}

}  // namespace zazir

#include "export/logfilesearch.h"

#include "export/logset.h"

namespace zazir {

std::optional<search::SearchOutcome> searchLogFile(const std::string& osPath,
                                                   const search::SearchPattern& pattern,
                                                   std::optional<search::Anchor>& anchor,
                                                   const LogFileSearch& calls,
                                                   std::string& problem) {
  const std::unique_ptr<FileLineStream> log = openLog(osPath, problem);
  if (!log) return std::nullopt;
  LogIndex index;
  if (calls.started) calls.started(*log, index);
  // The scan reads the log through streams of its own: the same file, not
  // one put in its place since.
  bool same = true;
  const search::StreamOpener open = [&](std::size_t bufferBytes) -> std::unique_ptr<LineStream> {
    std::unique_ptr<FileLineStream> stream = FileLineStream::open(osPath, bufferBytes);
    same = same && stream && stream->identity() == log->identity();
    if (!same) return nullptr;
    return stream;
  };
  search::LogSearch search(
      [&]() -> const LogIndex& {
        indexLog(*log, index);
        return index;
      },
      open, *log, static_cast<LogOffset>(fileSize(osPath)), pattern, anchor);
  if (!search.finished()) anchor = search.anchor();
  const search::SearchOutcome outcome = search::searchLog(search, calls.found, calls.progress);
  if (!same) {
    problem = osPath + ": cannot be read";
    return std::nullopt;
  }
  return outcome;
}

}  // namespace zazir

// The fast skip over the log judged against a plain line-by-line reading,
// shared by the unit tests and the fuzz target.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "formats/logscan.h"
#include "platform/encoding.h"
#include "support/plain_stream.h"
#include "text/textutil.h"

namespace zazir::testing {

// The exact tests of the index, written out plainly: a line that matters.
inline bool mattersToTheIndex(std::string_view raw) {
  using namespace zazir::literals;
  std::string line(raw);
  stripLineEnd(line);
  if (startsWith(line, "Private Message is from:")) return true;
  if (startsWith(line, "《 気軽な伝言板 》"_sj) || startsWith(line, "FILE NEWS: 日付指定"_sj)) {
    return true;
  }
  if (line.size() >= 80 || line.size() <= 49 || line[4] != ':' || parseDecimal(line) <= 0) {
    return false;
  }
  const std::string_view status = std::string_view(line).substr(49);
  for (const std::string* s : {&"検索中"_sj, &"未読なし"_sj, &"新着なし"_sj}) {
    if (startsWith(status, *s)) return true;
  }
  return startsWith(status, "No messages found");
}

struct SkipVerdict {
  std::string fault;      // empty when the skip is sound
  std::size_t lines = 0;  // line starts of the plain reading
  std::size_t stops = 0;  // lines the skip left to be read one by one
};

// Sound: the skip stops only at line starts of the plain reading and at
// every line that matters.
inline SkipVerdict judgeSkip(const std::string& log, logscan::Isa isa) {
  SkipVerdict verdict;
  std::set<LogOffset> starts;
  std::set<LogOffset> needed;
  PlainStream plain(log);
  std::string_view line;
  for (LogOffset at = 0; plain.readLineView(line, kLineLimit); at = plain.tell()) {
    starts.insert(at);
    if (mattersToTheIndex(line)) needed.insert(at);
  }
  verdict.lines = starts.size();
  MemoryLineStream fast(log);
  while (true) {
    logscan::skipUninteresting(fast, isa);
    const LogOffset at = fast.tell();
    if (!fast.readLineView(line, kLineLimit)) break;
    ++verdict.stops;
    if (starts.count(at) == 0) verdict.fault = "stopped inside a line at " + std::to_string(at);
    needed.erase(at);
  }
  if (verdict.fault.empty() && !needed.empty()) {
    verdict.fault = "skipped the line at " + std::to_string(*needed.begin());
  }
  return verdict;
}

}  // namespace zazir::testing

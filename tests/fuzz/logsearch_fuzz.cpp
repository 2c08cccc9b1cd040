// The whole-log search over any log, held against itself: the hits found
// with the index made beforehand and the log in one block must be the hits
// found with the index made as the log is read, through small blocks whose
// edges fall anywhere. The input is the pattern's length, a block size,
// the pattern, then the log.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/logindex.h"
#include "fuzz_check.h"
#include "search/logsearch.h"

using namespace zazir;

namespace {

std::vector<search::SearchHit> hitsOf(search::LogSearch& search) {
  std::vector<search::SearchHit> hits;
  const search::SearchOutcome outcome = search::searchLog(
      search,
      [&](const search::SearchHit& hit) {
        hits.push_back(hit);
        return true;
      },
      {});
  FUZZ_CHECK(outcome.complete && outcome.hits == hits.size());
  return hits;
}

int memoryFile() {
  static const int fd = memfd_create("zazir-fuzz-logsearch", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t patternBytes = std::min<std::size_t>(data[0] % 16 + 1, size - 2);
  const std::size_t block = 2048 + std::size_t{data[1]} * 61;
  const std::string input(reinterpret_cast<const char*>(data) + 2, size - 2);
  const search::SearchPattern pattern = search::compilePattern(input.substr(0, patternBytes));
  const std::string log = input.substr(patternBytes);
  const auto logSize = static_cast<LogOffset>(log.size());

  LogIndex index;
  MemoryLineStream whole(log);
  indexLog(whole, index);
  MemoryLineStream reads(log);
  search::LogSearch before(
      index, [&](std::size_t) { return std::make_unique<MemoryLineStream>(log); }, reads, logSize,
      pattern);
  const std::vector<search::SearchHit> expected = hitsOf(before);

  const int fd = memoryFile();
  FUZZ_CHECK(fd >= 0 && ftruncate(fd, 0) == 0);
  FUZZ_CHECK(pwrite(fd, log.data(), log.size(), 0) == static_cast<ssize_t>(log.size()));
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  const auto earlier = FileLineStream::open(path, 2048);
  const auto near = FileLineStream::open(path, 2048);
  FUZZ_CHECK(earlier && near);
  LogIndex asRead;
  search::LogSearch asItGoes(
      {asRead, *earlier},
      [&](std::size_t) -> std::unique_ptr<LineStream> { return FileLineStream::open(path, block); },
      *near, logSize, pattern);
  FUZZ_CHECK(hitsOf(asItGoes) == expected);
  return 0;
}

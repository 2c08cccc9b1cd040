// The log index benchmark.
//   zazir_bench generate PATH MIB [VISIT]  writes a synthetic log (of a later
//                                          visit to the same host)
//   zazir_bench index PATH [REPEATS]       times indexLog
//   zazir_bench scan PATH                  times the skipping pass alone with
//                                          each instruction set
//   zazir_bench search PATH TEXT [REPEATS] times the whole-log search for TEXT
//                                          (UTF-8): to the first screen of hits
//                                          and to the end
//   zazir_bench memory CASE MIB DIR        one action over a log with a line of
//                                          MIB mebibytes, its peak memory checked
//   zazir_bench split PATH DIRECTORY COUNT  cuts a log into COUNT logs
//   zazir_bench export DIRECTORY LOG...     times an export
//   zazir_bench search-logs OUT TEXT LOG... times --search for TEXT (UTF-8),
//                                          its lines written to OUT
// scripts/bench runs them and compares with `wc -l` and iconv.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/exporter.h"
#include "export/searchcommand.h"
#include "formats/logindex.h"
#include "formats/logscan.h"
#include "loggen.h"
#include "logsplit.h"
#include "memcheck.h"
#include "platform/encoding.h"
#include "platform/linestream.h"
#include "search/logsearch.h"

namespace {

long peakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int generate(const std::string& path, long mebibytes, int visit) {
  zazir::bench::GeneratedLog made;
  const auto target = static_cast<std::uint64_t>(mebibytes) << 20;
  if (!zazir::bench::generateLog(path, target, made, visit)) {
    std::fprintf(stderr, "zazir_bench: cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf(
      "generated: %.1f MB, %llu lines (%d mails, %d message boards, %d chat boards, %d file "
      "boards)\n",
      static_cast<double>(made.bytes) / 1e6, static_cast<unsigned long long>(made.lines),
      made.mails, made.messageBoards, made.chatBoards, made.fileBoards);
  return 0;
}

int index(const std::string& path, int repeats) {
  const long before = peakKib();
  double best = 0;
  zazir::LogIndex index;
  for (int run = 0; run < repeats; ++run) {
    auto log = zazir::FileLineStream::open(path, 10000);
    if (!log) {
      std::fprintf(stderr, "zazir_bench: cannot open %s\n", path.c_str());
      return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    zazir::indexLog(*log, index);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (run == 0 || took.count() < best) best = took.count();
    if (log->tell() <= 0) return 1;
    const double megabytes = static_cast<double>(log->tell()) / 1e6;
    std::printf("index run %d: %.3f s, %.0f MB/s\n", run + 1, took.count(),
                megabytes / took.count());
  }
  std::printf("indexed: %d mails, %d message boards, %d file boards, %d chat boards, notewall %s\n",
              index.mailCount(), index.messageBoardCount(), index.fileBoardCount(),
              index.chatBoardCount(), index.notewallOffset >= 0 ? "yes" : "no");
  std::printf("peak memory: %ld KiB (%ld KiB before indexing)\n", peakKib(), before);
  std::printf("RESULT seconds=%.6f peak_kib=%ld\n", best, peakKib());
  return 0;
}

// The pass as the index makes it, without building the index: the skip,
// then one line read at each stop.
int scan(const std::string& path) {
  using zazir::logscan::Isa;
  const std::pair<Isa, const char*> sets[] = {
      {Isa::Portable, "portable"}, {Isa::Sse2, "SSE2"}, {Isa::Avx2, "AVX2"}};
  for (const auto& [isa, name] : sets) {
    if (!zazir::logscan::isaAvailable(isa)) continue;
    double best = 0;
    long stops = 0;
    for (int run = 0; run < 3; ++run) {
      auto log = zazir::FileLineStream::open(path, 10000);
      if (!log) return 1;
      const auto start = std::chrono::steady_clock::now();
      stops = 0;
      std::string_view line;
      while (true) {
        zazir::logscan::skipUninteresting(*log, isa);
        if (!log->readLineView(line, zazir::kLineLimit)) break;
        ++stops;
      }
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      if (run == 0 || took.count() < best) best = took.count();
    }
    std::printf("scan %-8s %.3f s (%ld lines read one by one)\n", name, best, stops);
  }
  return 0;
}

// One export, timed, with the process's peak memory.
int exportLogs(const std::string& dir, const std::vector<std::string>& logs) {
  const auto start = std::chrono::steady_clock::now();
  const int status = zazir::runExport(dir, logs, stderr);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (status != 0) return status;
  std::printf("RESULT seconds=%.6f peak_kib=%ld\n", took.count(), peakKib());
  return 0;
}

// One --search, timed, with the process's peak memory and the hits.
int searchLogs(const std::string& outPath, const std::string& text,
               const std::vector<std::string>& logs) {
  std::FILE* out = std::fopen(outPath.c_str(), "w");
  if (!out) return 1;
  const auto start = std::chrono::steady_clock::now();
  const int status = zazir::runSearch(text, logs, out, stderr);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::fclose(out);
  if (status > 1) return status;
  std::printf("RESULT seconds=%.6f peak_kib=%ld\n", took.count(), peakKib());
  return 0;
}

// The first screen of a hit list.
constexpr std::size_t kScreenHits = 23;

int search(const std::string& path, const std::string& text, int repeats) {
  const auto pattern = zazir::utf8ToCp932(text);
  auto log = zazir::FileLineStream::open(path, 10000);
  if (!pattern || !log) {
    std::fprintf(stderr, "zazir_bench: cannot open %s or convert the text\n", path.c_str());
    return 1;
  }
  zazir::LogIndex index;
  zazir::indexLog(*log, index);
  const zazir::LogOffset size = log->tell();
  double bestFirst = 0;
  double bestTotal = 0;
  std::size_t hits = 0;
  for (int run = 0; run < repeats; ++run) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const zazir::search::StreamOpener open = [&](std::size_t buffer) {
      return std::unique_ptr<zazir::LineStream>(zazir::FileLineStream::open(path, buffer));
    };
    zazir::search::LogSearch search(index, open, *log, size,
                                    zazir::search::compilePattern(*pattern));
    std::chrono::duration<double> first{0};
    hits = 0;
    const auto outcome = zazir::search::searchLog(
        search,
        [&](const zazir::search::SearchHit&) {
          if (++hits == kScreenHits) first = Clock::now() - start;
          return true;
        },
        {});
    const std::chrono::duration<double> total = Clock::now() - start;
    if (hits < kScreenHits) first = total;
    if (!outcome.complete) return 1;
    if (run == 0 || first.count() < bestFirst) bestFirst = first.count();
    if (run == 0 || total.count() < bestTotal) bestTotal = total.count();
  }
  std::printf("RESULT first=%.6f total=%.6f hits=%zu\n", bestFirst, bestTotal, hits);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "generate" && (argc == 4 || argc == 5)) {
    return generate(argv[2], std::atol(argv[3]), argc == 5 ? std::atoi(argv[4]) : 0);
  }
  if (command == "index" && (argc == 3 || argc == 4)) {
    return index(argv[2], argc == 4 ? std::max(1, std::atoi(argv[3])) : 3);
  }
  if (command == "scan" && argc == 3) return scan(argv[2]);
  if (command == "split" && argc == 5) {
    return zazir::bench::splitLog(argv[2], argv[3], std::atoi(argv[4])) ? 0 : 1;
  }
  if (command == "export" && argc >= 4) return exportLogs(argv[2], {argv + 3, argv + argc});
  if (command == "search-logs" && argc >= 5) {
    return searchLogs(argv[2], argv[3], {argv + 4, argv + argc});
  }
  if (command == "search" && (argc == 4 || argc == 5)) {
    return search(argv[2], argv[3], argc == 5 ? std::max(1, std::atoi(argv[4])) : 3);
  }
  if (command == "memory" && argc == 5) {
    return zazir::bench::memoryCheck(argv[2], std::atol(argv[3]), argv[4]);
  }
  std::string cases;
  for (const std::string& name : zazir::bench::memoryCaseNames()) cases += " " + name;
  std::fprintf(stderr,
               "usage: zazir_bench generate PATH MIB [VISIT]\n"
               "       zazir_bench index PATH [REPEATS]\n"
               "       zazir_bench scan PATH\n"
               "       zazir_bench split PATH DIRECTORY COUNT\n"
               "       zazir_bench export DIRECTORY LOG...\n"
               "       zazir_bench search-logs OUT TEXT LOG...\n"
               "       zazir_bench search PATH TEXT [REPEATS]\n"
               "       zazir_bench memory CASE MIB DIRECTORY   (cases:%s)\n",
               cases.c_str());
  return 2;
}

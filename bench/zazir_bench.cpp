// The log index benchmark.
//   zazir_bench generate PATH MEGABYTES   writes a synthetic log
//   zazir_bench index PATH [REPEATS]       times countMails + indexLog
// scripts/bench runs both and compares with `wc -l`.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/logindex.h"
#include "loggen.h"
#include "platform/linestream.h"

namespace {

long peakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int generate(const std::string& path, long megabytes) {
  zazir::bench::GeneratedLog made;
  const auto target = static_cast<std::uint64_t>(megabytes) << 20;
  if (!zazir::bench::generateLog(path, target, made)) {
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
    const int mails = zazir::countMails(*log);
    zazir::indexLog(*log, index, mails);
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

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "generate" && argc == 4) return generate(argv[2], std::atol(argv[3]));
  if (command == "index" && (argc == 3 || argc == 4)) {
    return index(argv[2], argc == 4 ? std::max(1, std::atoi(argv[3])) : 3);
  }
  std::fprintf(stderr,
               "usage: zazir_bench generate PATH MEGABYTES\n"
               "       zazir_bench index PATH [REPEATS]\n");
  return 2;
}

#include "formats/logscan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/encoding.h"

#include "platform/simd.h"

namespace zazir::logscan {

using namespace zazir::literals;

namespace {

// Bytes that must follow a line start to judge it (the status column of a
// listing line and a vector past it).
constexpr std::size_t kLookahead = 128;
// Every chunk of this many bytes must hold a line feed: then no line is
// longer than the read limit, and every line start follows a line feed.
constexpr std::size_t kChunk = 512;
static_assert(2 * kChunk - 1 <= kLineLimit,
              "a run that reaches the read limit covers a whole chunk");
// At most this much of a window is judged at once, so that stopping early
// costs little.
constexpr std::size_t kMaxWindow = 16384;
constexpr std::size_t kWant = kChunk + kLookahead;

// The bytes that open the headings, and the first bytes of the four
// listing statuses.
struct Patterns {
  char firsts[3];  // 'P', 'F', the lead byte of the Notewall heading
  unsigned char notewall[2];
  unsigned char statusLeads[4];

  Patterns() {
    const std::string& heading = "《 気軽な伝言板 》"_sj;
    firsts[0] = 'P';
    firsts[1] = 'F';
    firsts[2] = heading[0];
    notewall[0] = static_cast<unsigned char>(heading[0]);
    notewall[1] = static_cast<unsigned char>(heading[1]);
    const std::string* statuses[] = {&"検索中"_sj, &"未読なし"_sj, &"新着なし"_sj};
    for (int i = 0; i < 3; ++i) statusLeads[i] = static_cast<unsigned char>((*statuses[i])[0]);
    statusLeads[3] = 'N';  // "No messages found"
  }
};

const Patterns& patterns() {
  static const Patterns instance;
  return instance;
}

// A quick look at a line start with at least kLookahead bytes after it:
// false only when no exact test can pass (clean-up keeps the first bytes,
// turns no byte into ':' or a status byte, and only shortens a line).
bool mayPass(const unsigned char* line) {
  const Patterns& p = patterns();
  if (line[0] == 'P' && line[1] == 'r') return true;  // "Private Message is from:"
  if (line[0] == 'F' && line[1] == 'I') return true;  // "FILE NEWS: "
  if (line[0] == p.notewall[0] && line[1] == p.notewall[1]) return true;
  // A listing line: a number from column 0 (after blanks or TABs), ':' in
  // column 4, a status from column 49, 55 bytes at least before the line end.
  if (line[0] > '9' || line[4] != ':') return false;
  const unsigned char status = line[49];
  if (status != p.statusLeads[0] && status != p.statusLeads[1] && status != p.statusLeads[2] &&
      status != p.statusLeads[3]) {
    return false;
  }
  return std::memchr(line, '\n', 55) == nullptr;
}

struct Verdict {
  std::size_t offset;  // where the caller goes on: a line start
  bool more;           // every line before `offset` was judged: look further
};

// The start of the line that holds byte `at` (0 when it began before the
// window, whose first byte starts a line).
std::size_t lineStartBefore(std::string_view window, std::size_t at) {
  const std::size_t feed = at == 0 ? std::string_view::npos : window.rfind('\n', at - 1);
  return feed == std::string_view::npos ? 0 : feed + 1;
}

#define ZAZIR_SIMD_LOOP "formats/logscan_loop.inc"
#include "platform/simd_each.inc"

Verdict scan(std::string_view window, Isa isa) {
#ifdef ZAZIR_SIMD_X86
  if (isa == Isa::Avx2) return avx2::scanWindow(window);
  if (isa == Isa::Sse2) return sse2::scanWindow(window);
#endif
  (void)isa;
  return portable::scanWindow(window);
}

Isa bestIsa() {
  if (isaAvailable(Isa::Avx2)) return Isa::Avx2;
  if (isaAvailable(Isa::Sse2)) return Isa::Sse2;
  return Isa::Portable;
}

}  // namespace

bool isaAvailable(Isa isa) {
  switch (isa) {
    case Isa::Portable:
      return true;
#ifdef ZAZIR_SIMD_X86
    case Isa::Sse2:
      return true;
    case Isa::Avx2:
      return __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

void skipUninteresting(LineStream& log, Isa isa, LogOffset until) {
  if (!isaAvailable(isa)) isa = Isa::Portable;
  while (log.tell() < until) {
    const Verdict verdict = scan(log.buffered(kWant), isa);
    if (verdict.offset > 0) log.skip(verdict.offset);
    if (!verdict.more || verdict.offset == 0) return;
  }
}

void skipUninteresting(LineStream& log, LogOffset until) {
  static const Isa best = bestIsa();
  skipUninteresting(log, best, until);
}

}  // namespace zazir::logscan

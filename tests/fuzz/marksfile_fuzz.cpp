// The read-mark state file: any bytes are refused, or give marks that fit
// their series, whose header reads alike on its own, and that write back
// as the same bytes (a file of the former kind: as marks that read back
// alike).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "marks/marksfile.h"

using namespace zazir;

namespace {

bool sameSeries(const std::vector<SeriesMarks>& a, const std::vector<SeriesMarks>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (a[k].section != b[k].section || a[k].board != b[k].board || a[k].name != b[k].name ||
        a[k].items != b[k].items || a[k].fingerprint != b[k].fingerprint ||
        a[k].bits != b[k].bits) {
      return false;
    }
  }
  return true;
}

void check(std::string_view bytes) {
  const std::optional<MarksFile> file = decodeMarksFile(bytes);
  if (!file) return;
  for (const SeriesMarks& series : file->series) {
    FUZZ_CHECK(series.items <= kMaxSeriesItems);
    FUZZ_CHECK(series.board >= 0);
    FUZZ_CHECK(series.bits.size() == marksWordsFor(series.items));
    FUZZ_CHECK(series.items % 64 == 0 || series.bits.back() >> (series.items % 64) == 0);
  }
  const std::optional<MarksFile> header = decodeMarksHeader(bytes.substr(0, kMarksHeaderBytes));
  FUZZ_CHECK(header && header->version == file->version && header->identity == file->identity &&
             header->records == file->records);
  const std::string written = encodeMarksFile(*file);
  if (file->version == kMarksVersion) {
    FUZZ_CHECK(written == bytes);
  } else {
    const std::optional<MarksFile> again = decodeMarksFile(written);
    FUZZ_CHECK(again && again->version == kMarksVersion && sameSeries(again->series, file->series));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(bytes);
  // Nearly every input fails the checksum: the same bytes under one that
  // holds reach the series.
  std::string summed(bytes);
  std::uint64_t sum = 0xCBF29CE484222325ull;
  for (const char byte : summed) sum = (sum ^ static_cast<unsigned char>(byte)) * 0x100000001B3ull;
  for (int k = 0; k < 8; ++k) summed += static_cast<char>(sum >> (8 * k) & 0xFF);
  check(summed);
  return 0;
}

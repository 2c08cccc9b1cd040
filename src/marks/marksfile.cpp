#include "marks/marksfile.h"

#include <set>
#include <utility>

namespace zazir {

namespace {

constexpr std::string_view kMagic = "ZAZIR read marks\n";
constexpr std::uint64_t kFnvBasis = 0xCBF29CE484222325ull;
// Section, board, name size, items and fingerprint of one series.
constexpr std::uint64_t kSeriesBytes = 1 + 4 + 4 + 4 + 8;

std::uint64_t checksum(std::string_view bytes) {
  std::uint64_t hash = kFnvBasis;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001B3ull;
  }
  return hash;
}

void putNumber(std::string& out, std::uint64_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) out += static_cast<char>(value >> (8 * k) & 0xFF);
}

// Reads numbers and texts from a file's bytes; once past its end, every
// read fails.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool number(std::uint64_t& value, int bytes) {
    if (left() < static_cast<std::size_t>(bytes)) return false;
    value = 0;
    for (int k = 0; k < bytes; ++k) {
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_++])) << (8 * k);
    }
    return true;
  }
  std::size_t left() const { return bytes_.size() - at_; }
  bool text(std::size_t size, std::string_view& value) {
    if (left() < size) return false;
    value = bytes_.substr(at_, size);
    at_ += size;
    return true;
  }
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// The magic, version, identity and records, read from `in`.
bool readHeader(Reader& in, MarksFile& file) {
  std::string_view magic;
  std::uint64_t version = 0;
  if (!in.text(kMagic.size(), magic) || magic != kMagic || !in.number(version, 4) ||
      (version != 1 && version != kMarksVersion) || !in.number(file.identity, 8)) {
    return false;
  }
  file.version = static_cast<int>(version);
  return version == 1 || in.number(file.records, 8);
}

bool readSeries(Reader& in, int version, SeriesMarks& series) {
  std::uint64_t section = 0;
  std::uint64_t board = 0;
  std::uint64_t nameSize = 0;
  std::uint64_t items = 0;
  std::string_view name;
  if (!in.number(section, 1) || section > 2 || !in.number(board, 4) || board > INT32_MAX ||
      !in.number(nameSize, 4) || !in.text(nameSize, name) || !in.number(items, 4) ||
      items > kMaxSeriesItems ||
      (version != 1 && !in.number(series.fingerprint, 8))) {
    return false;
  }
  series.section = static_cast<MarkSection>(section);
  series.board = static_cast<int>(board);
  series.name = std::string(name);
  series.items = static_cast<std::uint32_t>(items);
  if (in.left() / 8 < marksWordsFor(series.items)) return false;
  series.bits.resize(marksWordsFor(series.items));
  for (std::uint64_t& word : series.bits) {
    if (!in.number(word, 8)) return false;
  }
  // A mark past the last item would count an item that is not there.
  return series.items % 64 == 0 || series.bits.back() >> (series.items % 64) == 0;
}

}  // namespace

std::size_t marksWordsFor(std::uint32_t items) {
  return (static_cast<std::size_t>(items) + 63) / 64;
}

std::string encodeMarksFile(const MarksFile& file) {
  std::string out(kMagic);
  putNumber(out, kMarksVersion, 4);
  putNumber(out, file.identity, 8);
  putNumber(out, file.records, 8);
  putNumber(out, file.series.size(), 4);
  for (const SeriesMarks& series : file.series) {
    putNumber(out, static_cast<std::uint8_t>(series.section), 1);
    putNumber(out, static_cast<std::uint32_t>(series.board), 4);
    putNumber(out, series.name.size(), 4);
    out += series.name;
    putNumber(out, series.items, 4);
    putNumber(out, series.fingerprint, 8);
    for (const std::uint64_t word : series.bits) putNumber(out, word, 8);
  }
  putNumber(out, checksum(out), 8);
  return out;
}

std::optional<MarksFile> decodeMarksFile(std::string_view bytes) {
  if (bytes.size() < kMagic.size() + 8) return std::nullopt;
  // The checksum covers everything before it: a file cut short or changed
  // is damaged as a whole.
  const std::string_view body = bytes.substr(0, bytes.size() - 8);
  std::uint64_t sum = 0;
  if (!Reader(bytes.substr(body.size())).number(sum, 8) || sum != checksum(body)) {
    return std::nullopt;
  }
  Reader in(body);
  MarksFile file;
  std::uint64_t count = 0;
  if (!readHeader(in, file) || !in.number(count, 4)) return std::nullopt;
  std::set<std::pair<MarkSection, int>> seen;
  for (std::uint64_t k = 0; k < count; ++k) {
    SeriesMarks series;
    if (!readSeries(in, file.version, series)) return std::nullopt;
    // Two marks for one series could only disagree.
    if (!seen.emplace(series.section, series.board).second) return std::nullopt;
    file.series.push_back(std::move(series));
  }
  if (!in.atEnd()) return std::nullopt;
  return file;
}

std::optional<MarksFile> decodeMarksHeader(std::string_view start) {
  Reader in(start);
  MarksFile file;
  if (!readHeader(in, file)) return std::nullopt;
  return file;
}

std::uint64_t marksFileBound(std::uint64_t logBytes, std::uint64_t series,
                             std::uint64_t nameBytes) {
  // A series' bits may round up to a word and its last item may lack the
  // line end.
  const std::uint64_t items = logBytes / kMinItemLineBytes + series;
  return kMarksHeaderBytes + 4 + 8 + series * (kSeriesBytes + 8) + nameBytes + items / 8;
}

}  // namespace zazir

// The state file of the read marks: for each series of one log (the mail,
// a message board, a file board) which of its items were read, one bit an
// item, the whole under a checksum. Little-endian numbers throughout:
//
//   "ZAZIR read marks\n", version (4), identity (8), records (8),
//   series count (4), then per series: section (1), board (4), name size
//   (4), name, items (4), fingerprint (8), ceil(items / 64) words (8 each);
//   last, a checksum (8) of everything before it.
//
// Files of version 1, written before logs were known by their index, lack
// the records and the fingerprints; they are read so that their marks can
// be taken over, and never written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

enum class MarkSection : std::uint8_t { Mail = 0, MessageBoard = 1, FileBoard = 2 };

inline constexpr int kMarksVersion = 2;
// More than any board holds: a count beyond it is damage, not a board.
inline constexpr std::uint32_t kMaxSeriesItems = 1u << 28;
// The fingerprint of a series taken over from a version 1 file.
inline constexpr std::uint64_t kUnknownFingerprint = 0;

struct SeriesMarks {
  MarkSection section = MarkSection::Mail;
  int board = 0;
  std::string name;
  std::uint32_t items = 0;
  // Where its items stand in the log, hashed (seriesFingerprint).
  std::uint64_t fingerprint = kUnknownFingerprint;
  std::vector<std::uint64_t> bits;  // one per item, read when set
};

struct MarksFile {
  int version = kMarksVersion;
  std::uint64_t identity = 0;  // the log's; for version 1 its old key
  std::uint64_t records = 0;   // how many records of the log's index it stands for
  std::vector<SeriesMarks> series;
};

std::size_t marksWordsFor(std::uint32_t items);

// The file's bytes, of the current version.
std::string encodeMarksFile(const MarksFile& file);
// The file, when `bytes` are a whole sound one of either version: the
// checksum holds, no series comes twice, no bit stands past its series'
// last item. None otherwise.
std::optional<MarksFile> decodeMarksFile(std::string_view bytes);

// What the start of a file tells: the version, identity and records (0 for
// version 1), from its first kMarksHeaderBytes bytes (the checksum is not
// seen there, and is not checked).
inline constexpr std::size_t kMarksHeaderBytes = 37;
std::optional<MarksFile> decodeMarksHeader(std::string_view start);

// The size of the largest file a log of `logBytes` bytes can need with
// `series` series whose names take `nameBytes` in all: every item starts a
// line of at least kMinItemLineBytes bytes.
inline constexpr std::uint64_t kMinItemLineBytes = 5;  // "001:" and its line end
std::uint64_t marksFileBound(std::uint64_t logBytes, std::uint64_t series,
                             std::uint64_t nameBytes);

}  // namespace zazir

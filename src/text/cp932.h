// Shift-JIS (code page 932) byte rules. Text inside ZAZIR is CP932 bytes;
// widths and positions are byte counts and a double-byte character is
// never split.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zazir {

class LineStream;

// True for a byte that opens a double-byte character (0x80..0x9F, 0xE0..0xFF).
constexpr bool isLeadByte(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) || byte >= 0xE0;
}
inline bool isLeadByte(char byte) {
  return isLeadByte(static_cast<unsigned char>(byte));
}

// True when a double-byte character starts exactly at `position` of `text`,
// as a walk character by character from its start finds.
bool startsDoubleByte(std::string_view text, std::size_t position);

// The longest prefix length of at most `limit` bytes that does not end
// inside a double-byte character.
std::size_t characterBoundary(std::string_view text, std::size_t limit);

// `text` cut to at most `limit` bytes on a character boundary.
std::string_view cutToBytes(std::string_view text, std::size_t limit);

// Reads one piece of at most `limit` bytes (stopping after a line feed), as
// a byte-limited read into a fixed screen row does. The carry rule keeps a
// double-byte character whole: when the piece was cut by the limit inside a
// character, its lead byte is given back to the stream and begins the next
// piece. Returns false at the end of the stream.
bool readPiece(LineStream& stream, std::string& piece, std::size_t limit);

// readPiece for a pager row: when the piece was cut by the limit right
// before its line end, the line end is taken along, so that a line of
// exactly `limit` bytes does not come back as an extra empty row.
bool readWrappedLine(LineStream& stream, std::string& piece, std::size_t limit);

}  // namespace zazir

#include "text/cp932.h"

#include "platform/linestream.h"

namespace zazir {

bool startsDoubleByte(std::string_view text, std::size_t position) {
  if (position >= text.size() || !isLeadByte(text[position])) return false;
  // A character starts after a byte no character opens with (it ended one),
  // and from there each lead byte takes the next: `position` starts one
  // when an even run of lead bytes comes before it. Rows are judged at
  // their ends, so the walk from the start was a good part of a search.
  std::size_t run = 0;
  while (run < position && isLeadByte(text[position - 1 - run])) ++run;
  return run % 2 == 0;
}

std::size_t characterBoundary(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t at = 0;
  while (at < limit) {
    const std::size_t step = isLeadByte(text[at]) ? 2 : 1;
    if (at + step > limit) break;
    at += step;
  }
  return at;
}

std::string_view cutToBytes(std::string_view text, std::size_t limit) {
  return text.substr(0, characterBoundary(text, limit));
}

bool readPiece(LineStream& stream, std::string& piece, std::size_t limit) {
  if (!stream.readLine(piece, limit)) return false;
  // Only a piece cut by the limit is carried: at the end of the stream the
  // lead byte has nothing to pair with, and giving it back would repeat it
  // forever.
  if (limit >= 2 && piece.size() == limit && piece.back() != '\n' &&
      startsDoubleByte(piece, piece.size() - 1)) {
    piece.pop_back();
    stream.seek(stream.tell() - 1);
  }
  return true;
}

bool readWrappedLine(LineStream& stream, std::string& piece, std::size_t limit) {
  if (!readPiece(stream, piece, limit)) return false;
  if (!piece.empty() && piece.back() == '\n') return true;
  const LogOffset cut = stream.tell();
  std::string rest;
  if (stream.readLine(rest, 2) && (rest == "\n" || rest == "\r\n")) {
    piece += rest;
  } else {
    stream.seek(cut);
  }
  return true;
}

}  // namespace zazir

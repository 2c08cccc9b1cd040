#include "search/hitrow.h"

#include <algorithm>

#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "search/verify.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir::search {

using namespace literals;

namespace {

// How far before a match describeHit looks for its line's start.
constexpr std::size_t kLineLookBack = 4096;
// A Notewall or chat line: the ID in 14 bytes, the marker, the text.
constexpr std::size_t kListedIdBytes = 14;

const std::string& cutMark() {
  return "…"_sj;
}

bool isWordByte(char byte) {
  return byte > ' ' && byte < 0x7F;
}

// The word of ASCII that goes on across `at` (the byte before it and the
// byte at it both belong to it): its start and end; {at, at} when there is
// none or `at` starts no character.
std::pair<std::size_t, std::size_t> wordAcross(std::string_view text, std::size_t at) {
  std::size_t wordStart = std::string_view::npos;
  for (std::size_t k = 0; k < text.size() && k <= at;) {
    const bool pair = isLeadByte(text[k]) && k + 1 < text.size();
    const bool word = !pair && isWordByte(text[k]);
    if (k == at) {
      if (!word || wordStart == std::string_view::npos) break;
      std::size_t end = at;
      while (end < text.size() && isWordByte(text[end])) ++end;
      return {wordStart, end};
    }
    wordStart = !word ? std::string_view::npos : std::min(wordStart, k);
    k += pair ? 2 : 1;
  }
  return {at, at};
}

// `text` in `width` bytes around the match [at, at + bytes), marked where
// it is cut; `matchAt` is told where the match went.
std::string showAround(std::string_view text, std::size_t at, std::size_t bytes, std::size_t width,
                       std::size_t& matchAt) {
  const std::size_t mark = cutMark().size();
  if (width <= 3 * mark) {
    matchAt = at;
    return std::string(cutToBytes(text, width));
  }
  std::size_t begin = 0;
  if (text.size() > width && at + bytes + mark > width) {
    const std::size_t room = width - 2 * mark;
    begin = at > room / 3 ? at - room / 3 : 0;
    if (at + bytes > begin + room) begin = at;  // the match first
    while (begin < at && !isCharStart(text, begin)) ++begin;
    const auto [wordStart, wordEnd] = wordAcross(text, begin);
    if (wordStart < begin) {
      if (at + bytes <= wordStart + room) {
        begin = wordStart;
      } else if (wordEnd <= at) {
        begin = wordEnd;
      }
    }
  }
  std::string shown = begin > 0 ? cutMark() : std::string();
  matchAt = at - begin + shown.size();
  const std::string_view rest = text.substr(begin);
  const std::size_t room = width - shown.size();
  if (rest.size() <= room) return shown.append(rest);
  std::size_t end = characterBoundary(rest, room - mark);
  const auto [wordStart, wordEnd] = wordAcross(rest, end);
  if (wordStart < end && wordStart > 0 && begin + wordStart >= at + bytes) end = wordStart;
  while (end > 0 && begin + end > at + bytes && rest[end - 1] == ' ') --end;
  return shown.append(rest.substr(0, end)).append(cutMark());
}

}  // namespace

std::string cutMarked(std::string_view text, std::size_t width) {
  if (text.size() <= width) return std::string(text);
  const std::size_t mark = cutMark().size();
  std::string_view kept = cutToBytes(text, width > mark ? width - mark : 0);
  while (!kept.empty() && kept.back() == ' ') kept.remove_suffix(1);
  return std::string(kept) + cutMark();
}

HitRow describeHit(LineStream& log, const LogIndex& index, const SearchHit& hit,
                   std::size_t width) {
  HitRow row;
  std::string line;
  const bool listed = hit.section == HitSection::Notewall || hit.section == HitSection::ChatBoard;
  if (hit.section == HitSection::Mail) {
    row.title = index.mails[static_cast<std::size_t>(hit.item)].title;
  } else if (hit.section == HitSection::MessageBoard || hit.section == HitSection::FileBoard) {
    log.seek(hit.itemOffset);
    const int lines = hit.section == HitSection::MessageBoard ? 3 : 1;
    for (int k = 0; k < lines; ++k) log.readLine(line);
    row.title = hit.section == HitSection::MessageBoard ? messageTitle(line) : line;
    stripLineEnd(row.title);
  } else {
    log.seek(hit.itemOffset);
    log.readLine(line, kListedIdBytes);
    stripLineEnd(line);
    row.title = line.substr(0, line.find_last_not_of(' ') + 1);
  }
  // The matching line from its start, when that is near; else from the match.
  const LogOffset from =
      std::max(hit.matchOffset - static_cast<LogOffset>(kLineLookBack), LogOffset{0});
  log.seek(from);
  std::string text;
  LogOffset lineStart = hit.matchOffset;
  std::string_view piece;
  while (log.tell() <= hit.matchOffset && log.readLineView(piece, 2 * kLineLookBack)) {
    const LogOffset pieceStart = log.tell() - static_cast<LogOffset>(piece.size());
    if (pieceStart > hit.matchOffset) break;
    const bool afterFeed = pieceStart == 0 || pieceStart > from;
    if (afterFeed && pieceStart <= hit.matchOffset && log.tell() > hit.matchOffset) {
      lineStart = pieceStart;
      text.assign(piece);
    }
  }
  if (text.empty()) {
    log.seek(hit.matchOffset);
    log.readLine(text, 2 * kLineLookBack);
  }
  stripLineEnd(text);
  std::size_t at = static_cast<std::size_t>(hit.matchOffset - lineStart);
  std::size_t bytes = hit.matchBytes;
  bool inId = false;
  // The ID has a column of its own.
  if (listed && lineStart == hit.itemOffset) {
    const std::size_t idBytes = std::min(text.size(), kListedIdBytes + 1);
    inId = at < idBytes;
    at = inId ? 0 : at - idBytes;
    bytes = inId ? 0 : bytes;
    text.erase(0, idBytes);
  }
  at = std::min(at, text.size());
  row.line = showAround(text, at, std::min(bytes, text.size() - at), width, row.matchAt);
  if (inId) row.matchAt = std::string::npos;
  return row;
}

}  // namespace zazir::search

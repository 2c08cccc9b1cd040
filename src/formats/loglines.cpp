#include "formats/loglines.h"

#include "text/cp932.h"

namespace zazir {

bool readWholeLine(LineStream& stream, std::string& line, std::size_t keep) {
  line.clear();
  bool read = false;
  bool cut = false;
  std::string_view piece;
  while (stream.readLineView(piece, kLineLimit)) {
    read = true;
    if (!cut) line += piece;
    if (piece.back() == '\n') break;
    cut = line.size() > keep;  // the rest is only read past
  }
  if (cut || withoutLineEnd(line).size() > keep) line.resize(characterBoundary(line, keep));
  return read;
}

void copyCleanLines(LineStream& stream, LogOffset end,
                    const std::function<bool(std::string_view)>& stops, const TextSink& put) {
  std::string text;
  std::string_view piece;
  while ((end < 0 || stream.tell() < end) && stream.readLineView(piece, kLineLimit)) {
    // As stripLineEnd: the line ends at its first CR, its first TAB is a
    // blank.
    bool dropping = false;
    bool tabDone = false;
    for (bool first = true;; first = false) {
      const bool ends = piece.back() == '\n';
      if (!dropping) {
        text.assign(piece.substr(0, piece.size() - ends));
        if (const std::size_t cr = text.find('\r'); cr != std::string::npos) {
          text.resize(cr);
          dropping = true;
        }
        if (const std::size_t tab = tabDone ? std::string::npos : text.find('\t');
            tab != std::string::npos) {
          text[tab] = ' ';
          tabDone = true;
        }
        if (first && stops(text)) return;
        if (!put(text)) return;
      }
      if (ends || !stream.readLineView(piece, kLineLimit)) break;
    }
    if (!put("\n")) return;
  }
}

std::string_view withoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

bool isUsableBackLogName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace zazir

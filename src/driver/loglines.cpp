#include "driver/loglines.h"

namespace zazir {

bool readWholeLine(LineStream& stream, std::string& line) {
  line.clear();
  std::string_view piece;
  while (stream.readLineView(piece, kLineLimit)) {
    line += piece;
    if (line.back() == '\n') return true;
  }
  return !line.empty();
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

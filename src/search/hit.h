// One hit of the whole-log search: the item a reader shows it in, and the
// match itself.
#pragma once

#include <cstdint>

#include "platform/linestream.h"

namespace zazir::search {

enum class HitSection : std::uint8_t { Mail, MessageBoard, FileBoard, Notewall, ChatBoard };

struct SearchHit {
  HitSection section = HitSection::Mail;
  int board = 0;   // index into the index's table of that kind; 0 for mail and the Notewall
  int item = 0;    // the mail, message, entry or line, from 0
  int number = 0;  // the message number, the file number, else item + 1
  LogOffset itemOffset = 0;   // where the item starts
  LogOffset matchOffset = 0;  // the match's first byte
  std::uint32_t matchBytes = 0;
  bool operator==(const SearchHit&) const = default;
};

}  // namespace zazir::search

// The lines --search prints for the hits of a log: log, section, board,
// number, ID, title and the matching line, tab-separated, in the output's
// codeset.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "export/outputtext.h"
#include "export/utf8text.h"
#include "formats/logindex.h"
#include "platform/linestream.h"
#include "search/hit.h"

namespace zazir {

class HitPrinter {
 public:
  // Offered whole lines: writes and takes them, or leaves them to be
  // offered again with more; false when they cannot go out, which ends the
  // search.
  using Sink = std::function<bool(std::string& lines)>;

  // `lineByLine`: each line is offered as it is found (a person at a
  // terminal watches them come). `kept`: the most bytes the sink may leave,
  // made room for at once rather than by growing.
  HitPrinter(Sink sink, bool lineByLine, std::size_t kept = 0);

  // The log the hits that follow are in. Its name is the system's own and
  // goes out as it is.
  void startLog(const std::string& name, LineStream& log, const LogIndex& index);
  // False when the output failed.
  bool print(const search::SearchHit& hit);
  // The lines not taken yet, for the end of the log.
  std::string& pending() { return pending_; }

  std::uint64_t replacedBytes() const { return decoder_.replacedBytes(); }

 private:
  struct Item {
    search::HitSection section = search::HitSection::Mail;
    int board = -1;
    int item = -1;
    bool operator==(const Item&) const = default;
  };

  void appendItemFields(const search::SearchHit& hit);
  std::string_view firstLine(const search::SearchHit& hit);
  void appendField(std::string_view cp932, std::string& out);

  Sink sink_;
  bool lineByLine_;
  std::string pending_;
  std::size_t offerAt_;  // the size of pending_ that offers it next
  std::string logName_;
  LineStream* log_ = nullptr;
  const LogIndex* index_ = nullptr;
  std::string line_;
  Item item_;
  std::string itemFields_;  // the log's name and the item's fields, in UTF-8
  std::string fields_;      // a line in UTF-8 before it is converted
  OutputText output_;
  Utf8Decoder decoder_;
};

}  // namespace zazir

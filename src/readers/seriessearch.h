// A reader's search through its series: the matches it would show, looked
// for a block of the log at a time, an item read only when a match lies in
// it.
#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "readers/series.h"
#include "search/anchor.h"
#include "search/rangesearch.h"

namespace zazir {

struct OpenLog;

// A match as the reader shows it: in which item, and the bytes of each of
// its lines and header lines drawn in reverse video.
struct ShownMatch {
  int item = -1;
  search::RangeMatch match;
  int line = -1;  // the first body line it touches; -1: a header line
  std::vector<std::vector<std::size_t>> lines;
  std::vector<std::vector<std::size_t>> header;
};

// How the reader shows `match`; none when it does not (past the text
// shown, between items).
std::optional<ShownMatch> showMatch(LineStream& log, const Series& series,
                                    const search::RangeMatch& match);

class SeriesSearch {
 public:
  SeriesSearch(OpenLog& log, const Series& series, std::string_view text);

  // The first match shown that starts after `after` (-1: anywhere) and
  // before `until`, looked for from `from`, a character start.
  std::optional<ShownMatch> forward(LogOffset from, LogOffset after, LogOffset until);
  // The last match shown that starts before `before` and not before
  // `notBefore`.
  std::optional<ShownMatch> backward(LogOffset before, LogOffset notBefore);

 private:
  const std::optional<Article>& loaded(int item);
  std::optional<ShownMatch> shown(const search::RangeMatch& match);
  std::vector<std::pair<LogOffset, LogOffset>> shownParts(int item);
  std::vector<search::RangeMatch> matchesShownIn(LogOffset from, LogOffset to);

  OpenLog& log_;
  const Series& series_;
  search::SearchPattern pattern_;
  search::Anchor anchor_;
  std::unique_ptr<LineStream> opened_;
  LineStream* blocks_ = nullptr;
  int loadedItem_ = -1;
  std::optional<Article> loaded_;
};

}  // namespace zazir

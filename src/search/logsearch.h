// The search over the whole log: every place where the pattern matches in
// something a reader shows (a mail, a message, a file entry, a Notewall
// line, a chat board's new line), found at the speed of reading the file.
// The scan goes on in pieces, so that a screen can show the first hits, a
// progress row and stop it, keeping what was found.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/logindex.h"
#include "platform/linestream.h"
#include "platform/windowstream.h"
#include "search/anchor.h"
#include "search/fold.h"
#include "search/hitplaces.h"

namespace zazir::search {

// Takes each hit in log order; false stops the scan after it.
using HitSink = std::function<bool(const SearchHit&)>;
// Told how far the scan is; false stops it (the hits so far stay found).
using SearchProgress = std::function<bool(LogOffset scanned, LogOffset total)>;

// The buffer of the streams the scan reads in blocks: small enough that a
// block stays in the processor's cache while its hits are placed and
// printed (a block of a megabyte took a quarter longer).
inline constexpr std::size_t kSearchBlockBytes = 256 << 10;
// How far past a match the places and lines of its hit are read.
inline constexpr std::size_t kNearHitReach = 16 << 10;
// What the scan's block keeps before the place it goes on from: the mail
// or message a hit lies in mostly starts there, and is read there.
inline constexpr std::size_t kSearchLookBehind = 32 << 10;

// Opens the log anew with a buffer of the given size (a FileLineStream);
// null when it cannot.
using StreamOpener = std::function<std::unique_ptr<LineStream>(std::size_t bufferBytes)>;
// How often searchLog tells its progress.
inline constexpr std::size_t kProgressBytes = 8 << 20;

// Where a scan stands, to go on from there later: a few hundred bytes.
struct SearchPoint {
  LogOffset windowBase = 0;
  LogOffset cursor = 0;
  LogOffset lastHitEnd = -1;
  bool finished = false;
  LocatorState locator;
};

// An index made as the log is searched, into `index`: from the first match
// on, each block the scan reads is indexed before its matches are placed,
// so that the log is read once (what lies before the first match's block
// is read through `earlier`, the same log). A log in which nothing matches
// is not indexed at all.
struct IndexAsRead {
  LogIndex& index;
  LineStream& earlier;
};

// How far past a block's last place the index is made: past the parts that
// may start beyond a hit and still decide where it is shown.
inline constexpr LogOffset kIndexAhead = 12 << 10;
// How far past a match the boards are walked when the index is made as the
// log is read (where nothing is saved to go on from), as far as the index
// tells where each board ends.
inline constexpr LogOffset kBoardWalkAhead = 16 << 10;
// ...and within the block, where that is read from.
static_assert(kIndexAhead < static_cast<LogOffset>(kNearHitReach));

class LogSearch {
 public:
  // Reads the log of `size` bytes once from start to end, and the boards
  // that hold hits, through streams that `open` gives; `log` (the same log)
  // is read here and there to place a hit.
  LogSearch(const LogIndex& index, const StreamOpener& open, LineStream& log, LogOffset size,
            SearchPattern pattern);
  // `anchor`: the one chosen for the logs searched before, when there were
  // any (choosing takes as long as scanning a part of the log).
  LogSearch(IndexAsRead index, const StreamOpener& open, LineStream& log, LogOffset size,
            SearchPattern pattern, std::optional<Anchor> anchor = {});
  ~LogSearch();

  // Scans at least `bytes` further (less at the end), handing the hits to
  // `found`. False when `found` asked to stop; the next call goes on after
  // that hit.
  bool scan(std::size_t bytes, const HitSink& found);

  // Where the scan stands now; resume() goes on from such a point, which
  // gives the same hits again. Only for a search with the index at hand.
  SearchPoint point() const;
  void resume(const SearchPoint& point);

  // The log as far as the scan's block holds it, and `log` elsewhere: for
  // reading what a hit is in while `found` is told of it.
  LineStream& nearHits() { return logView_; }

  bool finished() const { return finished_; }
  const Anchor& anchor() const { return anchor_; }
  LogOffset scanned() const { return cursor_; }
  LogOffset size() const { return size_; }

 private:
  bool scanWindow(std::string_view data, LogOffset base, std::size_t end, bool last,
                  const HitSink& found);
  bool onLastHitLine(std::string_view data, LogOffset base, std::size_t at) const;

  HitLocator& locator();

  LogSearch(const LogIndex& index, LogIndex* building, LineStream* earlier,
            const StreamOpener& open, LineStream& log, LogOffset size, SearchPattern pattern,
            std::optional<Anchor> anchor);
  // Shows the scan's block to the streams that read near the hits.
  void showBlock();

  const LogIndex& index_;
  LogIndex* building_;  // the index made as the log is read, if it is
  std::unique_ptr<LineStream> blocks_;
  std::unique_ptr<LineStream> boardBlocks_;  // where a board walk leaves the block
  WindowStream logView_;
  WindowStream boardView_;
  std::optional<WindowStream> indexView_;
  std::unique_ptr<LogIndexer> indexer_;  // from the first match on, when building
  LogOffset size_;
  SearchPattern pattern_;
  std::unique_ptr<HitLocator> locator_;
  Anchor anchor_;
  // Bytes a window keeps before and after the places it judges: the most a
  // match can take.
  std::size_t margin_ = 0;
  LogOffset cursor_ = 0;       // every candidate before it was handled
  LogOffset lastHitEnd_ = -1;  // while the last hit's line goes on: one hit per line
  bool finished_ = false;
  // The window whose candidates a scan stopped in, and the next to judge.
  struct Window {
    LogOffset base;
    std::size_t end;
    std::size_t from;  // where the candidates were looked for from
    std::size_t next;
  };
  std::optional<Window> window_;
  std::vector<std::uint32_t> candidates_;
  std::vector<SearchHit> places_;
};

struct SearchOutcome {
  std::size_t hits = 0;
  bool complete = false;  // false: stopped by `found` or `progress`
};

// Scans the whole log, telling the progress every kProgressBytes.
SearchOutcome searchLog(LogSearch& search, const HitSink& found, const SearchProgress& progress);

}  // namespace zazir::search

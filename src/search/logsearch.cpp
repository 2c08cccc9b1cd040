#include "search/logsearch.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "search/hitplaces.h"
#include "search/verify.h"
#include "text/cp932.h"

namespace zazir::search {

LogSearch::LogSearch(const LogIndex& index, const StreamOpener& open, LineStream& log,
                     LogOffset size, SearchPattern pattern)
    : LogSearch(index, nullptr, nullptr, open, log, size, std::move(pattern), std::nullopt) {
  if (!finished_) locator();  // with the index at hand, the places are read at once
}

LogSearch::LogSearch(IndexAsRead index, const StreamOpener& open, LineStream& log, LogOffset size,
                     SearchPattern pattern, std::optional<Anchor> anchor)
    : LogSearch(index.index, &index.index, &index.earlier, open, log, size, std::move(pattern),
                std::move(anchor)) {}

LogSearch::LogSearch(const LogIndex& index, LogIndex* building, LineStream* earlier,
                     const StreamOpener& open, LineStream& log, LogOffset size,
                     SearchPattern pattern, std::optional<Anchor> anchor)
    : index_(index),
      building_(building),
      blocks_(open(kSearchBlockBytes + kSearchLookBehind)),
      boardBlocks_(open(kSearchBlockBytes)),
      logView_(log),
      boardView_(boardBlocks_ ? *boardBlocks_ : log),
      size_(size),
      pattern_(std::move(pattern)),
      margin_(matchMargin(pattern_)) {
  if (earlier) indexView_.emplace(*earlier);
  finished_ = pattern_.units.empty() || size_ <= 0 || !blocks_ || !boardBlocks_;
  if (finished_) return;
  blocks_->seek(0);
  anchor_ =
      anchor ? std::move(*anchor) : chooseAnchor(pattern_, blocks_->buffered(kSearchBlockBytes));
}

LogSearch::~LogSearch() = default;

SearchPoint LogSearch::point() const {
  SearchPoint point{0, cursor_, lastHitEnd_, finished_, {}};
  if (!locator_) return point;
  point.windowBase = blocks_->tell();
  point.locator = locator_->state();
  return point;
}

void LogSearch::resume(const SearchPoint& point) {
  if (!locator_) return;
  logView_.hide();
  boardView_.hide();
  if (indexView_) indexView_->hide();
  cursor_ = point.cursor;
  lastHitEnd_ = point.lastHitEnd;
  finished_ = point.finished;
  blocks_->seek(point.windowBase);
  locator_->restore(point.locator);
  window_.reset();
}

bool LogSearch::scan(std::size_t bytes, const HitSink& found) {
  const LogOffset target = cursor_ + static_cast<LogOffset>(bytes);
  while (!finished_ && cursor_ < target) {
    const LogOffset base = blocks_->tell();
    const std::string_view data = blocks_->buffered(kSearchBlockBytes);
    showBlock();
    const std::size_t from = static_cast<std::size_t>(cursor_ - base);
    // A match near the block's end is left to the next block, which holds
    // what is read past it to place it (its line, the rows and lines after
    // it): a block as large as the scan's.
    const std::size_t reach = data.size() >= 4 * kNearHitReach ? kNearHitReach : 0;
    const std::size_t kept = std::max(margin_, reach);
    // A buffer too small to keep a match's margins ends the scan too. A
    // scan stopped near a window's end goes on in the same window.
    const bool last = base + static_cast<LogOffset>(data.size()) >= size_ ||
                      data.size() < std::max(from + kept, 2 * kept + margin_ + 1);
    const std::size_t end = last ? data.size() : data.size() - kept;
    if (!scanWindow(data, base, end, last, found)) return false;
    if (last) {
      finished_ = true;
      break;
    }
    // The next window starts on a character, early enough for a match
    // that begins before this one's end.
    std::size_t keep = end - margin_;
    if (!isCharStart(data, keep)) --keep;
    blocks_->skip(keep);
  }
  return true;
}

void LogSearch::showBlock() {
  LogOffset start = 0;
  const std::string_view held = blocks_->held(start);
  const bool toEnd = start + static_cast<LogOffset>(held.size()) >= size_;
  logView_.show(held, start, toEnd);
  boardView_.show(held, start, toEnd);
  if (indexView_) indexView_->show(held, start, toEnd);
}

bool LogSearch::onLastHitLine(std::string_view data, LogOffset base, std::size_t at) const {
  if (lastHitEnd_ < 0) return false;
  const std::size_t from = static_cast<std::size_t>(std::max(lastHitEnd_ - base, LogOffset{0}));
  // A match that overlaps the last one is on its line too.
  return at < from || std::memchr(data.data() + from, '\n', at - from) == nullptr;
}

HitLocator& LogSearch::locator() {
  if (!locator_) {
    if (building_) indexer_ = std::make_unique<LogIndexer>(*indexView_, *building_);
    locator_ = std::make_unique<HitLocator>(index_, logView_, boardView_, size_,
                                            building_ ? kBoardWalkAhead : 0);
  }
  return *locator_;
}

bool LogSearch::scanWindow(std::string_view data, LogOffset base, std::size_t end, bool last,
                           const HitSink& found) {
  const std::size_t from = static_cast<std::size_t>(cursor_ - base);
  const LogOffset indexLimit = last ? std::numeric_limits<LogOffset>::max()
                                    : base + static_cast<LogOffset>(end) + kIndexAhead;
  // A scan stopped by `found` goes on with the candidates of its window.
  if (!window_ || window_->base != base || window_->end != end) {
    window_ = Window{base, end, from, 0};
    candidates_.clear();
    if (end > from) {
      // The last byte of the log has no byte after it for the pair test:
      // its first byte alone makes it a candidate.
      const std::size_t paired = last ? end - from - 1 : end - from;
      findCandidates(data.data() + from, paired, anchor_, candidates_);
      if (last && std::any_of(anchor_.tests.begin(), anchor_.tests.end(), [&](const PairTest& t) {
            return t.first.contains(static_cast<std::uint8_t>(data[end - 1]));
          })) {
        candidates_.push_back(static_cast<std::uint32_t>(paired));
      }
    }
  }
  while (window_->next < candidates_.size()) {
    const std::size_t at = window_->from + candidates_[window_->next++];
    if (at < from) continue;
    std::size_t start = 0;
    std::size_t stop = 0;
    if (!matchAround(data, at, pattern_, anchor_, start, stop) || onLastHitLine(data, base, start))
      continue;
    places_.clear();
    HitLocator& located = locator();
    // The index holds every part that may decide where a match of this
    // block is shown; it is read from the block itself.
    if (indexer_) indexer_->indexTo(indexLimit);
    // A board's pieces are judged by where it ends: as far as the index
    // knows the boards.
    located.place(base + static_cast<LogOffset>(start), base + static_cast<LogOffset>(stop),
                  places_, indexLimit - static_cast<LogOffset>(kLineLimit) - 1);
    if (places_.empty()) continue;
    lastHitEnd_ = base + static_cast<LogOffset>(stop);
    cursor_ = base + static_cast<LogOffset>(at) + 1;
    bool goOn = true;
    for (SearchHit& hit : places_) {
      hit.matchOffset = base + static_cast<LogOffset>(start);
      hit.matchBytes = static_cast<std::uint32_t>(stop - start);
      goOn = found(hit) && goOn;
    }
    if (!goOn) return false;
  }
  window_.reset();
  if (!onLastHitLine(data, base, end)) lastHitEnd_ = -1;
  cursor_ = base + static_cast<LogOffset>(end);
  return true;
}

SearchOutcome searchLog(LogSearch& search, const HitSink& found, const SearchProgress& progress) {
  SearchOutcome outcome;
  const HitSink counted = [&](const SearchHit& hit) {
    ++outcome.hits;
    return found(hit);
  };
  while (!search.finished()) {
    if (!search.scan(kProgressBytes, counted)) return outcome;
    if (progress && !progress(search.scanned(), search.size())) return outcome;
  }
  outcome.complete = true;
  return outcome;
}

}  // namespace zazir::search

#include "search/hitpages.h"

#include <algorithm>

namespace zazir::search {

namespace {

// A page that ends this far past the last point is kept as well, and such
// a point stays when the others thin out: finding a page again never reads
// much more of the log than finding it first did.
constexpr LogOffset kPointBytes = LogOffset{64} << 20;

}  // namespace

HitPages::HitPages(LogSearch& search, std::size_t pageRows, std::size_t maxPoints)
    : search_(search),
      pageRows_(std::max<std::size_t>(pageRows, 1)),
      maxPoints_(std::max<std::size_t>(maxPoints, 2)) {
  points_.push_back({0, search_.point()});
}

void HitPages::scanOn(std::size_t bytes, std::size_t wanted) {
  const LogOffset goal = search_.scanned() + static_cast<LogOffset>(bytes);
  bool pointDue = false;
  const HitSink take = [&](const SearchHit& hit) {
    const std::size_t before = found_++;
    if (found_ / pageRows_ != before / pageRows_) {
      const Point& last = points_.back();
      pointDue = pointDue || found_ - last.hits >= pageRows_ * pagesApart_ ||
                 hit.matchOffset - last.at.cursor >= kPointBytes;
    }
    return !pointDue && found_ < wanted;
  };
  while (!search_.finished() && found_ < wanted && search_.scanned() < goal) {
    search_.scan(static_cast<std::size_t>(goal - search_.scanned()), take);
    if (pointDue) keepPoint();
    pointDue = false;
  }
}

void HitPages::keepPoint() {
  points_.push_back({found_, search_.point()});
  if (points_.size() <= maxPoints_) return;
  // Every other point goes, but the first and the last, and those whose
  // going would leave a long stretch of the log without one.
  pagesApart_ *= 2;
  std::size_t kept = 1;
  for (std::size_t k = 1; k < points_.size(); ++k) {
    const bool last = k + 1 == points_.size();
    const bool wideGap =
        !last && points_[k + 1].at.cursor - points_[kept - 1].at.cursor >= kPointBytes;
    if (k % 2 == 0 || last || wideGap) points_[kept++] = points_[k];
  }
  points_.resize(kept);
}

const std::vector<SearchHit>& HitPages::page(std::size_t page) {
  if (shownValid_ && shownPage_ == page && (shownFound_ == found_ || shown_.size() == pageRows_)) {
    return shown_;
  }
  shown_.clear();
  shownValid_ = true;
  shownPage_ = page;
  shownFound_ = found_;
  const std::size_t first = page * pageRows_;
  if (first >= found_) return shown_;
  const std::size_t end = std::min(first + pageRows_, found_);
  // The last point at or before the page's first hit; the first point
  // stands before every hit.
  const auto after =
      std::upper_bound(points_.begin(), points_.end(), first,
                       [](std::size_t hits, const Point& p) { return hits < p.hits; });
  const Point& from = *std::prev(after);
  const SearchPoint frontier = search_.point();
  search_.resume(from.at);
  std::size_t next = from.hits;
  const HitSink take = [&](const SearchHit& hit) {
    if (next >= first && next < end) shown_.push_back(hit);
    ++next;
    return next < end;
  };
  while (next < end && !search_.finished()) {
    search_.scan(static_cast<std::size_t>(search_.size() - search_.scanned()) + 1, take);
  }
  search_.resume(frontier);
  return shown_;
}

}  // namespace zazir::search

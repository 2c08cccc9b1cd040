// The hits of a whole-log search, a page at a time, in memory that does not
// grow with their number: the scan keeps a bounded number of points it
// passed, and a page is found again from the nearest point before it.
#pragma once

#include <cstddef>
#include <vector>

#include "search/logsearch.h"

namespace zazir::search {

class HitPages {
 public:
  // The most points kept: when they are more, every other one goes and
  // the points stand twice as many pages apart.
  static constexpr std::size_t kMaxPoints = 16384;

  HitPages(LogSearch& search, std::size_t pageRows, std::size_t maxPoints = kMaxPoints);

  // Scans on at least `bytes` further (less at the end), or until `wanted`
  // hits are found.
  void scanOn(std::size_t bytes, std::size_t wanted);

  std::size_t found() const { return found_; }
  bool finished() const { return search_.finished(); }
  LogSearch& search() { return search_; }

  // The hits of page `page` (from 0) that the scan has found.
  const std::vector<SearchHit>& page(std::size_t page);

 private:
  struct Point {
    std::size_t hits;  // found before it
    SearchPoint at;
  };
  void keepPoint();

  LogSearch& search_;
  std::size_t pageRows_;
  std::size_t maxPoints_;
  std::size_t pagesApart_ = 1;
  std::size_t found_ = 0;
  std::vector<Point> points_;
  bool shownValid_ = false;
  std::size_t shownPage_ = 0;
  std::size_t shownFound_ = 0;  // found_ when shown_ was read
  std::vector<SearchHit> shown_;
};

}  // namespace zazir::search

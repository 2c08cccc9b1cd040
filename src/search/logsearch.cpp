#include "search/logsearch.h"

#include <algorithm>
#include <cstring>

#include "formats/boardlog.h"
#include "search/hitplaces.h"
#include "search/verify.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir::search {

namespace {

// How far before a match describeHit looks for its line's start.
constexpr std::size_t kLineLookBack = 4096;

}  // namespace

LogSearch::LogSearch(const LogIndex& index, const StreamOpener& open, LineStream& log,
                     LogOffset size, SearchPattern pattern)
    : LogSearch([&index]() -> const LogIndex& { return index; }, open, log, size,
                std::move(pattern)) {
  if (!finished_) locator();  // with the index at hand, the places are read at once
}

LogSearch::LogSearch(IndexSource index, const StreamOpener& open, LineStream& log, LogOffset size,
                     SearchPattern pattern, std::optional<Anchor> anchor)
    : index_(std::move(index)),
      log_(log),
      blocks_(open(kSearchBlockBytes)),
      boardBlocks_(open(kSearchBlockBytes)),
      size_(size),
      pattern_(std::move(pattern)),
      margin_(matchMargin(pattern_)) {
  finished_ = pattern_.units.empty() || size_ <= 0 || !blocks_ || !boardBlocks_;
  if (finished_) return;
  blocks_->seek(0);
  anchor_ =
      anchor ? std::move(*anchor) : chooseAnchor(pattern_, blocks_->buffered(kSearchBlockBytes));
}

LogSearch::~LogSearch() = default;

bool LogSearch::scan(std::size_t bytes, const HitSink& found) {
  const LogOffset target = cursor_ + static_cast<LogOffset>(bytes);
  while (!finished_ && cursor_ < target) {
    const LogOffset base = blocks_->tell();
    const std::string_view data = blocks_->buffered(kSearchBlockBytes);
    const std::size_t from = static_cast<std::size_t>(cursor_ - base);
    // A buffer too small to keep a match's margins ends the scan too.
    const bool last = base + static_cast<LogOffset>(data.size()) >= size_ ||
                      data.size() < from + 2 * margin_ + 1;
    const std::size_t end = last ? data.size() : data.size() - margin_;
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

bool LogSearch::onLastHitLine(std::string_view data, LogOffset base, std::size_t at) const {
  if (lastHitEnd_ < 0) return false;
  const std::size_t from = static_cast<std::size_t>(std::max(lastHitEnd_ - base, LogOffset{0}));
  // A match that overlaps the last one is on its line too.
  return at < from || std::memchr(data.data() + from, '\n', at - from) == nullptr;
}

HitLocator& LogSearch::locator() {
  if (!locator_) {
    const LogIndex& index = index_();
    locator_ = std::make_unique<HitLocator>(index, log_, std::move(boardBlocks_), size_);
  }
  return *locator_;
}

bool LogSearch::scanWindow(std::string_view data, LogOffset base, std::size_t end, bool last,
                           const HitSink& found) {
  const std::size_t from = static_cast<std::size_t>(cursor_ - base);
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
  for (const std::uint32_t candidate : candidates_) {
    const std::size_t at = from + candidate;
    std::size_t start = 0;
    std::size_t stop = 0;
    if (!matchAround(data, at, pattern_, anchor_, start, stop) || onLastHitLine(data, base, start))
      continue;
    places_.clear();
    locator().place(base + static_cast<LogOffset>(start), base + static_cast<LogOffset>(stop),
                    places_);
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

HitRow describeHit(LineStream& log, const LogIndex& index, const SearchHit& hit,
                   std::size_t width) {
  HitRow row;
  std::string line;
  if (hit.section == HitSection::Mail) {
    row.title = index.mails[static_cast<std::size_t>(hit.item)].title;
  } else if (hit.section == HitSection::MessageBoard || hit.section == HitSection::FileBoard) {
    log.seek(hit.itemOffset);
    const int lines = hit.section == HitSection::MessageBoard ? 3 : 1;
    for (int k = 0; k < lines; ++k) log.readLine(line);
    row.title = hit.section == HitSection::MessageBoard ? messageTitle(line) : line;
    stripLineEnd(row.title);
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
  // Some text before the match when it fits, else the match first.
  std::size_t begin = at > width / 3 ? at - width / 3 : 0;
  if (at + hit.matchBytes > begin + width) begin = at;
  while (begin < at && !isCharStart(text, begin)) ++begin;
  row.line = std::string(cutToBytes(std::string_view(text).substr(std::min(begin, text.size())), width));
  row.matchAt = at - begin;
  return row;
}

}  // namespace zazir::search

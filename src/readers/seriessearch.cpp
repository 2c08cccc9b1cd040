#include "readers/seriessearch.h"

#include <algorithm>

#include "console/screen.h"
#include "search/logsearch.h"
#include "services/openlog.h"

namespace zazir {

namespace {

// The log is looked through in chunks of about this many bytes, ending on
// an item's start: a match near the start is found without reading far.
constexpr LogOffset kChunkBytes = 256 << 10;
// What anchor suits the log is judged from this much of it.
constexpr std::size_t kSampleBytes = 64 << 10;

struct Row {
  LogOffset start;
  std::size_t size;
  bool header;
  int index;
};

std::optional<ShownMatch> matchShown(const Article& article, int item,
                                     const search::RangeMatch& match) {
  std::vector<Row> rows;
  for (std::size_t k = 0; k < article.header.size(); ++k) {
    // A header line is shown as far as the row goes.
    rows.push_back({article.headerStarts[k],
                    std::min<std::size_t>(article.header[k].size(), kScreenWidth), true,
                    static_cast<int>(k)});
  }
  for (std::size_t k = 0; k < article.lines.size(); ++k) {
    rows.push_back({article.lineStarts[k], article.lines[k].size(), false, static_cast<int>(k)});
  }
  ShownMatch shown{item, match, -1, std::vector<std::vector<std::size_t>>(article.lines.size()),
                   std::vector<std::vector<std::size_t>>(article.header.size())};
  auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& r) {
    return r.start <= match.start && match.start < r.start + static_cast<LogOffset>(r.size);
  });
  if (row == rows.end()) return std::nullopt;
  if (!row->header) shown.line = row->index;
  // A match may go on in the next row when a long line was cut there.
  LogOffset at = match.start;
  const LogOffset stop = match.start + match.bytes;
  while (true) {
    const LogOffset rowEnd = row->start + static_cast<LogOffset>(row->size);
    auto& reversed = row->header ? shown.header[static_cast<std::size_t>(row->index)]
                                 : shown.lines[static_cast<std::size_t>(row->index)];
    for (LogOffset byte = at; byte < std::min(stop, rowEnd); ++byte) {
      reversed.push_back(static_cast<std::size_t>(byte - row->start));
    }
    if (stop <= rowEnd) return shown;
    if (++row == rows.end() || row->start != rowEnd || row->header) return std::nullopt;
    at = rowEnd;
  }
}

std::optional<Article> loadItem(LineStream& log, const Series& series, int item) {
  return loadArticle(log, series.startOf(item), series.endOf(item), *series.layout);
}

}  // namespace

std::optional<ShownMatch> showMatch(LineStream& log, const Series& series,
                                    const search::RangeMatch& match) {
  const int item = series.itemAt(match.start);
  if (item < 0) return std::nullopt;
  const std::optional<Article> article = loadItem(log, series, item);
  return article ? matchShown(*article, item, match) : std::nullopt;
}

SeriesSearch::SeriesSearch(OpenLog& log, const Series& series, std::string_view text)
    : log_(log), series_(series), pattern_(search::compilePattern(text)) {
  opened_ = log.reopen(search::kSearchBlockBytes);
  blocks_ = opened_ ? opened_.get() : &log.stream;
  if (series.count() == 0) return;
  blocks_->seek(series.startOf(0));
  anchor_ = search::chooseAnchor(pattern_, blocks_->buffered(kSampleBytes));
}

// The matches of one item come one after another: it is read once.
const std::optional<Article>& SeriesSearch::loaded(int item) {
  if (item != loadedItem_) {
    loaded_ = loadItem(log_.stream, series_, item);
    loadedItem_ = item;
  }
  return loaded_;
}

std::optional<ShownMatch> SeriesSearch::shown(const search::RangeMatch& match) {
  const int item = series_.itemAt(match.start);
  if (item < 0) return std::nullopt;
  const std::optional<Article>& article = loaded(item);
  return article ? matchShown(*article, item, match) : std::nullopt;
}

// A match shown starts in one of the item's rows: outside them (the rest
// of a long line) none does, and none is looked for. The rows as parts of
// the log, those close together as one.
std::vector<std::pair<LogOffset, LogOffset>> SeriesSearch::shownParts(int item) {
  std::vector<std::pair<LogOffset, LogOffset>> parts;
  const std::optional<Article>& article = loaded(item);
  if (!article) return parts;
  const auto add = [&](LogOffset start, std::size_t size) {
    const LogOffset end = start + static_cast<LogOffset>(size);
    if (!parts.empty() && start - parts.back().second < kChunkBytes) {
      parts.back().second = std::max(parts.back().second, end);
    } else {
      parts.emplace_back(start, end);
    }
  };
  for (std::size_t k = 0; k < article->header.size(); ++k) {
    add(article->headerStarts[k], std::min<std::size_t>(article->header[k].size(), kScreenWidth));
  }
  for (std::size_t k = 0; k < article->lines.size(); ++k) {
    add(article->lineStarts[k], article->lines[k].size());
  }
  return parts;
}

// The matches in [from, to), a character start, but for those outside the
// shown part of an item longer than a chunk: the matches of a chunk stay
// few whatever the length of a line.
std::vector<search::RangeMatch> SeriesSearch::matchesShownIn(LogOffset from, LogOffset to) {
  std::vector<search::RangeMatch> found;
  const auto look = [&](LogOffset start, LogOffset end) {
    const std::vector<search::RangeMatch> part = matchesIn(*blocks_, start, end, pattern_, anchor_);
    found.insert(found.end(), part.begin(), part.end());
  };
  LogOffset at = from;
  const int last = series_.itemAt(to - 1);
  for (int item = std::max(series_.itemAt(from), 0); item <= last && at < to; ++item) {
    const LogOffset next = item + 1 < series_.count() ? series_.startOf(item + 1) : to;
    if (next - series_.startOf(item) <= kChunkBytes) continue;
    look(at, std::min(series_.startOf(item), to));
    // A part starts on a line, or where the reader cut a long one: on a
    // character.
    for (const auto& [start, end] : shownParts(item)) {
      if (end > at && start < to) look(std::max(start, at), std::min(end, to));
    }
    at = std::min(next, to);
  }
  look(at, to);
  return found;
}

std::optional<ShownMatch> SeriesSearch::forward(LogOffset from, LogOffset after, LogOffset until) {
  const std::vector<LogOffset>& starts = series_.pieces.starts;
  for (LogOffset at = from; at < until;) {
    const auto next = std::lower_bound(starts.begin(), starts.end(), at + kChunkBytes);
    const LogOffset end = next == starts.end() ? until : std::min(*next, until);
    for (const search::RangeMatch& match : matchesShownIn(at, end)) {
      if (match.start <= after) continue;
      if (std::optional<ShownMatch> found = shown(match)) return found;
    }
    at = end;
  }
  return std::nullopt;
}

std::optional<ShownMatch> SeriesSearch::backward(LogOffset before, LogOffset notBefore) {
  if (series_.count() == 0) return std::nullopt;
  for (LogOffset at = before; at > notBefore && at > series_.startOf(0);) {
    const int item = std::max(series_.itemAt(std::max(at - kChunkBytes, notBefore)), 0);
    const LogOffset start = series_.startOf(item);
    const std::vector<search::RangeMatch> matches = matchesShownIn(start, at);
    for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
      if (match->start < notBefore) return std::nullopt;
      if (std::optional<ShownMatch> found = shown(*match)) return found;
    }
    at = start;
  }
  return std::nullopt;
}

}  // namespace zazir

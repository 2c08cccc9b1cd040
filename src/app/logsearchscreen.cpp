#include "app/logsearchscreen.h"

#include <chrono>
#include <numeric>
#include <optional>

#include "app/searchscreen.h"
#include "app/startup.h"
#include "console/dialogs.h"
#include "console/listview.h"
#include "export/logfilesearch.h"
#include "formats/logindex.h"
#include "readers/titlelist.h"
#include "search/hitrow.h"
#include "search/logsearch.h"

namespace zazir {

using namespace literals;
using search::SearchHit;

namespace {

constexpr std::size_t kLogBytes = 12;  // an 8.3 name
constexpr std::size_t kWhereBytes = 10;
constexpr std::size_t kNumberBytes = 7;
constexpr std::size_t kTitleBytes = 14;
constexpr std::size_t kLineBytes =
    kListRowBytes - (kLogBytes + 1) - (kWhereBytes + 1) - (kNumberBytes + 1) - (kTitleBytes + 1);
// The heading takes the first row under the bar.
constexpr int kHitRows = kListPageRows - 1;
constexpr auto kProgressAfter = std::chrono::milliseconds(500);

using FoundInLog =
    std::function<bool(const SearchHit& hit, LineStream& log, const LogIndex& index)>;

// Searches one log from its start as --search does, handing each hit to
// `found` until it asks to stop; `goOn` is asked between pieces of the
// scan, not after the last. False when the log cannot be read.
bool scanLog(const ChosenLog& chosen, const search::SearchPattern& pattern,
             std::optional<search::Anchor>& anchor, const FoundInLog& found,
             const std::function<bool()>& goOn) {
  LineStream* log = nullptr;
  const LogIndex* index = nullptr;
  std::string problem;
  return searchLogFile(chosen.osPath, pattern, anchor,
                       {.started = [&](LineStream& opened,
                                       const LogIndex& filled) { log = &opened, index = &filled; },
                        .found = [&](const SearchHit& hit) { return found(hit, *log, *index); },
                        .progress = [&](LogOffset scanned,
                                        LogOffset size) { return scanned >= size || goOn(); }},
                       problem)
      .has_value();
}

struct LogHit {
  std::size_t log = 0;
  SearchHit hit;
};

// The hits of every log: how many each holds, and a page of them at a time.
class LogsHits {
 public:
  LogsHits(Console& console, const std::vector<ChosenLog>& logs, search::SearchPattern pattern)
      : console_(console), logs_(logs), pattern_(std::move(pattern)), counts_(logs.size(), 0) {}

  // Counts the hits of every log; Esc stops, keeping those counted.
  void count();
  std::size_t total() const {
    return std::accumulate(counts_.begin(), counts_.end(), std::size_t{0});
  }
  bool stopped() const { return stopped_; }

  // The rows of hits [first, first + rows), found again in their logs.
  std::vector<std::string> rows(std::size_t first, std::size_t rows);
  const std::vector<LogHit>& shown() const { return shown_; }

 private:
  void drawProgress(std::size_t log, std::size_t hits);

  Console& console_;
  const std::vector<ChosenLog>& logs_;
  search::SearchPattern pattern_;
  std::optional<search::Anchor> anchor_;
  std::vector<std::size_t> counts_;
  std::vector<LogHit> shown_;
  bool stopped_ = false;
};

void LogsHits::count() {
  const auto started = std::chrono::steady_clock::now();
  for (std::size_t k = 0; k < logs_.size() && !stopped_; ++k) {
    std::size_t& hits = counts_[k];
    const FoundInLog counted = [&](const SearchHit&, LineStream&, const LogIndex&) {
      ++hits;
      return true;
    };
    // A log that cannot be read has no hits.
    scanLog(logs_[k], pattern_, anchor_, counted, [&] {
      if (std::chrono::steady_clock::now() - started >= kProgressAfter) drawProgress(k, total());
      stopped_ = console_.escapeTyped();
      return !stopped_;
    });
  }
}

void LogsHits::drawProgress(std::size_t log, std::size_t hits) {
  console_.setCursor(0, console_.bottomRow());
  console_.setBar();
  console_.putText("%-80.80s",
                   formatText("検索中 %i/%i  %i件  ESC:中止"_sj, log + 1, logs_.size(), hits));
  console_.setNormal();
  console_.present();
}

std::vector<std::string> LogsHits::rows(std::size_t first, std::size_t rows) {
  shown_.clear();
  std::vector<std::string> shown;
  std::size_t logStart = 0;
  for (std::size_t k = 0; k < logs_.size() && shown.size() < rows; logStart += counts_[k++]) {
    if (first >= logStart + counts_[k]) continue;
    std::size_t next = logStart;
    const FoundInLog take = [&](const SearchHit& hit, LineStream& log, const LogIndex& index) {
      if (next++ < first) return true;
      const search::HitRow described = describeHit(log, index, hit, kLineBytes);
      shown.push_back(titleColumn(logBaseName(logs_[k].path), kLogBytes) +
                      titleColumn(hitWhere(index, hit), kWhereBytes) +
                      titleColumn(formatText("#%i", hit.number), kNumberBytes) +
                      titleColumn(search::cutMarked(described.title, kTitleBytes), kTitleBytes) +
                      described.line);
      shown_.push_back({k, hit});
      return shown.size() < rows && next < logStart + counts_[k];
    };
    scanLog(logs_[k], pattern_, anchor_, take, [] { return true; });
  }
  return shown;
}

std::string heading(const std::string& text, const LogsHits& hits, std::size_t first,
                    std::size_t shown) {
  return hitsHeading(text, first, shown, hits.total(),
                     hits.stopped() ? HitsFound::Stopped : HitsFound::All);
}

int lastPageOf(std::size_t hits) {
  return hits == 0 ? 0 : static_cast<int>((hits - 1) / kHitRows);
}

}  // namespace

void searchListedLogs(Console& console, const std::vector<ChosenLog>& logs,
                      const SessionOpener& open) {
  const std::string text = promptBox(console, "一覧のログ全部から検索する文字列 無入力：ｷｬﾝｾﾙ"_sj);
  if (text.empty()) return;
  search::SearchPattern pattern = search::compilePattern(text);
  if (pattern.units.empty()) return;
  LogsHits hits(console, logs, std::move(pattern));
  hits.count();
  const std::size_t total = hits.total();
  if (total == 0) {
    console.bell();
    console.showOnce(hits.stopped() ? "検索を中止しました"_sj
                                    : formatText("「%s」は見つかりません"_sj, text));
    return;
  }
  if (hits.stopped()) console.showOnce("検索を中止しました（見つかった分を表示）"_sj);
  ListScreen list(
      {kHitRows},
      [&](int& page) {
        page = std::min(page, lastPageOf(total));
        return hits.rows(static_cast<std::size_t>(page) * kHitRows, kHitRows);
      },
      [&](int, bool) { return lastPageOf(total); });
  list.open(0, 0);
  // The log a hit was read in stays open for the next hit in it.
  std::unique_ptr<LogSession> session;
  std::size_t sessionLog = 0;
  const auto closeSession = [&] {
    if (session) session->leave();
    session.reset();
  };
  try {
    while (true) {
      const ListChoice choice = chooseRow(
          console, list,
          {.heading =
               [&] {
                 return heading(text, hits, static_cast<std::size_t>(list.page()) * kHitRows,
                                hits.shown().size());
               },
           .rowOffset = 1,
           .writes = false});
      if (choice.action == ListAction::Leave) break;
      const LogHit picked = hits.shown()[static_cast<std::size_t>(list.row())];
      if (session && sessionLog != picked.log) closeSession();
      if (!session) {
        session = open(logs[picked.log]);
        sessionLog = picked.log;
      }
      session->reading().search.text = text;
      openSearchHit(session->reading(), picked.hit);
      list.restartAt(list.row());
    }
  } catch (const ProgramExit& exit) {
    if (session) session->end(exit);
    throw;
  }
  closeSession();
}

}  // namespace zazir

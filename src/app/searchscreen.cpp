#include "app/searchscreen.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "app/navigation.h"
#include "chat/chat.h"
#include "console/dialogs.h"
#include "formats/loglines.h"
#include "lists/lists.h"
#include "platform/encoding.h"
#include "readers/titlelist.h"
#include "search/hitpages.h"
#include "search/hitrow.h"
#include "services/app.h"

namespace zazir {

using namespace literals;
using search::HitSection;
using search::SearchHit;

namespace {

constexpr std::size_t kWhereBytes = 10;
constexpr std::size_t kNumberBytes = 8;  // "#" and seven digits
constexpr std::size_t kTitleBytes = 18;
constexpr std::size_t kLineBytes =
    kListRowBytes - (kWhereBytes + 1) - (kNumberBytes + 1) - (kTitleBytes + 1);
// The heading takes the first row under the bar.
constexpr int kHitRows = kListPageRows - 1;

// The scan that finds hits as they are asked for, and the pages of those
// found.
class HitScan {
 public:
  HitScan(App& app, search::LogSearch& search, const SearchPacing& pacing)
      : app_(app), pages_(search, kHitRows), pacing_(pacing) {}

  // Scans on until `wanted` hits are found, the log ends or Esc stops it.
  void scanUntil(std::size_t wanted);
  bool done() const { return stopped_ || pages_.finished(); }
  bool stopped() const { return stopped_; }
  std::size_t found() const { return pages_.found(); }
  const std::vector<SearchHit>& page(int page) {
    return pages_.page(static_cast<std::size_t>(page));
  }

 private:
  void drawProgress();

  App& app_;
  search::HitPages pages_;
  const SearchPacing& pacing_;
  bool stopped_ = false;
};

void HitScan::scanUntil(std::size_t wanted) {
  const auto started = std::chrono::steady_clock::now();
  while (!done() && found() < wanted) {
    pages_.scanOn(pacing_.pieceBytes, wanted);
    if (pages_.finished() || found() >= wanted) break;
    if (std::chrono::steady_clock::now() - started >= pacing_.progressAfter) drawProgress();
    stopped_ = app_.console.escapeTyped();
  }
}

void HitScan::drawProgress() {
  Console& console = app_.console;
  const search::LogSearch& search = pages_.search();
  const LogOffset size = std::max(search.size(), LogOffset{1});
  console.setCursor(0, console.bottomRow());
  console.setBar();
  console.putText("%-80.80s", formatText("検索中 %3i%%  %i件  ESC:中止"_sj,
                                         static_cast<int>(search.scanned() * 100 / size), found()));
  console.setNormal();
  console.present();
}

// The row above the hits: the text, the hits of the page and how many
// there are, or were found so far.
std::string heading(const std::string& text, const HitScan& scan, int page, std::size_t shown) {
  return hitsHeading(text, static_cast<std::size_t>(page) * kHitRows, shown, scan.found(),
                     !scan.done()     ? HitsFound::SoFar
                     : scan.stopped() ? HitsFound::Stopped
                                      : HitsFound::All);
}

}  // namespace

std::string hitWhere(const LogIndex& index, const SearchHit& hit) {
  const auto board = static_cast<std::size_t>(hit.board);
  switch (hit.section) {
    case HitSection::Mail:
      return "メール"_sj;
    case HitSection::MessageBoard:
      return index.messageBoards[board].name;
    case HitSection::FileBoard:
      return index.fileBoards[board].name;
    case HitSection::Notewall:
      return "Notewall";
    case HitSection::ChatBoard:
      return index.chatBoards[board].name;
  }
  return {};
}

std::string hitsHeading(const std::string& text, std::size_t first, std::size_t shown,
                        std::size_t found, HitsFound state) {
  const std::string count = state == HitsFound::SoFar ? formatText("%i件目まで"_sj, found)
                            : state == HitsFound::Stopped
                                ? formatText("%i件目まで（中止）"_sj, found)
                                : formatText("全%i件"_sj, found);
  const std::string place = formatText(" %i～%i件目 / %s"_sj, first + 1, first + shown, count);
  const std::size_t quotes = "検索「」"_sj.size();
  const std::size_t room =
      kListRowBytes > place.size() + quotes ? kListRowBytes - place.size() - quotes : 0;
  return "検索「"_sj + search::cutMarked(text, room) + "」"_sj + place;
}

namespace {

std::string hitRow(App& app, const SearchHit& hit) {
  const search::HitRow described = describeHit(app.log.stream, app.index, hit, kLineBytes);
  return titleColumn(hitWhere(app.index, hit), kWhereBytes) +
         titleColumn(formatText("#%i", hit.number), kNumberBytes) +
         titleColumn(search::cutMarked(described.title, kTitleBytes), kTitleBytes) + described.line;
}

// A chat hit is a line of the log; its list is the board's back-log, which
// holds it once recorded.
void openChatLine(App& app, ListPositions& lists, const SearchHit& hit) {
  std::string line;
  app.log.stream.seek(hit.itemOffset);
  readWholeLine(app.log.stream, line);
  const std::optional<int> listed = backLogLineOf(app, hit.board, line);
  if (!listed) {
    app.console.bell();
    app.console.showOnce("この行はチャットの記録ファイルにありません"_sj);
    return;
  }
  runChatBoard(app, lists, hit.board, *listed);
}

}  // namespace

void openSearchHit(Reading& reading, const SearchHit& hit) {
  App& app = reading.app;
  const ReaderOpening opening{hit.item, search::RangeMatch{hit.matchOffset, hit.matchBytes}};
  switch (hit.section) {
    case HitSection::Mail:
      followReaders(reading, {MarkSection::Mail, 0, hit.item}, opening);
      break;
    case HitSection::MessageBoard:
      followReaders(reading, {MarkSection::MessageBoard, hit.board, hit.item}, opening);
      break;
    case HitSection::FileBoard:
      followReaders(reading, {MarkSection::FileBoard, hit.board, hit.item}, opening);
      break;
    case HitSection::Notewall:
      runNotewallLoop(app, reading.listPositions, hit.item);
      break;
    case HitSection::ChatBoard:
      openChatLine(app, reading.listPositions, hit);
      break;
  }
}

namespace {

int lastPageOf(std::size_t hits) {
  return hits == 0 ? 0 : static_cast<int>((hits - 1) / kHitRows);
}

}  // namespace

void searchWholeLog(Reading& reading, const SearchPacing& pacing) {
  App& app = reading.app;
  const std::string text = promptBox(app.console, "ログ全体から検索する文字列 無入力：ｷｬﾝｾﾙ"_sj);
  if (text.empty()) return;
  reading.search.text = text;
  const search::StreamOpener open = [&app](std::size_t bufferBytes) {
    return app.log.reopen(bufferBytes);
  };
  search::LogSearch search(app.index, open, app.log.stream, app.log.size,
                           search::compilePattern(text));
  HitScan scan(app, search, pacing);
  scan.scanUntil(kHitRows);
  if (scan.found() == 0) {
    app.console.bell();
    app.console.showOnce(scan.stopped() ? "検索を中止しました"_sj
                                        : formatText("「%s」は見つかりません"_sj, text));
    return;
  }
  bool toldStopped = false;
  std::vector<SearchHit> hits;  // the page's
  ListScreen list(
      {kHitRows},
      [&](int& page) {
        scan.scanUntil(static_cast<std::size_t>(page + 1) * kHitRows);
        page = std::min(page, lastPageOf(scan.found()));
        hits = scan.page(page);
        if (scan.stopped() && !std::exchange(toldStopped, true)) {
          app.console.showOnce("検索を中止しました（見つかった分を表示）"_sj);
        }
        std::vector<std::string> rows;
        for (const SearchHit& hit : hits) rows.push_back(hitRow(app, hit));
        return rows;
      },
      [&](int page, bool toEnd) {
        if (toEnd) scan.scanUntil(std::numeric_limits<std::size_t>::max());
        // While more may come, the page after the last one found can be asked for.
        return scan.done() ? lastPageOf(scan.found()) : page + 1;
      });
  list.open(0, 0);
  while (true) {
    const ListChoice choice =
        chooseFromList(app, list,
                       {.heading = [&] { return heading(text, scan, list.page(), hits.size()); },
                        .rowOffset = 1,
                        .writes = false});
    if (choice.action == ListAction::Leave) return;
    openSearchHit(reading, hits[static_cast<std::size_t>(list.row())]);
    list.restartAt(list.row());
  }
}

}  // namespace zazir

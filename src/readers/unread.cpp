#include "readers/unread.h"

#include <climits>
#include <vector>

#include "formats/boardlog.h"
#include "platform/encoding.h"
#include "readers/series.h"
#include "services/app.h"

namespace zazir {

using namespace literals;

namespace {

const std::vector<BoardEntry>& boardsOf(const LogIndex& index, MarkSection section) {
  return section == MarkSection::MessageBoard ? index.messageBoards : index.fileBoards;
}

// The first item of `from`..`to` not read; -1 when there is none.
int firstUnread(const App& app, const ReaderPlace& series, int from, int to) {
  for (int item = std::max(from, 0); item < to; ++item) {
    if (!app.marks.isRead(series.section, series.board, item)) return item;
  }
  return -1;
}

// Every series in the menu's order.
std::vector<ReaderPlace> allSeries(const LogIndex& index) {
  std::vector<ReaderPlace> all{{MarkSection::Mail, 0, 0}};
  for (int board = 0; board < index.messageBoardCount(); ++board) {
    all.push_back({MarkSection::MessageBoard, board, 0});
  }
  for (int board = 0; board < index.fileBoardCount(); ++board) {
    all.push_back({MarkSection::FileBoard, board, 0});
  }
  return all;
}

}  // namespace

void trackSeries(App& app, const Series& series) {
  const std::string_view name =
      series.section == MarkSection::Mail
          ? std::string_view("mail")
          : std::string_view(
                boardsOf(app.index, series.section)[static_cast<std::size_t>(series.board)].name);
  app.marks.track(series.section, series.board, name, series.pieces.starts);
}

int trackedUnread(App& app, MarkSection section, int board) {
  if (const std::optional<int> unread = app.marks.unreadCount(section, board)) return *unread;
  if (section == MarkSection::MessageBoard) {
    trackSeries(
        app, messageSeries(indexMessages(app.log.stream, app.index.messageBoards, board), board));
  } else if (section == MarkSection::FileBoard) {
    trackSeries(app,
                fileSeries(indexFileEntries(app.log.stream, app.index.fileBoards, board), board));
  } else {
    trackSeries(app, mailSeries(app.index));
  }
  return app.marks.unreadCount(section, board).value_or(0);
}

void tellNothingUnread(Console& console) {
  console.bell();
  console.showOnce("未読はありません"_sj);
}

void saveReadMarks(Console& console, ReadMarks& marks) {
  if (marks.keep()) return;
  console.showOnce(formatText("既読の記録を保存できません：%s"_sj, fromOsName(marks.path())));
}

std::optional<UnreadFound> findUnread(App& app, const ReaderPlace& after, int count) {
  const ReaderPlace here{after.section, after.board, 0};
  if (const int item = firstUnread(app, here, after.item + 1, count); item >= 0) {
    return UnreadFound{{here.section, here.board, item}, false};
  }
  const std::vector<ReaderPlace> all = allSeries(app.index);
  std::size_t at = 0;
  while (at < all.size() && all[at] != here) ++at;
  // The later series, then those before; the count bounds no search, as a
  // series with unread items has one below it.
  for (std::size_t step = 1; step < all.size(); ++step) {
    const ReaderPlace& series = all[(at + step) % all.size()];
    if (trackedUnread(app, series.section, series.board) <= 0) continue;
    const int item = firstUnread(app, series, 0, INT_MAX);
    return UnreadFound{{series.section, series.board, item}, at + step >= all.size()};
  }
  const int item = firstUnread(app, here, 0, std::min(after.item, count));
  if (item >= 0) return UnreadFound{{here.section, here.board, item}, true};
  return std::nullopt;
}

}  // namespace zazir

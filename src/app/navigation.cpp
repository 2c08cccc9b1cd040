#include "app/navigation.h"

#include "lists/lists.h"
#include "readers/fileboard.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "readers/unread.h"
#include "services/app.h"
#include "writers/boardposts.h"

namespace zazir {

namespace {

const std::vector<BoardEntry>& boardsOf(const App& app, MarkSection section) {
  return section == MarkSection::FileBoard ? app.index.fileBoards : app.index.messageBoards;
}

// The board list opens next on `board`.
void highlightBoard(ListPositions& at, int board) {
  at.boardListPage = board / kListPageRows;
  at.boardListRow = board % kListPageRows;
}

}  // namespace

ReaderPlace followReaders(Reading& reading, ReaderPlace place, const ReaderOpening& opening) {
  App& app = reading.app;
  ReaderOpening next = opening;
  while (true) {
    std::optional<ReaderPlace> left;
    switch (place.section) {
      case MarkSection::Mail:
        left = readMail(app, reading.search, next);
        break;
      case MarkSection::MessageBoard:
        left = readMessageBoard(app, reading.search, reading.listPositions, place.board, next);
        break;
      case MarkSection::FileBoard:
        left = readFileBoard(app, reading.search, reading.downloads, place.board, next);
        break;
    }
    if (!left) return place;
    place = *left;
    next = {place.item};
  }
}

void runBoardLists(Reading& reading, MarkSection section) {
  App& app = reading.app;
  while (true) {
    const std::vector<BoardEntry>& boards = boardsOf(app, section);
    const std::optional<Picked<int>> picked =
        chooseBoard(app, reading.listPositions, boards, section);
    if (!picked) return;
    const BoardEntry& entry = boards[static_cast<std::size_t>(picked->value)];
    if (picked->action == ListAction::Write) {
      if (section == MarkSection::MessageBoard) {
        writeNewPost(app, entry);
      } else {
        writeUpload(app, entry);
      }
      continue;
    }
    const ReaderPlace left = followReaders(reading, {section, picked->value, 0}, {});
    if (left.section == MarkSection::Mail) return;
    section = left.section;
    highlightBoard(reading.listPositions, left.board);
  }
}

void backToBoardList(Reading& reading, const ReaderPlace& left) {
  if (left.section == MarkSection::Mail) return;
  highlightBoard(reading.listPositions, left.board);
  runBoardLists(reading, left.section);
}

void readFirstUnread(Reading& reading) {
  App& app = reading.app;
  const std::optional<UnreadFound> found =
      findUnread(app, {MarkSection::Mail, 0, -1}, app.index.mailCount());
  if (!found) {
    tellNothingUnread(app.console);
    return;
  }
  backToBoardList(reading, followReaders(reading, found->place, {found->place.item}));
}

}  // namespace zazir

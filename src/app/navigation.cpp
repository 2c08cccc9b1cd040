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
void highlightBoard(App& app, int board) {
  app.state.listPositions.boardListPage = board / kListPageRows;
  app.state.listPositions.boardListRow = board % kListPageRows;
}

}  // namespace

ReaderPlace followReaders(App& app, ReaderPlace place, const ReaderOpening& opening) {
  ReaderOpening next = opening;
  while (true) {
    std::optional<ReaderPlace> left;
    switch (place.section) {
      case MarkSection::Mail:
        left = readMail(app, next);
        break;
      case MarkSection::MessageBoard:
        left = readMessageBoard(app, place.board, next);
        break;
      case MarkSection::FileBoard:
        left = readFileBoard(app, place.board, next);
        break;
    }
    if (!left) return place;
    place = *left;
    next = {place.item};
  }
}

void runBoardLists(App& app, MarkSection section) {
  while (true) {
    const std::vector<BoardEntry>& boards = boardsOf(app, section);
    const std::optional<Picked<int>> picked = chooseBoard(app, boards, section);
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
    const ReaderPlace left = followReaders(app, {section, picked->value, 0}, {});
    if (left.section == MarkSection::Mail) return;
    section = left.section;
    highlightBoard(app, left.board);
  }
}

void backToBoardList(App& app, const ReaderPlace& left) {
  if (left.section == MarkSection::Mail) return;
  highlightBoard(app, left.board);
  runBoardLists(app, left.section);
}

void readFirstUnread(App& app) {
  const std::optional<UnreadFound> found =
      findUnread(app, {MarkSection::Mail, 0, -1}, app.index.mailCount());
  if (!found) {
    tellNothingUnread(app.console);
    return;
  }
  backToBoardList(app, followReaders(app, found->place, {found->place.item}));
}

}  // namespace zazir

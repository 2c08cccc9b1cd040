// Going from reader to reader as Tab leads, and back to the lists: the
// board lists and their readers, the next unread item from the main menu.
#pragma once

#include "lists/positions.h"
#include "readers/fileboard.h"
#include "readers/finding.h"
#include "readers/place.h"

namespace zazir {

struct App;

// What the readers and the lists keep across a run, held by the main menu
// that opens them: the last search, the files marked for download that the
// quit offers, and where each list was left.
struct Reading {
  App& app;
  LastSearch search = {};
  DownloadMarks downloads = {};
  ListPositions listPositions = {};
};

// Opens the reader of `place` as `opening` asks, then each reader Tab
// leaves for; gives the place of the reader the user left.
ReaderPlace followReaders(Reading& reading, ReaderPlace place, const ReaderOpening& opening);

// The board list of `section` (message or file boards) and the readers it
// opens, until the user leaves the list; a reader left for another kind of
// board goes back to that kind's list, one left for the mail to the menu.
void runBoardLists(Reading& reading, MarkSection section);

// After a reader was left at `left`: the list of its boards with its board
// highlighted, until the user leaves it; nothing for the mail.
void backToBoardList(Reading& reading, const ReaderPlace& left);

// Tab in the main menu: the first unread item, from the mail on.
void readFirstUnread(Reading& reading);

}  // namespace zazir

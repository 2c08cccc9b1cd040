// The file board reader: the file entries of one file board, one per
// screen, straight out of the log, with the download marks and the upload.
#pragma once

#include <string>
#include <vector>

#include "platform/linestream.h"

namespace zazir {

struct App;
class Console;

// What the reader holds while it is open on one board.
struct FileBoardReader {
  int board = 0;                        // index into app.index.fileBoards
  std::vector<LogOffset> entryOffsets;  // each entry's entry line
  int currentEntry = 0;                 // the entry on screen
  std::string entryLine;                // of the current entry, cleaned up
  int fileNumber = 0;                   // of the current entry
  std::vector<std::string> lineStore;   // its body lines
  int topLine = 0;                      // first body line shown; kept across entries

  int lastEntry() const { return static_cast<int>(entryOffsets.size()) - 1; }
  int lineCount() const { return static_cast<int>(lineStore.size()); }
};

// Runs the reader on file board `board` until the user leaves. A board
// without entries is told with message box 1.
void readFileBoard(App& app, int board);

// Indexes the board's entries into `reader.entryOffsets`; false when it
// has none before its end or a "*CH" line.
bool indexFileBoard(App& app, FileBoardReader& reader);

// Loads the current entry (entry line and body lines) from the log and
// clears the screen; topLine stays. False when nothing can be read there.
bool loadEntry(App& app, FileBoardReader& reader);

// Draws the whole reader screen from what it holds; `marked` shows the
// entry line as a bar.
void drawFileBoard(Console& console, const FileBoardReader& reader, bool marked);

// Whether the current entry's file is in the download list.
bool isDownloadMarked(const App& app, const FileBoardReader& reader);

// Adds the current entry's file to the download list, or removes it (the
// later marks keep their order). A full list is refused with the bell.
void toggleDownloadMark(App& app, const FileBoardReader& reader);

}  // namespace zazir

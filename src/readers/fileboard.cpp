#include "readers/fileboard.h"

#include <algorithm>

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/pager.h"
#include "formats/boardlog.h"
#include "platform/encoding.h"
#include "readers/messageboard.h"
#include "readers/savemessage.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/cp932.h"
#include "text/textutil.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kFirstBodyRow = 1;
// 22 rows are shown, although a page is measured as 20 lines.
constexpr int kBodyRows = 22;
constexpr int kStatusRow = 23;
constexpr int kRightArrowColumn = 76;
constexpr int kScreenColumns = 80;

const BoardEntry& boardOf(const App& app, const FileBoardReader& reader) {
  return app.index.fileBoards[static_cast<std::size_t>(reader.board)];
}

DownloadMark markOf(const App& app, const FileBoardReader& reader) {
  return DownloadMark{boardOf(app, reader).number, reader.fileNumber};
}

// The entry line on row 0, cut to the row, so that a long one does not
// spill into the body.
void drawEntryLine(Console& console, const std::string& line, bool marked) {
  console.setCursor(0, 0);
  console.clearToEndOfLine();
  if (marked)
    console.setBar();
  else
    console.setNormal();
  console.writeText(cutToBytes(line, kScreenColumns));
  console.setNormal();
}

// Indexes the board and loads entry `entry` (or the last one) from its
// first line; false (told with message box 1) when there is nothing to
// show.
bool openBoardAt(App& app, FileBoardReader& reader, int entry) {
  reader.topLine = 0;
  if (indexFileBoard(app, reader)) {
    reader.currentEntry = std::min(entry, reader.lastEntry());
    if (loadEntry(app, reader)) return true;
  }
  messageBox(app.console, MessageId::NoPosts);
  return false;
}

}  // namespace

bool indexFileBoard(App& app, FileBoardReader& reader) {
  reader.entryOffsets.clear();
  LineStream& log = app.log;
  const LogOffset boardEnd = boardEndOffset(app.index.fileBoards, reader.board);
  log.seek(boardOf(app, reader).listOffset);
  std::string line;
  while (true) {
    const LogOffset start = log.tell();
    if (!log.readLine(line)) break;
    stripLineEnd(line);
    if (endsFileBoard(line)) break;
    // The line that ends at the next board's listing line is still this
    // board's: an entry without a description may stand there, and left
    // out it could be neither read nor marked.
    const bool lastLine = boardEnd >= 0 && log.tell() >= boardEnd;
    if (entryFileNumber(line) > 0 && (!lastLine || log.tell() == boardEnd)) {
      reader.entryOffsets.push_back(start);
    }
    if (lastLine) break;
  }
  return !reader.entryOffsets.empty();
}

bool loadEntry(App& app, FileBoardReader& reader) {
  LineStream& log = app.log;
  reader.lineStore.clear();
  app.console.clearScreen();

  const int current = reader.currentEntry;
  log.seek(reader.entryOffsets[static_cast<std::size_t>(current)]);
  if (!log.readLine(reader.entryLine)) return false;
  stripLineEnd(reader.entryLine);
  reader.fileNumber = entryFileNumber(reader.entryLine);

  const LogOffset nextEntry = current < reader.lastEntry()
                                  ? reader.entryOffsets[static_cast<std::size_t>(current) + 1]
                                  : -1;
  const LogOffset boardEnd = boardEndOffset(app.index.fileBoards, reader.board);
  std::string line;
  while (reader.lineStore.size() < kMaxBodyLines) {
    if (nextEntry >= 0 && log.tell() >= nextEntry) break;
    if (boardEnd >= 0 && log.tell() >= boardEnd) break;
    if (!readWrappedLine(log, line, kBodyLineBytes)) break;
    stripLineEnd(line);
    if (endsFileBoard(line)) break;
    reader.lineStore.push_back(line);
  }
  return true;
}

void drawFileBoard(Console& console, const FileBoardReader& reader, bool marked) {
  const int count = reader.lineCount();
  drawEntryLine(console, reader.entryLine, marked);
  for (int row = 0; row < kBodyRows; ++row) {
    const int line = reader.topLine + row;
    if (line < count) {
      console.putBodyRow(kFirstBodyRow + row, reader.lineStore[static_cast<std::size_t>(line)]);
    } else {
      console.setCursor(0, kFirstBodyRow + row);
      console.putText("%-80.80s", "");
    }
  }
  console.setCursor(0, kStatusRow);
  console.writeText(reader.currentEntry > 0 ? "←"_sj : "　"_sj);
  console.setBar();
  console.putText("%s W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ %04i lines.Now:%s"_sj, "ZAZIR",
                  count, pagerPosition(count, reader.topLine));
  console.setNormal();
  console.clearToEndOfLine();
  console.setCursor(kRightArrowColumn, kStatusRow);
  console.writeText(reader.currentEntry < reader.lastEntry() ? "→"_sj : "　"_sj);
}

bool isDownloadMarked(const App& app, const FileBoardReader& reader) {
  const std::vector<DownloadMark>& marks = app.state.downloadMarks;
  return std::find(marks.begin(), marks.end(), markOf(app, reader)) != marks.end();
}

void toggleDownloadMark(App& app, const FileBoardReader& reader) {
  std::vector<DownloadMark>& marks = app.state.downloadMarks;
  const auto found = std::find(marks.begin(), marks.end(), markOf(app, reader));
  if (found != marks.end()) {
    marks.erase(found);
  } else if (static_cast<int>(marks.size()) < kMaxDownloadMarks) {
    marks.push_back(markOf(app, reader));
  } else {
    app.console.bell();
  }
}

void readFileBoard(App& app, int board) {
  Console& console = app.console;
  FileBoardReader reader;
  reader.board = board;
  if (!openBoardAt(app, reader, 0)) return;

  bool draw = true;
  while (true) {
    const int count = reader.lineCount();
    if (draw) {
      reader.topLine = clampTopLine(reader.topLine, count);
      drawFileBoard(console, reader, isDownloadMarked(app, reader));
    }
    draw = true;
    const int key = console.getKey();
    if (const Scroll scroll = scrollPager(key, reader.topLine, count);
        scroll != Scroll::NotAScrollKey) {
      draw = scroll == Scroll::Moved;
      continue;
    }
    switch (key) {
      case key::kEscape:
      case 'Q':
      case 'q':
      case key::kEnter:
      case ' ':
      case '5':
        return;
      case key::kLeft:
      case '4':
      case key::kRight:
      case '6': {
        const bool back = key == key::kLeft || key == '4';
        const int next = reader.currentEntry + (back ? -1 : 1);
        if (next < 0 || next > reader.lastEntry()) {
          draw = false;
          break;
        }
        reader.currentEntry = next;
        if (!loadEntry(app, reader)) {
          messageBox(console, MessageId::NoPosts);
          return;
        }
        break;
      }
      case key::kCtrlA:
      case '?':
        messageBox(console, MessageId::MenuHelp);
        break;
      case 'W':
      case 'w':
        writeUpload(app, boardOf(app, reader));
        if (!openBoardAt(app, reader, 0)) return;
        break;
      case 'F':
      case 'f':
        // Back on the same entry: the log has not changed.
        viewUploadFile(app);
        if (!openBoardAt(app, reader, reader.currentEntry)) return;
        break;
      case 'S':
      case 's':
        saveToCutFile(app, app.index.fileBoards, board, reader.entryOffsets, reader.currentEntry);
        draw = false;
        break;
      case 'D':
      case 'd':
        toggleDownloadMark(app, reader);
        break;
      default:
        draw = false;
        break;
    }
  }
}

}  // namespace zazir

// The chat line list and the Notewall list: runs of lines marked at byte 14,
// read from a back-log file or the log, a page to every row of the
// terminal (23 on 24 or 25 rows).
#include <algorithm>
#include <memory>

#include "console/dialogs.h"
#include "formats/loglines.h"
#include "lists/lists.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "text/textutil.h"

namespace zazir {

namespace {

// The offset of the first line of every page. The table grows with the
// list, so that every line can be reached; the last page may be empty when
// the list fills its pages exactly.
std::vector<LogOffset> scanPages(LineStream& stream, LogOffset start, char marker, int pageRows) {
  std::vector<LogOffset> starts;
  std::string line;
  stream.seek(start);
  while (true) {
    starts.push_back(stream.tell());
    for (int k = 0; k < pageRows; ++k) {
      if (!readWholeLine(stream, line) || !isListedLine(line, marker)) return starts;
    }
  }
}

std::vector<std::string> readPage(LineStream& stream, LogOffset pageStart, char marker,
                                  int pageRows) {
  std::vector<std::string> lines;
  std::string line;
  stream.seek(pageStart);
  while (static_cast<int>(lines.size()) < pageRows && readWholeLine(stream, line) &&
         isListedLine(line, marker)) {
    lines.push_back(line);
  }
  return lines;
}

// Runs the list from `start`; `page` and `rememberedRow` are where it opens
// (on line `openAt` when asked) and are kept up to date. Returns the chosen
// whole line with its line end.
std::optional<Picked<std::string>> chooseListedLine(App& app, LineStream& stream, LogOffset start,
                                                    char marker, int& page, int& rememberedRow,
                                                    std::optional<int> openAt) {
  const int pageRows = fullListRows(app.console);
  if (openAt) {
    page = *openAt / pageRows;
    rememberedRow = *openAt % pageRows;
  }
  std::vector<LogOffset> pageStarts = scanPages(stream, start, marker, pageRows);
  std::vector<std::string> lines;  // the page's, with their line ends
  ListScreen list(
      {pageRows},
      [&](int& shown) {
        lines = readPage(stream, pageStarts[shown], marker, list.pageRows());
        std::vector<std::string> rows = lines;
        for (std::string& row : rows) stripLineEnd(row);
        return rows;
      },
      [&](int, bool) { return static_cast<int>(pageStarts.size()) - 1; });
  list.open(std::clamp(page, 0, static_cast<int>(pageStarts.size()) - 1), rememberedRow);
  const auto fit = [&] {
    // Pages of the new height, on the one that holds the highlighted line.
    const int rows = fullListRows(app.console);
    if (rows == list.pageRows()) return;
    pageStarts = scanPages(stream, start, marker, rows);
    list.repage(rows);
  };
  const ListChoice choice = chooseFromList(app, list, {.resizes = Resizes::Report, .fit = fit});
  page = list.page();
  if (choice.action == ListAction::Leave) return std::nullopt;
  rememberedRow = list.row();
  return Picked<std::string>{lines[static_cast<std::size_t>(list.row())], choice.action};
}

std::unique_ptr<FileLineStream> openBackLog(const App& app, int board) {
  const std::vector<ChatBoardEntry>& boards = app.index.chatBoards;
  if (board < 0 || board >= static_cast<int>(boards.size()) ||
      !isUsableBackLogName(boards[board].name)) {
    return nullptr;
  }
  return FileLineStream::open(toOsName(boards[board].name));
}

}  // namespace

std::optional<int> backLogLineOf(App& app, int board, std::string_view line) {
  const std::unique_ptr<FileLineStream> backLog = openBackLog(app, board);
  if (!backLog) return std::nullopt;
  const std::string_view wanted = withoutLineEnd(line);
  std::string listed;
  for (int at = 0; readWholeLine(*backLog, listed) && isListedLine(listed, kChatLineMarker); ++at) {
    if (withoutLineEnd(listed) == wanted) return at;
  }
  return std::nullopt;
}

std::optional<Picked<std::string>> chooseChatLine(App& app, int board, std::optional<int> openAt) {
  std::unique_ptr<FileLineStream> backLog = openBackLog(app, board);
  if (!backLog) {
    app.console.bell();
    messageBox(app.console, MessageId::NoPosts);
    return std::nullopt;
  }
  ListPositions& at = app.state.listPositions;
  return chooseListedLine(app, *backLog, 0, kChatLineMarker, at.chatLinePage, at.chatLineRow,
                          openAt);
}

std::optional<Picked<std::string>> chooseNotewallLine(App& app, std::optional<int> openAt) {
  const LogOffset start = app.index.notewallOffset;
  if (start < 0) return std::nullopt;
  int page = 0;  // the Notewall list opens on its first page unless asked
  std::optional<Picked<std::string>> chosen = chooseListedLine(
      app, app.log, start, kNotewallLineMarker, page, app.state.listPositions.notewallRow, openAt);
  app.log.seek(start);
  return chosen;
}

}  // namespace zazir

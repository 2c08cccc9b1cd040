// The chat line list and the Notewall list: runs of lines marked at byte 14,
// read from a back-log file or the log, 23 to a page.
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
std::vector<LogOffset> scanPages(LineStream& stream, LogOffset start, char marker) {
  std::vector<LogOffset> starts;
  std::string line;
  stream.seek(start);
  while (true) {
    starts.push_back(stream.tell());
    for (int k = 0; k < kListPageRows; ++k) {
      if (!readWholeLine(stream, line) || !isListedLine(line, marker)) return starts;
    }
  }
}

std::vector<std::string> readPage(LineStream& stream, LogOffset pageStart, char marker) {
  std::vector<std::string> lines;
  std::string line;
  stream.seek(pageStart);
  while (static_cast<int>(lines.size()) < kListPageRows && readWholeLine(stream, line) &&
         isListedLine(line, marker)) {
    lines.push_back(line);
  }
  return lines;
}

// Runs the list from `start`; `page` and `rememberedRow` are where it opens
// and are kept up to date. Returns the chosen whole line with its line end.
std::optional<Picked<std::string>> chooseListedLine(App& app, LineStream& stream, LogOffset start,
                                                    char marker, int& page, int& rememberedRow) {
  const std::vector<LogOffset> pageStarts = scanPages(stream, start, marker);
  const int lastPage = static_cast<int>(pageStarts.size()) - 1;
  page = std::clamp(page, 0, lastPage);
  int startRow = rememberedRow;
  while (true) {
    const std::vector<std::string> lines = readPage(stream, pageStarts[page], marker);
    ListRows rows{};
    for (std::size_t k = 0; k < lines.size(); ++k) {
      rows[k] = lines[k];
      stripLineEnd(rows[k]);
    }
    const ListChoice choice =
        chooseFromList(app, rows, startRow, static_cast<int>(lines.size()) - 1);
    if (choice.action == ListAction::Leave) return std::nullopt;
    if (choice.row >= 0) {
      rememberedRow = choice.row;
      return Picked<std::string>{lines[static_cast<std::size_t>(choice.row)], choice.action};
    }
    startRow = turnListPage(choice.action, page, lastPage, startRow);
  }
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

std::optional<Picked<std::string>> chooseChatLine(App& app, int board) {
  std::unique_ptr<FileLineStream> backLog = openBackLog(app, board);
  if (!backLog) {
    app.console.bell();
    messageBox(app.console, MessageId::NoPosts);
    return std::nullopt;
  }
  ListPositions& at = app.state.listPositions;
  return chooseListedLine(app, *backLog, 0, kChatLineMarker, at.chatLinePage, at.chatLineRow);
}

std::optional<Picked<std::string>> chooseNotewallLine(App& app, int page) {
  const LogOffset start = app.index.notewallOffset;
  if (start < 0) return std::nullopt;
  std::optional<Picked<std::string>> chosen = chooseListedLine(
      app, app.log, start, kNotewallLineMarker, page, app.state.listPositions.notewallRow);
  app.log.seek(start);
  return chosen;
}

}  // namespace zazir

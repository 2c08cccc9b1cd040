#include "readers/messageboard.h"

#include <algorithm>

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/pager.h"
#include "formats/boardlog.h"
#include "platform/encoding.h"
#include "readers/savemessage.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/cp932.h"
#include "text/textutil.h"
#include "writers/batchreply.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kFirstBodyRow = 3;
constexpr int kStatusRow = 23;
constexpr int kRightArrowColumn = 76;

const BoardEntry& boardOf(const App& app, const MessageBoardReader& reader) {
  return app.index.messageBoards[static_cast<std::size_t>(reader.board)];
}

// Leaves the reader where it is, or on a message that exists.
void keepValidPositions(MessageBoardReader& reader) {
  reader.currentMessage = std::clamp(reader.currentMessage, 0, reader.lastMessage());
  std::erase_if(reader.replyMarks, [&](int m) { return m < 0 || m > reader.lastMessage(); });
}

}  // namespace

bool indexMessageBoard(App& app, MessageBoardReader& reader) {
  reader.messageOffsets.clear();
  LineStream& log = app.log;
  const LogOffset boardEnd = boardEndOffset(app.index.messageBoards, reader.board);
  log.seek(boardOf(app, reader).listOffset);
  std::string line;
  log.readLine(line);  // the listing line
  while (true) {
    const LogOffset start = log.tell();
    if (!log.readLine(line)) break;
    stripLineEnd(line);
    if (isStopLine(line)) break;
    if (boardEnd >= 0 && log.tell() >= boardEnd) break;
    if (isMessageStart(line)) reader.messageOffsets.push_back(start);
  }
  return !reader.messageOffsets.empty();
}

bool reindexMessageBoard(App& app, MessageBoardReader& reader) {
  if (!indexMessageBoard(app, reader)) {
    messageBox(app.console, MessageId::NoPosts);
    return false;
  }
  keepValidPositions(reader);
  loadMessage(app, reader);
  return true;
}

void loadMessage(App& app, MessageBoardReader& reader) {
  LineStream& log = app.log;
  reader.lineStore.clear();
  reader.topLine = 0;
  app.console.clearScreen();

  const int current = reader.currentMessage;
  log.seek(reader.messageOffsets[static_cast<std::size_t>(current)]);
  for (std::string& header : reader.headerLines) {
    log.readLine(header);
    stripLineEnd(header);
  }
  const LogOffset nextMessage = current < reader.lastMessage()
                                    ? reader.messageOffsets[static_cast<std::size_t>(current) + 1]
                                    : -1;
  const LogOffset boardEnd = boardEndOffset(app.index.messageBoards, reader.board);
  std::string line;
  while (reader.lineStore.size() < kMaxBodyLines) {
    if (nextMessage >= 0 && log.tell() >= nextMessage) break;
    if (boardEnd >= 0 && log.tell() >= boardEnd) break;
    if (!readWrappedLine(log, line, kBodyLineBytes)) break;
    stripLineEnd(line);
    if (isMessageEnd(line)) break;
    reader.lineStore.push_back(line);
  }
}

void drawMessageBoard(Console& console, const MessageBoardReader& reader) {
  const int count = reader.lineCount();
  console.setCursor(0, 0);
  if (isMarked(reader, reader.currentMessage)) {
    console.setBar();
  } else {
    console.setNormal();
  }
  console.putText("%-80.80s%-80.80s%-80.80s", reader.headerLines[0], reader.headerLines[1],
                  reader.headerLines[2]);
  console.setNormal();
  for (int row = 0; row < kPageLines; ++row) {
    const int line = reader.topLine + row;
    console.putBodyRow(kFirstBodyRow + row,
                       line < count
                           ? std::string_view(reader.lineStore[static_cast<std::size_t>(line)])
                           : std::string_view());
  }
  console.setCursor(0, kStatusRow);
  console.writeText(reader.currentMessage > 0 ? "←"_sj : "　"_sj);
  console.setBar();
  console.putText("%s W:書込 R:ﾚｽ V:移動ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ"_sj, "ZAZIR");
  pagerIndicator(console, count, reader.topLine);
  console.setCursor(kRightArrowColumn, kStatusRow);
  console.writeText(reader.currentMessage < reader.lastMessage() ? "→"_sj : "　"_sj);
}

LogOffset messageEndOffset(const App& app, const MessageBoardReader& reader, int message) {
  if (message < reader.lastMessage()) {
    return reader.messageOffsets[static_cast<std::size_t>(message) + 1];
  }
  return boardEndOffset(app.index.messageBoards, reader.board);
}

AnsweredMessage answeredMessage(App& app, const MessageBoardReader& reader, int message) {
  return readAnsweredMessage(app.log, boardOf(app, reader),
                             reader.messageOffsets[static_cast<std::size_t>(message)],
                             messageEndOffset(app, reader, message));
}

void toggleReplyMark(Console& console, MessageBoardReader& reader) {
  std::vector<int>& marks = reader.replyMarks;
  const auto found = std::find(marks.begin(), marks.end(), reader.currentMessage);
  if (found != marks.end()) {
    marks.erase(found);
  } else if (marks.size() < kMaxReplyMarks) {
    marks.push_back(reader.currentMessage);
  } else {
    console.bell();
  }
}

bool answerMarked(App& app, MessageBoardReader& reader) {
  if (reader.replyMarks.empty()) {
    app.console.bell();
    messageBox(app.console, MessageId::NoMarks);
    return false;
  }
  std::vector<AnsweredMessage> marked;
  for (int message : reader.replyMarks) marked.push_back(answeredMessage(app, reader, message));
  if (!writeBatchReply(app, boardOf(app, reader), marked)) return false;
  reader.replyMarks.clear();
  return true;
}

bool isMarked(const MessageBoardReader& reader, int message) {
  return std::find(reader.replyMarks.begin(), reader.replyMarks.end(), message) !=
         reader.replyMarks.end();
}

void readMessageBoard(App& app, int board) {
  Console& console = app.console;
  MessageBoardReader reader;
  reader.board = board;
  if (!indexMessageBoard(app, reader)) {
    messageBox(console, MessageId::NoPosts);
    return;
  }
  loadMessage(app, reader);

  bool draw = true;
  while (true) {
    const int count = reader.lineCount();
    if (draw) {
      reader.topLine = clampTopLine(reader.topLine, count);
      drawMessageBoard(console, reader);
    }
    draw = true;
    const int current = reader.currentMessage;
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
        const int next = back ? current - 1 : current + 1;
        if (next < 0 || next > reader.lastMessage()) {
          draw = false;
          break;
        }
        reader.currentMessage = next;
        loadMessage(app, reader);
        break;
      }
      case key::kCtrlA:
      case '?':
        messageBox(console, MessageId::MenuHelp);
        break;
      case 'W':
      case 'w':
        writeNewPost(app, boardOf(app, reader));
        if (!reindexMessageBoard(app, reader)) return;
        break;
      case 'R':
      case 'r':
      case 'V':
      case 'v': {
        const AnsweredMessage message = answeredMessage(app, reader, current);
        if (key == 'R' || key == 'r') {
          writeReply(app, message);
        } else {
          writeMovedReply(app, message);
        }
        if (!reindexMessageBoard(app, reader)) return;
        break;
      }
      case 'F':
      case 'f':
        viewUploadFile(app);
        if (!reindexMessageBoard(app, reader)) return;
        break;
      case 'S':
      case 's':
        saveToCutFile(app, app.index.messageBoards, board, reader.messageOffsets, current);
        draw = false;
        break;
      case 'M':
      case 'm':
        toggleReplyMark(console, reader);
        break;
      case 'C':
      case 'c':
        if (answerMarked(app, reader) && !reindexMessageBoard(app, reader)) return;
        break;
      default:
        draw = false;
        break;
    }
  }
}

}  // namespace zazir

#include "readers/batchreply.h"

#include <algorithm>

#include "compose/boardposts.h"
#include "compose/compose.h"
#include "console/dialogs.h"
#include "console/textutil.h"
#include "driver/app.h"
#include "platform/encoding.h"
#include "readers/boardlog.h"
#include "readers/messageboard.h"

namespace zazir {

using namespace literals;

namespace {

// Once the title has this many bytes, further tags give way to " etc".
constexpr std::size_t kTitleTagLimit = 50;

// One answered message: its heading, its whole body quoted, an empty
// line. Returns its number.
int quoteMarkedMessage(App& app, const MessageBoardReader& reader, int message, std::string& text) {
  LineStream& log = app.log;
  log.seek(reader.messageOffsets[static_cast<std::size_t>(message)]);
  std::string line;
  log.readLine(line);
  const int number = messageNumber(line);
  const std::string handle = posterHandle(line);
  text += formatText("●　%sさんの%i番の書き込みに対して\n\n"_sj, handle, number);

  // The two other header lines and the first body line are never quoted.
  for (int skipped = 0; skipped < 3; ++skipped) log.readLine(line);

  // Only the message's end and the log's end stop the quote: empty lines,
  // stop lines and "Message  #" lines are quoted like any other.
  const std::string prefix = quotePrefix(app.config, handle);
  const LogOffset end = messageEndOffset(app, reader, message);
  while (end < 0 || log.tell() < end) {
    if (!readQuotedLine(log, prefix.size(), line)) break;
    text += prefix;
    text += line;
    text += '\n';
  }
  text += '\n';
  return number;
}

}  // namespace

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

std::string batchTitle(const std::vector<int>& numbers) {
  std::string title = "一括レス:"_sj;
  for (int number : numbers) {
    if (title.size() < kTitleTagLimit) {
      title += formatText("#%i,", number);
    } else if (title.back() != '.') {
      title.pop_back();
      title += " etc.";
    }
  }
  // The trailing "," of the last tag, or the full stop of " etc.".
  if (!numbers.empty()) title.pop_back();
  return title;
}

bool batchReply(App& app, MessageBoardReader& reader) {
  Console& console = app.console;
  if (reader.replyMarks.empty()) {
    console.bell();
    messageBox(console, MessageId::NoMarks);
    return false;
  }
  console.clearScreen();
  std::string text;
  std::vector<int> numbers;
  for (int message : reader.replyMarks) {
    numbers.push_back(quoteMarkedMessage(app, reader, message, text));
  }
  if (!writeNewPost(app, reader.board, text, batchTitle(numbers))) return false;
  reader.replyMarks.clear();
  return true;
}

}  // namespace zazir

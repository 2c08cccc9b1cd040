#include "writers/batchreply.h"

#include <algorithm>

#include "console/dialogs.h"
#include "formats/boardlog.h"
#include "formats/quote.h"
#include "platform/encoding.h"
#include "readers/messageboard.h"
#include "services/app.h"
#include "text/textutil.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

// Once the title has this many bytes, further tags give way to " etc".
constexpr std::size_t kTitleTagLimit = 50;

// One answered message: its heading, its body quoted up to where the
// reader ends it, an empty line. Returns its number.
int quoteMarkedMessage(App& app, const MessageBoardReader& reader, int message, std::string& text) {
  const LogOffset start = reader.messageOffsets[static_cast<std::size_t>(message)];
  app.log.seek(start);
  std::string line;
  app.log.readLine(line);
  const int number = messageNumber(line);
  const std::string handle = posterHandle(line);
  text += formatText("●　%sさんの%i番の書き込みに対して\n\n"_sj, handle, number);
  // Empty lines are quoted too.
  const QuoteRule rule{quotePrefix(app.config, handle), messageEndOffset(app, reader, message),
                       isMessageEnd};
  text += quoteMessage(app.log, start, rule);
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

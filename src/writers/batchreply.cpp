#include "writers/batchreply.h"

#include "formats/boardlog.h"
#include "formats/quote.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

// Once the title has this many bytes, further tags give way to " etc".
constexpr std::size_t kTitleTagLimit = 50;

// One answered message: its heading, its body quoted up to where the
// reader ends it, an empty line.
void quoteMarkedMessage(App& app, const AnsweredMessage& message, std::string& text) {
  text += formatText("●　%sさんの%i番の書き込みに対して\n\n"_sj, message.handle, message.number);
  // Empty lines are quoted too.
  const QuoteRule rule{quotePrefix(app.config, message.handle), message.end, isMessageEnd};
  text += quoteMessage(app.log.stream, message.start, rule);
  text += '\n';
}

}  // namespace

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

bool writeBatchReply(App& app, const BoardEntry& board,
                     const std::vector<AnsweredMessage>& marked) {
  app.console.clearScreen();
  std::string text;
  std::vector<int> numbers;
  for (const AnsweredMessage& message : marked) {
    quoteMarkedMessage(app, message, text);
    numbers.push_back(message.number);
  }
  return writeBatchPost(app, board, text, batchTitle(numbers));
}

}  // namespace zazir

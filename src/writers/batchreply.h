// The batch reply: messages marked in the message board reader, answered
// together in one new post that quotes them all.
#pragma once

#include <string>
#include <vector>

#include "formats/boardlog.h"

namespace zazir {

struct App;

// The batch title for answered messages numbered `numbers`, in marking
// order: "一括レス:" and "#n" tags joined by ",", with " etc" in place of
// the tags that come once it has reached 50 bytes.
std::string batchTitle(const std::vector<int>& numbers);

// Quotes the `marked` messages in marking order and hands them to the
// batch post on message board `board` as its text, with the batch title
// proposed. False only when the temporary file could not be made (told on
// screen).
bool writeBatchReply(App& app, const BoardEntry& board, const std::vector<AnsweredMessage>& marked);

}  // namespace zazir

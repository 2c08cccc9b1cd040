// The batch reply of the message board reader: messages marked with "M"
// and answered together with "C" in one new post that quotes them all.
#pragma once

#include <string>
#include <vector>

namespace zazir {

struct App;
class Console;
struct MessageBoardReader;

// Marks the current message, or unmarks it (the later marks keep their
// order). A 21st mark is refused with the bell.
void toggleReplyMark(Console& console, MessageBoardReader& reader);

// The batch title for answered messages numbered `numbers`, in marking
// order: "一括レス:" and "#n" tags joined by ",", with " etc" in place of
// the tags that come once it has reached 50 bytes.
std::string batchTitle(const std::vector<int>& numbers);

// "C": with no marks, the bell and message box 4, and false. Otherwise the
// marked messages are quoted and handed to the new post as its text, with
// the batch title proposed; the marks are emptied and the result
// is true: the caller re-indexes. False also when the temporary file
// cannot be written (told on screen; the marks stay).
bool batchReply(App& app, MessageBoardReader& reader);

}  // namespace zazir

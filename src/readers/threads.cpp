#include "readers/threads.h"

#include <algorithm>

#include "formats/answered.h"
#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// Body lines read of a message at most, blank ones included.
constexpr int kReadLines = 64;

MessageAnswers readAnswers(LineStream& log, const Series& series, std::string_view board, int n) {
  const LogOffset end = series.endOf(n);
  std::string first;
  std::string title;
  log.seek(series.startOf(n));
  readWholeLine(log, first);
  readWholeLine(log, title);
  readWholeLine(log, title);
  stripLineEnd(title);
  std::vector<std::string> lines;
  std::string line;
  int named = 0;  // lines not blank
  // One byte more than is looked at, so that the cut falls on a character.
  while (named < kAnsweredLines && static_cast<int>(lines.size()) < kReadLines &&
         (end < 0 || log.tell() < end) && readWholeLine(log, line, kAnsweredLineBytes + 1) &&
         !isMessageEnd(line)) {
    stripLineEnd(line);
    named += !isBlankLine(line);
    lines.push_back(line);
  }
  return {messageNumber(first), answersOnBoard(board, messageTitle(title), lines)};
}

}  // namespace

std::vector<int> messageParents(LineStream& log, const Series& series, std::string_view board) {
  std::vector<MessageAnswers> messages;
  messages.reserve(static_cast<std::size_t>(series.count()));
  for (int n = 0; n < series.count(); ++n) messages.push_back(readAnswers(log, series, board, n));
  return boardParents(messages);
}

Threads::Threads(std::vector<int> parents)
    : parents_(std::move(parents)), last_(parents_.size(), 0) {
  const int count = static_cast<int>(parents_.size());
  // The replies to each message, in log order, one after another: those
  // of message m from firsts[m] on.
  std::vector<int> firsts(parents_.size() + 1, 0);
  for (const int parent : parents_) {
    if (parent >= 0) ++firsts[static_cast<std::size_t>(parent) + 1];
  }
  for (std::size_t m = 1; m < firsts.size(); ++m) firsts[m] += firsts[m - 1];
  std::vector<int> replies(static_cast<std::size_t>(firsts.back()));
  std::vector<int> filled(firsts.begin(), firsts.end() - 1);
  for (int m = 0; m < count; ++m) {
    const int parent = parents_[static_cast<std::size_t>(m)];
    if (parent >= 0)
      replies[static_cast<std::size_t>(filled[static_cast<std::size_t>(parent)]++)] = m;
  }
  for (int m = 0; m < count; ++m) {
    const std::size_t at = static_cast<std::size_t>(m);
    if (firsts[at + 1] > firsts[at])
      last_[static_cast<std::size_t>(replies[firsts[at + 1] - 1])] = 1;
  }
  order_.reserve(parents_.size());
  std::vector<int> stack;
  for (int top = 0; top < count; ++top) {
    if (parents_[static_cast<std::size_t>(top)] >= 0) continue;
    stack.push_back(top);
    while (!stack.empty()) {
      const int m = stack.back();
      stack.pop_back();
      order_.push_back(m);
      const std::size_t at = static_cast<std::size_t>(m);
      // The first reply is taken next.
      for (int r = firsts[at + 1] - 1; r >= firsts[at]; --r) {
        stack.push_back(replies[static_cast<std::size_t>(r)]);
      }
    }
  }
}

int Threads::rowOf(int message) const {
  const auto found = std::find(order_.begin(), order_.end(), message);
  return found == order_.end() ? 0 : static_cast<int>(found - order_.begin());
}

std::string Threads::treeMarks(int message) const {
  int parent = parents_[static_cast<std::size_t>(message)];
  if (parent < 0) return {};
  std::string marks = last_[static_cast<std::size_t>(message)] ? "└─>"_sj : "├─>"_sj;
  // Up to the message below the top: a column for each.
  for (int up = parent; parents_[static_cast<std::size_t>(up)] >= 0;
       up = parents_[static_cast<std::size_t>(up)]) {
    marks.insert(0, last_[static_cast<std::size_t>(up)] ? "   " : "│ "_sj);
  }
  return marks;
}

}  // namespace zazir

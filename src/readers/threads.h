// Threads in a board's title list: a reply right under what it answers,
// its place in the thread drawn with tree marks, the rest in log order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linestream.h"
#include "readers/series.h"

namespace zazir {

// A board's messages in thread order, from the parent of each (an index,
// -1 for none on the board): a message without one in log order, each
// reply under its parent, replies to one message in log order.
class Threads {
 public:
  explicit Threads(std::vector<int> parents);

  int count() const { return static_cast<int>(order_.size()); }
  // The message on row `row` of the thread order, and where message
  // `message` stands in it.
  int messageAt(int row) const { return order_[static_cast<std::size_t>(row)]; }
  int rowOf(int message) const;
  // The tree marks before the message's title (CP932): none for a message
  // without a parent, else a column for every ancestor below the top, with
  // a line down where that ancestor has a reply after it, and "├─>", or
  // "└─>" for the last reply to its parent.
  std::string treeMarks(int message) const;

 private:
  std::vector<int> parents_;
  std::vector<int> order_;
  std::vector<std::uint8_t> last_;  // the last reply to its parent
};

// The parent of each message of the message board `series` (`board` its
// name, as a moved reply names it), from the first lines of each body.
std::vector<int> messageParents(LineStream& log, const Series& series, std::string_view board);

}  // namespace zazir

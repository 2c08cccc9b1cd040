#include "readers/threads.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

// Thread order and tree marks from the parents alone.
TEST(Threads, OrderAndTreeMarks) {
  struct Case {
    const char* name;
    std::vector<int> parents;
    std::vector<int> order;
    std::vector<const char*> marks;  // by message
  } cases[] = {
      {"a reply before what it answers", {1, -1}, {1, 0}, {"└─>", ""}},
      {"a chain", {-1, 0, 1, 2}, {0, 1, 2, 3}, {"", "└─>", "   └─>", "      └─>"}},
      {"siblings in log order", {-1, 0, 0, 1}, {0, 1, 3, 2}, {"", "├─>", "└─>", "│ └─>"}},
      {"tops in log order", {-1, -1, 0}, {0, 2, 1}, {"", "", "└─>"}},
  };
  for (const Case& c : cases) {
    const Threads threads(c.parents);
    std::vector<int> order;
    for (int row = 0; row < threads.count(); ++row) order.push_back(threads.messageAt(row));
    EXPECT_EQ(order, c.order) << c.name;
    for (std::size_t m = 0; m < c.parents.size(); ++m) {
      const int message = static_cast<int>(m);
      EXPECT_EQ(threads.treeMarks(message), sj(c.marks[m])) << c.name << " " << m;
      EXPECT_EQ(threads.messageAt(threads.rowOf(message)), message) << c.name;
    }
  }
}

}  // namespace
}  // namespace zazir

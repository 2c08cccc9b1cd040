#include "formats/hostcommands.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

std::vector<DownloadMark> marks(std::initializer_list<std::pair<int, int>> boardAndFile) {
  std::vector<DownloadMark> list;
  for (const auto& [board, file] : boardAndFile) list.push_back({board, file});
  return list;
}

TEST(HostCommands, EveryCommandByteForByte) {
  const std::string title = sj("題名") + " 100%s";  // typed text is never a format
  struct Case {
    const char* name;
    std::string command;
    std::string bytes;
  } cases[] = {
      {"new post", newPostCommand(12, title), "EW12;" + title + ";Y\n"},
      {"reply", replyCommand(3, 89), "ER3;89;Y\n"},
      {"moved reply", movedReplyCommand(7, title), "EW7;" + title + ";Y\n"},
      {"upload", uploadCommand(5, "A.LZH", title), "F5\nZU\nA.LZH\n" + title + "\nY\n"},
      {"mail", mailCommand("ID1;ID2", title), "EMID1;ID2;0\n" + title + ";Y\n"},
      {"chat line", chatLineCommand(4, title), "EW4\n" + title + "\nY\n"},
      {"Notewall line", notewallLineCommand(title), "P\n" + title + "\n\n"},
      {"composed text", composedCommand("ER3;89;Y\n", "a\nb\n"), "ER3;89;Y\na\nb\n\n//\nS\n"},
      {"no download", downloadBatch({}), ""},
      // Sorted by board; the sort's exchanges decide the order within one.
      {"download batch", downloadBatch(marks({{9, 2}, {3, 7}, {9, 1}, {3, 4}})),
       "F3\nZD7;Y;4;Y;0\n0\n0\nF9\nZD1;Y;2;Y;0\n0\n0\n"},
      // Ten files to a group; the count runs on across boards.
      {"download groups",
       downloadBatch(marks({{1, 1},
                            {1, 2},
                            {1, 3},
                            {1, 4},
                            {1, 5},
                            {1, 6},
                            {1, 7},
                            {1, 8},
                            {2, 1},
                            {2, 2},
                            {2, 3}})),
       "F1\nZD1;Y;2;Y;3;Y;4;Y;5;Y;6;Y;7;Y;8;Y;0\n0\n0\nF2\nZD1;Y;2;Y;0\n0\n0\nF2\nZD3;Y;0\n0\n0\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.command, c.bytes) << c.name;
}

}  // namespace
}  // namespace zazir

#include "formats/hostcommands.h"

#include <gtest/gtest.h>

#include <random>

#include "formats/hostfields.h"
#include "support/command_roundtrip.h"
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
    HostCommand command;
    std::string bytes;
  } cases[] = {
      {"new post", newPostCommand(12, title), "EW12;" + title + ";Y\n"},
      {"reply", replyCommand(3, 89), "ER3;89;Y\n"},
      {"moved reply", movedReplyCommand(7, title), "EW7;" + title + ";Y\n"},
      {"upload", uploadCommand(5, "A.LZH", title), "F5\nZU\nA.LZH\n" + title + "\nY\n"},
      {"mail", mailCommand({"ID1", "ID2"}, title), "EMID1;ID2;0\n" + title + ";Y\n"},
      {"chat line", chatLineCommand(4, title), "EW4\n" + title + "\nY\n"},
      {"Notewall line", notewallLineCommand(title), "P\n" + title + "\n\n"},
      {"composed text", composedCommand(replyCommand(3, 89), "a\nb\n"),
       "ER3;89;Y\na\nb\n\n//\nS\n"},
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
  for (const Case& c : cases) {
    EXPECT_FALSE(c.command.refusal()) << c.name;
    EXPECT_EQ(c.command.bytes(), c.bytes) << c.name;
  }
}

// What the host would read as structure, whoever wrote it, is made
// harmless where a reader sees what it was, and refused where a changed
// value would name something else.
TEST(HostCommands, StructureInAValueIsNeutralisedOrRefused) {
  const std::string lead = "\x81";
  struct Case {
    const char* name;
    HostCommand command;
    std::string bytes;  // empty: refused
  } cases[] = {
      {"a ; in a title", newPostCommand(3, "a;Y;b"), "EW3;a" + sj("；") + "Y" + sj("；") + "b;Y\n"},
      {"control bytes in a title", mailCommand({"ID1"}, "x\x1a\r\n\x1b[0m"),
       "EMID1;0\nx    [0m;Y\n"},
      {"a lead byte that would take the ; along", newPostCommand(3, "t" + lead), "EW3;t?;Y\n"},
      {"a chat line that reads as a text's end", chatLineCommand(4, " //"),
       "EW4\n " + sj("／／") + "\nY\n"},
      {"a blank Notewall line", notewallLineCommand(" " + sj("　")), ""},
      {"a file name of a control byte", uploadCommand(5, "\t", "t"), ""},
      {"a recipient \"0\" that would end the list", mailCommand({"A", "00"}, "t"), ""},
      {"a recipient with a blank", mailCommand({"A B"}, "t"), ""},
      {"a recipient with a lead byte alone", mailCommand({"A" + lead}, "t"), ""},
      {"no recipient", mailCommand({}, "t"), ""},
      {"a message without a number", replyCommand(3, 0), ""},
      {"a file without a number", downloadBatch({{2, 5}, {2, 0}}), ""},
      {"a text's end, a TAB and a control byte in a text",
       composedCommand(replyCommand(3, 8), "a\n\t//\x7f\n//x\nb\tc\x1a"),
       "ER3;8;Y\na\n        " + sj("／／") + " \n//x\nb       c \n//\nS\n"},
      {"a refused first line refuses the text", composedCommand(replyCommand(0, 8), "a"), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.command.bytes(), c.bytes) << c.name;
    EXPECT_EQ(!c.command.refusal(), !c.bytes.empty()) << c.name;
  }
  // The preview marks a character CP932 lacks where it still stands.
  std::vector<std::size_t> marks = {2, 7};
  EXPECT_EQ(hostText("a\t" + sj("〓") + "\n//" + sj("〓"), &marks),
            "a       " + sj("〓") + "\n//" + sj("〓"));
  EXPECT_EQ(marks, (std::vector<std::size_t>{8, 13}));
}

// Random values of every kind and source, among them every byte the host
// reads as structure: every command not refused reads back exactly as
// composed, values without such bytes pass unchanged, and a value made
// harmless stays as it is.
TEST(HostCommands, ComposedFromAnyBytesReadBackExactly) {
  const std::vector<std::string> pieces = {
      "a",      "Z",       "0",    "1",      ";",
      "/",      "//",      " ",    "\t",     "\r",
      "\n",     "\x1a",    "\x1b", "\x7f",   std::string(1, '\0'),
      "\x81",   "\x81;",   "\xe0", "\xfc",   "\xff",
      "\x80",   "\xa0",    "\xb1", sj("；"), sj("／"),
      sj("　"), sj("漢"),  "%s",   "S",      "Y",
      "EM",     "\x81\x40"};
  const std::vector<std::string> harmless = {"a", "Z", "0", " ", sj("漢"), "\xb1", "%s", "S", "Y"};
  std::mt19937 random(20);
  const auto below = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };
  const auto drawn = [&](const std::vector<std::string>& from) {
    std::string text;
    for (std::size_t n = below(12); n > 0; --n) {
      text += below(8) ? from[below(from.size())] : std::string(1, static_cast<char>(below(256)));
    }
    return text;
  };
  testing::CommandDraws draw{
      [&] { return drawn(pieces); },
      [&] { return below(10) ? std::int64_t(1 + below(99999)) : std::int64_t(below(3)) - 1; },
      below};
  int written = 0;
  for (int round = 0; round < 300; ++round) {
    EXPECT_EQ(testing::roundTripCommands(draw, 12, &written), "") << "round " << round;
    std::string plain;
    for (std::size_t n = below(12); n > 0; --n) plain += harmless[below(harmless.size())];
    EXPECT_EQ(hostAnswer(plain), plain);
    EXPECT_EQ(hostText(plain + "\n" + plain), plain + "\n" + plain);
    // What the preview and the prompts show is written as it stands.
    const std::string any = drawn(pieces) + "\n" + drawn(pieces);
    EXPECT_EQ(hostText(hostText(any)), hostText(any));
    EXPECT_EQ(hostAnswer(hostAnswer(any)), hostAnswer(any));
  }
  EXPECT_GT(written, 300 * 12 / 3);  // most are built, not refused
}

}  // namespace
}  // namespace zazir

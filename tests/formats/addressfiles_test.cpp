#include "formats/addressfiles.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

TEST(IdFile, FormatRules) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<IdEntry> entries;
  } cases[] = {
      {"three fields", "ABC01234,Handle,Memo\r\n", {{"ABC01234", "Handle", "Memo"}}},
      {"comment line", ";note,x,y\r\nA,h,m\r\n", {{"A", "h", "m"}}},
      {"semicolon drops the rest", "A,hand;rest,x\r\n", {{"A", "hand", ""}}},
      {"doubled commas separate like one", "A,,memo\r\n", {{"A", "memo", ""}}},
      {"leading commas are skipped", ",,A,h\r\n", {{"A", "h", ""}}},
      {"after the third field", "A,h,m,extra,more\r\n", {{"A", "h", "m"}}},
      {"spaces are kept", " A , h h ,m \r\n", {{" A ", " h h ", "m "}}},
      {"empty line", "A\r\n\r\nB\r\n", {{"A", "", ""}, {"", "", ""}, {"B", "", ""}}},
      {"missing fields", "A\r\nB,b\r\n", {{"A", "", ""}, {"B", "b", ""}}},
      {"last line without a line end", "A,h,m\r\nB,x,y", {{"A", "h", "m"}}},
      {"a lone end mark", "A,h,m\r\n\x1a", {{"A", "h", "m"}}},
      {"line feeds alone", "A\nB\n", {{"A", "", ""}, {"B", "", ""}}},
      {"line ends converted twice", "A,h\r\r\nB\r\r\n", {{"A", "h", ""}, {"B", "", ""}}},
      {"a stray CR ends the line", "A,h\rB,x\r\n", {{"A", "h", ""}}},
      {"a very long line is one entry",
       "A,h," + std::string(3000, 'm') + "\r\nB\r\n",
       {{"A", "h", std::string(39, 'm')}, {"B", "", ""}}},
      {"empty file", "", {}},
      {"only an end mark", "\x1a", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseIdFile(c.bytes), c.entries) << c.name;
}

TEST(IdFile, LongFieldsAreCutOnACharacterBoundary) {
  const std::string kanji = sj("漢");
  struct Case {
    std::string line;
    IdEntry entry;
  } cases[] = {
      {"ABCDEFGHIJKL,h,m", {"ABCDEFGHI", "h", "m"}},
      // 8 bytes and a kanji would end inside the kanji at byte 9.
      {"ABCDEFGH" + kanji + ",h,m", {"ABCDEFGH", "h", "m"}},
      {"A," + std::string(28, 'x') + kanji + ",m", {"A", std::string(28, 'x'), "m"}},
      {"A,h," + sj("あ") + std::string(36, 'y') + kanji,
       {"A", "h", sj("あ") + std::string(36, 'y')}},
      {"A,h," + std::string(39, 'z') + "tail", {"A", "h", std::string(39, 'z')}},
  };
  for (const Case& c : cases) {
    const auto entries = parseIdFile(c.line + "\r\n");
    ASSERT_EQ(entries.size(), 1u) << c.line;
    EXPECT_EQ(entries[0], c.entry) << c.line;
  }
}

TEST(IdFile, HoldsMoreThan1024Entries) {
  std::string bytes;
  for (int i = 0; i < 1500; ++i) bytes += "ID" + std::to_string(i) + ",h\r\n";
  const auto entries = parseIdFile(bytes);
  ASSERT_EQ(entries.size(), 1500u);
  EXPECT_EQ(entries[1499].id, "ID1499");
}

TEST(GroupFile, FormatRules) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<GroupEntry> groups;
  } cases[] = {
      {"one group", "[friends]\r\nA;B\r\n", {{"friends", "A;B"}}},
      {"comments around groups",
       "free text\r\n[a]\r\nA\r\nnote\r\n\r\n[b]\r\nB;C\r\ntrailer\r\n",
       {{"a", "A"}, {"b", "B;C"}}},
      {"brackets only", "[]\r\nA\r\n", {{"", "A"}}},
      {"no closing bracket", "[abc\r\nA\r\n", {{"ab", "A"}}},
      {"a lone bracket", "[\r\nA\r\n", {{"", "A"}}},
      {"two name lines in a row", "[a]\r\n[b]\r\nX\r\n", {{"a", "[b]"}}},
      {"name line ends the file unended", "[a]\r\nX\r\n[b]", {{"a", "X"}}},
      {"member line ends the file unended", "[a]\r\nX;Y", {{"a", "X;Y"}}},
      {"no member line after the last name", "[a]\r\n", {{"a", ""}}},
      {"empty member line", "[a]\r\n\r\n[b]\r\nB\r\n", {{"a", ""}, {"b", "B"}}},
      {"a lone end mark", "[a]\r\nX\r\n\x1a", {{"a", "X"}}},
      {"line ends converted twice", "[a]\r\r\nX;Y\r\r\n", {{"a", "X;Y"}}},
      {"a stray CR ends the member line", "[a]\r\nX\rY\r\n", {{"a", "X"}}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseGroupFile(c.bytes), c.groups) << c.name;
}

TEST(GroupFile, NamesAreCutMembersKeptWhole) {
  // The last character dropped is a whole kanji.
  EXPECT_EQ(parseGroupFile(sj("[名前\r\n\r\n"))[0].name, sj("名"));
  // 78 bytes and a kanji: 79 bytes would end inside it.
  const std::string longName = std::string(78, 'x') + sj("漢") + "yy";
  EXPECT_EQ(parseGroupFile("[" + longName + "]\r\nA\r\n")[0].name, std::string(78, 'x'));
  // Thirty-two IDs of nine bytes, as the ID list registers them.
  std::string members;
  for (int i = 0; i < 32; ++i) members += (i ? ";ID" : "ID") + std::string(7, 'a' + i % 26);
  EXPECT_EQ(parseGroupFile("[all]\r\n" + members + "\r\n")[0].members, members);
}

TEST(GroupFile, AtMost128Groups) {
  std::string bytes;
  for (int i = 0; i < 130; ++i) bytes += "[g" + std::to_string(i) + "]\r\nA\r\n";
  const auto groups = parseGroupFile(bytes);
  ASSERT_EQ(groups.size(), 128u);
  EXPECT_EQ(groups.back().name, "g127");
}

}  // namespace
}  // namespace zazir

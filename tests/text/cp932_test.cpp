#include "text/cp932.h"

#include <gtest/gtest.h>

#include "platform/linestream.h"
#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

TEST(StartsDoubleByte, WalksCharactersFromTheStart) {
  // Two half-width katakana are single bytes; the kanji starts at 2.
  const std::string text = sj("ｱｲ漢a");
  struct Case {
    std::size_t position;
    bool expected;
  } cases[] = {{0, false}, {1, false}, {2, true}, {3, false}, {4, false}, {9, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(startsDoubleByte(text, c.position), c.expected) << "position " << c.position;
  }
  EXPECT_FALSE(startsDoubleByte("", 0));
  // A trail byte that looks like a lead byte is still a trail byte.
  const std::string pair = "\x88\x9f\x88\x9f";  // 亜亜
  EXPECT_TRUE(startsDoubleByte(pair, 2));
  EXPECT_FALSE(startsDoubleByte(pair, 1));
  EXPECT_FALSE(startsDoubleByte(pair, 3));
}

TEST(CharacterBoundary, NeverCutsADoubleByteCharacter) {
  const std::string text = sj("aあいう");  // 1 + 2 + 2 + 2 bytes
  EXPECT_EQ(characterBoundary(text, 0), 0u);
  EXPECT_EQ(characterBoundary(text, 1), 1u);
  EXPECT_EQ(characterBoundary(text, 2), 1u);
  EXPECT_EQ(characterBoundary(text, 3), 3u);
  EXPECT_EQ(characterBoundary(text, 6), 5u);
  EXPECT_EQ(characterBoundary(text, 100), 7u);
  EXPECT_EQ(cutToBytes(text, 4), sj("aあ"));
}

TEST(ReadPiece, CarriesALeadByteCutByTheLimitToTheNextPiece) {
  struct Case {
    const char* name;
    std::string data;
    std::size_t limit;
    std::vector<std::string> pieces;
  } cases[] = {
      // 76 ASCII bytes then a kanji: a 77-byte read would end on its lead byte.
      {"a kanji across the limit",
       std::string(76, 'x') + sj("漢") + "yz\r\nnext\r\n",
       77,
       {std::string(76, 'x'), sj("漢") + "yz\r\n", "next\r\n"}},
      {"a kanji across 78 bytes",
       std::string(77, 'a') + "\x88\x9f\r\n",
       78,
       {std::string(77, 'a'), "\x88\x9f\r\n"}},
      // A lead byte at the end of the data is read once and reading ends.
      {"a lone lead byte cut off at the end", "ab\x88", 3, {"ab", "\x88"}},
      {"a lone lead byte within the limit", "a\x88", 3, {"a\x88"}},
  };
  for (const Case& c : cases) {
    MemoryLineStream stream(c.data);
    std::vector<std::string> pieces;
    std::string piece;
    while (pieces.size() < 10 && readPiece(stream, piece, c.limit)) pieces.push_back(piece);
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

}  // namespace
}  // namespace zazir

#include "text/cp932.h"

#include <gtest/gtest.h>

#include <random>

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
  // Any bytes: what a walk from the start finds.
  std::mt19937 random(3);
  const unsigned char bytes[] = {'a', 0x40, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xFC, 0xFD};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int k = static_cast<int>(random() % 12); k > 0; --k) {
      text += static_cast<char>(bytes[random() % std::size(bytes)]);
    }
    std::vector<bool> starts(text.size() + 1, false);
    for (std::size_t at = 0; at < text.size(); at += isLeadByte(text[at]) ? 2 : 1) {
      starts[at] = isLeadByte(text[at]);
    }
    for (std::size_t at = 0; at <= text.size(); ++at) {
      ASSERT_EQ(startsDoubleByte(text, at), starts[at]) << round << " at " << at;
    }
  }
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

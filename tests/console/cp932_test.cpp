#include "console/cp932.h"

#include <gtest/gtest.h>

#include "platform/linestream.h"
#include "support/scripted_backend.h"
#include "support/temp_dir.h"

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

TEST(ReadPiece, CarriesALeadByteCutByTheLimit) {
  // 76 ASCII bytes then a kanji: a 77-byte read would end on its lead byte.
  const std::string line = std::string(76, 'x') + sj("漢") + "yz\r\n";
  MemoryLineStream stream(line + "next\r\n");
  std::string piece;
  ASSERT_TRUE(readPiece(stream, piece, 77));
  EXPECT_EQ(piece, std::string(76, 'x'));
  ASSERT_TRUE(readPiece(stream, piece, 77));
  EXPECT_EQ(piece, sj("漢") + "yz\r\n");
  ASSERT_TRUE(readPiece(stream, piece, 77));
  EXPECT_EQ(piece, "next\r\n");
  EXPECT_FALSE(readPiece(stream, piece, 77));
}

TEST(ReadPiece, SeventyEightByteLineEndingInALeadByteLosesItToTheNextRead) {
  const std::string line = std::string(77, 'a') + "\x88";
  MemoryLineStream stream(line + "\x9f\r\n");
  std::string piece;
  ASSERT_TRUE(readPiece(stream, piece, 78));
  EXPECT_EQ(piece.size(), 77u);
  ASSERT_TRUE(readPiece(stream, piece, 78));
  EXPECT_EQ(piece, "\x88\x9f\r\n");
}

TEST(ReadPiece, ALeadByteAtTheEndOfTheFileIsReadOnceAndReadingEnds) {
  MemoryLineStream stream("ab\x88");
  std::string piece;
  ASSERT_TRUE(readPiece(stream, piece, 3));
  EXPECT_EQ(piece, "ab");
  ASSERT_TRUE(readPiece(stream, piece, 3));
  EXPECT_EQ(piece, "\x88");
  EXPECT_FALSE(readPiece(stream, piece, 3));
  MemoryLineStream shorter("a\x88");
  ASSERT_TRUE(readPiece(shorter, piece, 3));
  EXPECT_EQ(piece, "a\x88");
  EXPECT_FALSE(readPiece(shorter, piece, 3));
}

TEST(ReadPiece, CarriesAcrossTheFileBufferBoundary) {
  // A real file with a buffer smaller than the data: the cut falls where
  // the buffer must be refilled.
  const testing::TempDir temp;
  const std::string path = temp.path("carry.log");
  std::string data;
  for (int i = 0; i < 200; ++i) data += std::string(76, 'x') + sj("漢字") + "\r\n";
  testing::writeBytes(path, data);
  auto stream = FileLineStream::open(path, 2048);
  ASSERT_TRUE(stream);
  std::string piece;
  std::string joined;
  int pieces = 0;
  while (readPiece(*stream, piece, 77)) {
    EXPECT_FALSE(!piece.empty() && piece.size() == 77 && startsDoubleByte(piece, 76));
    joined += piece;
    ++pieces;
  }
  EXPECT_EQ(joined, data);
  EXPECT_EQ(pieces, 400);
}

}  // namespace
}  // namespace zazir

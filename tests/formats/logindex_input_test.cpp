// Bad and odd input: the index never crashes, hangs or overflows a field,
// and a file gives the same index as the same bytes in memory.
#include <gtest/gtest.h>

#include <unistd.h>
#include "support/temp_dir.h"

#include <cstdio>
#include <random>

#include "formats/logindex.h"
#include "formats/logindex_support.h"

namespace zazir {
namespace {

using namespace std::string_literals;
using testing::indexText;
using testing::listingLine;
using testing::logOf;
using testing::sj;

std::string describe(const LogIndex& index) {
  std::string text;
  auto boards = [&](const char* kind, const std::vector<BoardEntry>& table) {
    for (const BoardEntry& b : table) {
      text += formatText("%s %i %i [%s] [%s]\n", kind, static_cast<int>(b.listOffset), b.number,
                         b.name, b.label);
    }
  };
  boards("message", index.messageBoards);
  boards("file", index.fileBoards);
  for (std::size_t i = 0; i < index.chatBoards.size(); ++i) {
    const ChatBoardEntry& c = index.chatBoards[i];
    text += formatText("chat %i %i %i [%s] [%s]\n", static_cast<int>(index.chatContentOffset[i]),
                       c.number, static_cast<int>(c.hasNew), c.name, c.label);
  }
  for (const MailEntry& m : index.mails) {
    text += formatText("mail %i [%s] [%s] [%s] [%s] [%s]\n", static_cast<int>(m.headerOffset),
                       m.senderId, m.senderName, m.dateText, m.timeText, m.title);
  }
  return text + formatText("notewall %i\n", static_cast<int>(index.notewallOffset));
}

void expectSound(const LogIndex& index, const std::string& log, const std::string& what) {
  const auto size = static_cast<LogOffset>(log.size());
  auto inLog = [&](LogOffset offset) { return offset >= 0 && offset <= size; };
  for (const auto* table : {&index.messageBoards, &index.fileBoards}) {
    LogOffset previous = -1;
    for (const BoardEntry& b : *table) {
      EXPECT_TRUE(inLog(b.listOffset) && b.listOffset > previous) << what;
      previous = b.listOffset;
      EXPECT_GT(b.number, 0) << what;
      EXPECT_FALSE(b.name.empty()) << what;
      EXPECT_LE(b.label.size(), 79u) << what;
    }
  }
  EXPECT_LE(index.chatBoardCount(), kMaxChatBoards) << what;
  ASSERT_EQ(index.chatContentOffset.size(), index.chatBoards.size()) << what;
  for (std::size_t i = 0; i < index.chatBoards.size(); ++i) {
    EXPECT_TRUE(inLog(index.chatContentOffset[i])) << what;
    EXPECT_LE(index.chatBoards[i].name.size(), 12u) << what;
    EXPECT_LE(index.chatBoards[i].label.size(), 48u) << what;
  }
  for (const MailEntry& m : index.mails) {
    EXPECT_EQ(log.compare(static_cast<std::size_t>(m.headerOffset), 7, "Private"), 0) << what;
    EXPECT_LE(m.senderId.size(), 19u) << what;
    EXPECT_LE(m.senderName.size(), 29u) << what;
    EXPECT_LE(m.title.size(), 79u) << what;
    EXPECT_LE(m.dateText.size(), 9u) << what;
    EXPECT_LE(m.timeText.size(), 9u) << what;
  }
  EXPECT_TRUE(index.notewallOffset == -1 || inLog(index.notewallOffset)) << what;
}

// Random bytes, biased towards the bytes and texts the scanner looks at.
std::string noisyLog(unsigned seed, std::size_t size) {
  std::mt19937 rng(seed);
  const std::string pieces[] = {
      "\r\n",
      "\n",
      "\r",
      "\t",
      " ",
      ":",
      "\xA5",
      std::string(1, '\0'),
      "#",
      "Private Message is from: ",
      sj("検索中"),
      sj("未読なし"),
      "No messages found",
      sj("新しいメッセージ"),
      sj("《 気軽な伝言板 》"),
      sj("FILE NEWS: 日付指定"),
      "   1: ",
      listingLine(2, "b", "t", "検索中") + "\r\n",
      listingLine(3, "#c", "t", "新着なし") + "\r\n",
      listingLine(4, "f", "t", "未読なし") + "\r\n",
      "\x82",
      "\x88\x9f",
  };
  std::string log;
  while (log.size() < size) {
    if (rng() % 3 == 0) {
      log += pieces[rng() % std::size(pieces)];
    } else {
      log += static_cast<char>(rng() % 256);
    }
  }
  return log;
}

std::string writeTemp(const std::string& name, const std::string& bytes) {
  static const testing::TempDir temp;
  const std::string path = temp.path(name);
  testing::writeBytes(path, bytes);
  return path;
}

TEST(BadInput, RandomBytesGiveASoundIndexWhateverTheStream) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const std::string log = noisyLog(seed, 300'000);
    const auto inMemory = indexText(log);
    expectSound(inMemory, log, formatText("seed %i", seed));
    // Read line by line, without the fast skip, the index is the same.
    testing::PlainStream plain(log);
    EXPECT_EQ(describe(testing::indexStream(plain)), describe(inMemory));

    const std::string path = writeTemp("logindex_noise.log", log);
    auto file = FileLineStream::open(path, 10000);
    ASSERT_TRUE(file);
    EXPECT_EQ(describe(testing::indexStream(*file)), describe(inMemory)) << "seed " << seed;
    unlink(path.c_str());
  }
}

TEST(BadInput, NulBytesAreOrdinaryBytes) {
  std::string listing = listingLine(3, "nul", "ab", "未読なし");
  listing[11] = '\0';
  const std::string nulLine(200, '\0');
  const std::string log = logOf({nulLine, listing, "Private Message is from: A\0B c"s}) + nulLine;
  const auto result = indexText(log);
  expectSound(result, log, "nul");
  ASSERT_EQ(result.messageBoardCount(), 1);
  EXPECT_EQ(result.messageBoards[0].listOffset, 202);
  EXPECT_EQ(result.messageBoards[0].label, listing);
  ASSERT_EQ(result.mailCount(), 1);
  EXPECT_EQ(result.mails[0].senderId, std::string("A\0B", 3));
}

TEST(BadInput, LinesOfAHundredKilobytesArriveInPieces) {
  const std::string huge(100'000, 'x');
  const std::string board = listingLine(9, "after", "", "未読なし");
  const std::string log = logOf({
      huge,
      board + huge,                          // too long to be a listing line
      "Private Message is from: A " + huge,  // the next pieces are its header
      board,
  });
  const auto result = indexText(log);
  expectSound(result, log, "huge");
  ASSERT_EQ(result.messageBoardCount(), 1);
  EXPECT_EQ(result.messageBoards[0].listOffset, static_cast<LogOffset>(log.rfind(board)));
  ASSERT_EQ(result.mailCount(), 1);
  EXPECT_EQ(result.mails[0].senderName, std::string(29, 'x'));
  EXPECT_EQ(result.mails[0].title, std::string(79, 'x'));
}

TEST(BadInput, LongBoardNamesAndBoardsWithoutACountLine) {
  const std::string name(40, 'N');
  const std::string unread = listingLine(1, name, "", "未読なし");
  std::string tail;
  for (int i = 0; i < 5000; ++i) tail += formatText("line %i\r\n", i);
  const std::string log = logOf({unread, listingLine(2, name, "", "検索中"),
                                 "Private Message is from: LOST0001 lost"}) +
                          tail;
  const auto result = indexText(log);
  expectSound(result, log, "long names");
  ASSERT_EQ(result.messageBoardCount(), 2);
  EXPECT_EQ(result.messageBoards[0].name, name);
  EXPECT_EQ(result.messageBoards[0].label, unread);
  EXPECT_EQ(result.messageBoards[1].name, name);
  EXPECT_EQ(result.messageBoards[1].label, "   2: " + name + "  " + sj(" ★未読あり"));
  // Everything after a searched board without a count line is its content.
  EXPECT_EQ(result.mailCount(), 0);
}

}  // namespace
}  // namespace zazir

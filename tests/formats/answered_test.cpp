// What a reply answers, told by its title and first body lines: the forms
// that name a message, and the numbers that only look like one.
#include "formats/answered.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

std::vector<std::string> sjLines(std::initializer_list<const char*> lines) {
  std::vector<std::string> out;
  for (const char* line : lines) out.push_back(sj(line));
  return out;
}

TEST(Answered, TheFormsThatNameAMessageAndThoseThatDoNot) {
  const std::string longLine = std::string(254, 'x') + ">>5";  // past the bytes read
  struct Case {
    const char* title;
    std::vector<std::string> body;
    std::string board;
    std::vector<int> numbers;
  } cases[] = {
      // A reader's headings as the bundled configuration writes them.
      {"Re:a", sjLines({"", "山田太郎さんの #101「初めての投稿」へのレスです。"}), "", {101}},
      {"a", sjLines({"山田太郎さんの #101「初めての投稿」を読んで"}), "", {101}},
      // The batch reply: one heading per answered message, the first first.
      {"a",
       sjLines({"●　田中さんの103番の書き込みに対して", "", "田中> >>7 は", "",
                "●　鈴木さんの105番の書き込みに対して"}),
       "",
       {103, 105}},
      // Hand-written, full-width too, each number once.
      {"a", sjLines({"101番へのレス"}), "", {101}},
      {"a", sjLines({"#101 への返事", ">>101 >>102"}), "", {101, 102}},
      {"a", sjLines({"＞＞１０１　さん、どうも"}), "", {101}},
      {"a", sjLines({"　＃１２番へのﾚｽ"}), "", {12}},
      {"a", sjLines({"Re: #101"}), "", {101}},
      // Quoted lines, prices, dates, numbers in prose, the wrong sizes.
      {"a", sjLines({"> #101「題」へのレスです。"}), "", {}},
      {"a", sjLines({"山田> 田中さんの #101「題」へのレスです。"}), "", {}},
      {"a", sjLines({"Hiro> >>101", ">>>102"}), "", {}},
      {"a", sjLines({"お値段は101円でした。", "96/06/01 に届きました"}), "", {}},
      {"a", sjLines({"バスは101番のりばから出ます。", "昨日 #101 を読みました"}), "", {}},
      {"a", sjLines({"#0 へのレス", "#1234567890 へのレス"}), "", {}},
      {"a", sjLines({"http://example.jp/page#101", "C#2「入門」について"}), "", {}},
      {"a", sjLines({"ア#3"}), "", {3}},  // ア's second byte is an 'A'
      // Only the first lines that are not blank, and their start.
      {"a", sjLines({"1", "", "2", "3", "4", "5", "6", ">>9"}), "", {}},
      {"a", {longLine}, "", {}},
      // A moved reply names its message in its title, with its board or not
      // at all: the numbers of its body are another board's.
      {"pc98-#1021より移動:増設", sjLines({">>5"}), "pc98", {1021}},
      {"Re: pc98-＃１０２１より移動", {}, "pc98", {1021}},
      {"#1021より移動:増設", sjLines({">>5"}), "", {}},
  };
  for (const Case& c : cases) {
    const Answered answered = answeredBy(sj(c.title), c.body);
    const std::string what = c.body.empty() ? c.title : c.body.front();
    EXPECT_EQ(answered.board, c.board) << what;
    EXPECT_EQ(answered.numbers, c.numbers) << what;
  }
}

TEST(Answered, ABoardsParentsRefuseSelfLinksAndCycles) {
  const auto head = [](int number, const char* title, std::initializer_list<const char*> lines) {
    return MessageHead{number, sj(title), sjLines(lines)};
  };
  const std::vector<MessageHead> board = {
      head(101, "a", {"はじめまして"}),
      head(102, "a", {">>101"}),
      head(103, "a", {"#102「a」へのレス"}),
      head(104, "a", {"#104「a」へのレス", ">>101"}),  // itself: the next one named
      head(105, "a", {">>106"}),                       // one after it
      head(106, "a", {">>110"}),                       // and on
      head(107, "pc98-#101より移動:a", {">>102"}),     // moved within the board
      head(108, "info-#101より移動:a", {">>102"}),     // from another board
      head(101, "a", {}),                              // a number seen twice
      head(109, "a", {">>101"}),                       // the nearest before
      head(110, "a", {">>105", ">>999"}),              // a cycle, then none on the board
  };
  EXPECT_EQ(boardParents("pc98", board), (std::vector<int>{-1, 0, 1, 0, 5, 10, 0, -1, -1, 8, -1}));
}

}  // namespace
}  // namespace zazir

#include "search/logsearch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "formats/boardlog.h"
#include "formats/logindex_support.h"
#include "search/hitrow.h"
#include "support/test_app.h"

namespace zazir::search {
namespace {

using testing::listingLine;
using testing::LogBuilder;
using testing::sj;

// Streams over `log`: in memory, or files read through buffers of
// `buffer` bytes (0: in memory).
StreamOpener opener(const std::string& log, const testing::TempDir& dir, std::size_t buffer) {
  if (buffer == 0) {
    return [&log](std::size_t) { return std::make_unique<MemoryLineStream>(log); };
  }
  std::ofstream(dir.path("LOG"), std::ios::binary) << log;
  return [&dir, buffer](std::size_t) {
    return std::unique_ptr<LineStream>(FileLineStream::open(dir.path("LOG"), buffer));
  };
}

// `asRead`: the index made as the log is searched, not beforehand.
std::vector<SearchHit> allHits(const std::string& log, const std::string& text,
                               std::size_t buffer = 0, bool asRead = false) {
  LogIndex index = asRead ? LogIndex{} : testing::indexText(log);
  MemoryLineStream reads(log);
  MemoryLineStream earlier(log);
  testing::TempDir dir;
  const auto size = static_cast<LogOffset>(log.size());
  LogSearch search = asRead ? LogSearch({index, earlier}, opener(log, dir, buffer), reads, size,
                                        compilePattern(text))
                            : LogSearch(index, opener(log, dir, buffer), reads, size,
                                        compilePattern(text));
  std::vector<SearchHit> hits;
  const SearchOutcome outcome = searchLog(search, [&](const SearchHit& hit) {
    hits.push_back(hit);
    return true;
  }, {});
  EXPECT_TRUE(outcome.complete);
  EXPECT_EQ(outcome.hits, hits.size());
  return hits;
}

std::string message(int number, std::string_view title, std::initializer_list<std::string> body) {
  std::string text = formatText("Message  #%i is from: USR%05i かずや\r\n", number, number) +
                     "Date: 96/06/01 10:00:00\r\n" + sj("題名: ") + std::string(title) + "\r\n\r\n";
  for (const std::string& line : body) text += line + "\r\n";
  return text;
}

// A log with every readable kind of section, the word in each, and the
// word again where no reader shows it.
std::string everySection() {
  std::string filler;
  for (int k = 0; k < 40; ++k) filler += std::string(60, 'f') + "\r\n";
  std::string log = testing::logOf({
      "CONNECT 9600", "needle in the banner",
      "Private Message is from: MAIL0001 " + sj("かずや"), "Date: 96/06/01 10:00:00",
      sj("題名: 一通目"), "body", sj("削除しますか (Y/N) >"),
      "Private Message is from: MAIL0002 " + sj("ゆうこ"), "Date: 96/06/02 10:00:00",
      sj("題名: 二通目"), sj("ＮＥＥＤＬＥ in full width"), sj("削除しますか (Y/N) >"),
      "needle after the delete question",
      listingLine(1, "board1", "t", "検索中"), "needle before the count line",
      sj("新しいメッセージが 4 件あります。")});
  log += message(101, "first", {filler});
  log += message(102, sj("ﾆｰﾄﾞﾙ NeEdLe"), {"text"});
  // The reader's index reads lines in pieces: this one starts a message.
  log += std::string(1023, 'x') + "Message  #150 is from: USR9 x\r\nneedle in the piece\r\n";
  log += message(103, "third", {"two needles, needle, one hit"});
  std::vector<std::string> page(520, "row");
  page.push_back("needle below the reader's last row");
  std::string rows;
  for (const std::string& row : page) rows += row + "\r\n";
  log += message(104, "long", {rows});
  log += testing::logOf({
      sj("*CH ボード番号 >"), "needle after the stop line",
      listingLine(2, "board2", "t", "未読なし"),
      listingLine(3, "#chat", "chat", "検索中"), "",
      sj("新しいメッセージが 2 個あります。"), "----", "USR00001     >hello",
      "USR00002     >a needle here", "",
      sj("《 気軽な伝言板 》"), "----", "USR00001      :note one",
      "USR00002      :needle note", "*CH",
      sj("FILE NEWS: 日付指定 96/06/01 以降の新着ファイル"),
      listingLine(1, "soft1", "soft", "検索中"),
      sj("001:SOFT0001.LZH  1000 96/06/01 USR00001 ユーティリティ"), "description",
      "002:NEEDLE.LZH  1000 96/06/01 USR00002 tool", "desc needle",
      sj("*CH ファイルボード番号 >"), "needle at the end"});
  return log;
}

TEST(LogSearchTest, FindsEveryHitWhereItsReaderShowsIt) {
  const std::string log = everySection();
  using S = HitSection;
  struct Where {
    S section;
    int board, item, number;
  };
  const Where expected[] = {
      {S::Mail, 0, 1, 2},           {S::MessageBoard, 0, 1, 102}, {S::MessageBoard, 0, 2, 150},
      {S::MessageBoard, 0, 3, 103}, {S::ChatBoard, 0, 1, 2},      {S::Notewall, 0, 1, 2},
      {S::FileBoard, 0, 1, 2},      {S::FileBoard, 0, 1, 2},
  };
  // One window, and windows of a few KiB whose edges fall anywhere; the
  // index made beforehand and as the log is read.
  const std::size_t buffers[] = {0, 4096, 5000};
  for (std::size_t run = 0; run < 2 * std::size(buffers); ++run) {
    const std::size_t buffer = buffers[run / 2];
    const bool asRead = run % 2 == 1;
    const std::vector<SearchHit> hits = allHits(log, "needle", buffer, asRead);
    ASSERT_EQ(hits.size(), std::size(expected)) << buffer << asRead;
    testing::TestApp test(log, testing::indexText(log));
    for (std::size_t k = 0; k < hits.size(); ++k) {
      const SearchHit& hit = hits[k];
      EXPECT_EQ(hit.section, expected[k].section) << k;
      EXPECT_EQ(hit.board, expected[k].board) << k;
      EXPECT_EQ(hit.item, expected[k].item) << k;
      EXPECT_EQ(hit.number, expected[k].number) << k;
      EXPECT_EQ(compilePattern(log.substr(hit.matchOffset, hit.matchBytes)).units,
                compilePattern("needle").units) << k;
      // The item is the one its reader opens.
      if (hit.section == S::MessageBoard) {
        const BoardPieces messages =
            indexMessages(test.app.log.stream, test.index.messageBoards, hit.board);
        EXPECT_EQ(messages.starts.at(hit.item), hit.itemOffset) << k;
      } else if (hit.section == S::FileBoard) {
        const BoardPieces entries =
            indexFileEntries(test.app.log.stream, test.index.fileBoards, hit.board);
        EXPECT_EQ(entries.starts.at(hit.item), hit.itemOffset) << k;
      }
    }
  }
}

TEST(LogSearchTest, HitRowsShowTheTitleAndTheMatchWithinTheWidth) {
  const std::string log = everySection();
  const LogIndex index = testing::indexText(log);
  MemoryLineStream reads(log);
  const std::vector<SearchHit> hits = allHits(log, "needle");
  const HitRow mail = describeHit(reads, index, hits[0], 40);
  EXPECT_EQ(mail.title, sj("二通目"));
  EXPECT_EQ(mail.line, sj("ＮＥＥＤＬＥ in full width"));
  EXPECT_EQ(mail.matchAt, 0u);
  const HitRow title = describeHit(reads, index, hits[1], 40);
  EXPECT_EQ(title.title, sj("ﾆｰﾄﾞﾙ NeEdLe"));
  EXPECT_EQ(title.line.substr(title.matchAt, 6), "NeEdLe");
  const HitRow entry = describeHit(reads, index, hits[7], 8);
  EXPECT_EQ(entry.title, "002:NEEDLE.LZH  1000 96/06/01 USR00002 tool");
  EXPECT_EQ(entry.line.substr(entry.matchAt), "needle");
}

TEST(LogSearchTest, StoppingKeepsTheHitsAndGoesOnFromThere) {
  const std::string log = everySection();
  const std::vector<SearchHit> whole = allHits(log, "needle");
  const LogIndex index = testing::indexText(log);
  MemoryLineStream reads(log);
  testing::TempDir dir;
  const StreamOpener open = opener(log, dir, 0);
  LogSearch search(index, open, reads, static_cast<LogOffset>(log.size()),
                   compilePattern("needle"));
  std::vector<SearchHit> hits;
  // A screen's worth at a time: the sink stops after every second hit.
  const auto take = [&](const SearchHit& hit) {
    hits.push_back(hit);
    return hits.size() % 2 != 0;
  };
  int pieces = 0;
  while (!search.finished() && pieces < 20) {
    search.scan(1 << 20, take);
    ++pieces;
  }
  EXPECT_EQ(hits, whole);
  EXPECT_GT(pieces, 3);

  // Cancelled at the first progress report: what was found is kept.
  LogSearch cancelled(index, open, reads, static_cast<LogOffset>(log.size()),
                      compilePattern("needle"));
  std::size_t kept = 0;
  const SearchOutcome outcome = searchLog(
      cancelled, [&](const SearchHit&) { return ++kept > 0; },
      [](LogOffset, LogOffset) { return false; });
  EXPECT_FALSE(outcome.complete);
  EXPECT_EQ(outcome.hits, kept);
}

// A message's rows are its lines cut at 77 bytes, never inside a
// character; a row that starts a message ends the one it is in, and 512
// rows are the most shown. Read through small buffers too, whose edges
// fall inside rows.
TEST(LogSearchTest, WrappedRowsEndTheShownPartAsTheReaderCutsThem) {
  // Rows of 150 bytes take two rows; rows of 75 to 77 bytes one, their
  // line end included.
  const auto lines = [](std::initializer_list<std::pair<int, std::size_t>> runs) {
    std::string text;
    for (const auto& [count, bytes] : runs) {
      for (int k = 0; k < count; ++k) text += std::string(bytes, 'w') + "\r\n";
    }
    return text;
  };
  struct Case {
    std::string body;
    int shown;  // the needles found
  };
  const Case cases[] = {
      // With the blank row under the headers: 511 rows before the needle,
      // then 512.
      {lines({{255, 150}}) + "needle\r\n", 1},
      {lines({{256, 150}}) + "needle\r\n", 0},
      {lines({{170, 75}, {170, 76}, {170, 77}}) + "needle\r\n", 1},
      {lines({{170, 75}, {170, 76}, {171, 77}}) + "needle\r\n", 0},
      // 75 bytes and a character: the next row starts a message.
      {std::string(75, 'x') + sj("表") + "Message  #9 needle\r\nneedle", 0},
      // 76 bytes: the character goes to the next row, which starts with it.
      {std::string(76, 'x') + sj("表") + "Message  #9 needle\r\nneedle", 2},
      {std::string(77, 'x') + "\r\n\tMessage  #9 after a TAB needle", 1},
  };
  for (const Case& c : cases) {
    const std::string log = testing::logOf({listingLine(1, "b", "t", "検索中"),
                                            sj("新しいメッセージが 1 件あります。")}) +
                            message(1, "t", {c.body}) + message(2, "t", {"needle"});
    const LogIndex index = testing::indexText(log);
    testing::TempDir dir;
    const StreamOpener open = opener(log, dir, 4096);
    for (const std::size_t buffer : {std::size_t{200}, std::size_t{1000}, std::size_t{1 << 20}}) {
      const auto reads = FileLineStream::open(dir.path("LOG"), buffer);
      LogSearch search(index, open, *reads, static_cast<LogOffset>(log.size()),
                       compilePattern("needle"));
      int inFirst = 0;
      int inSecond = 0;
      searchLog(search,
                [&](const SearchHit& hit) {
                  (hit.number == 1 ? inFirst : inSecond) += 1;
                  return true;
                },
                {});
      EXPECT_EQ(inFirst, c.shown) << c.body.substr(0, 90) << " / " << buffer;
      EXPECT_EQ(inSecond, 1) << buffer;
    }
  }
}

// A log of several blocks, messages long and short, lines longer than a
// piece: the hits and the lines read near them are the same whether the
// scan reads it whole, in the blocks it asks for, or in blocks with no
// bytes kept before them.
TEST(LogSearchTest, TheSameHitsAndLinesWhateverTheBlocks) {
  std::mt19937 random(5);
  std::string log = testing::logOf({listingLine(1, "b", "t", "検索中"),
                                     sj("新しいメッセージが 1 件あります。")});
  for (int number = 1; log.size() < (5u << 19); ++number) {
    std::string body;
    const int lines = random() % 50 == 0 ? 1500 : 1 + static_cast<int>(random() % 12);
    for (int line = 0; line < lines; ++line) {
      const std::size_t width = random() % 30 == 0 ? 1500 + random() % 3000 : random() % 70;
      body += std::string(width, 'w') + (random() % 9 == 0 ? " needle" : "") + "\r\n";
    }
    log += message(number, "t", {body});
  }
  // The board's last line is no message, though it reads as one: known
  // only once the next board is.
  log += "Message  #99999 is from: USR00001 needle\r\n" +
         testing::logOf({listingLine(2, "c", "t", "検索中"),
                         sj("新しいメッセージが 1 件あります。")}) +
         message(1, "t", {"needle"});
  const LogIndex index = testing::indexText(log);
  testing::TempDir dir;
  std::ofstream(dir.path("LOG"), std::ios::binary) << log;
  const auto size = static_cast<LogOffset>(log.size());
  // 0: the memory stream; 1: the sizes asked for; the last, the index
  // made as the log is read.
  std::vector<std::vector<SearchHit>> found;
  for (const std::size_t buffer :
       {std::size_t{0}, std::size_t{1}, std::size_t{100'000}, std::size_t{1}}) {
    const StreamOpener open = [&](std::size_t asked) -> std::unique_ptr<LineStream> {
      if (buffer == 0) return std::make_unique<MemoryLineStream>(log);
      return FileLineStream::open(dir.path("LOG"), buffer == 1 ? asked : buffer);
    };
    const auto reads = FileLineStream::open(dir.path("LOG"), 4096);
    const auto earlier = FileLineStream::open(dir.path("LOG"), 1 << 20);
    LogIndex asRead;
    LogSearch search = found.size() < 3
                           ? LogSearch(index, open, *reads, size, compilePattern("needle"))
                           : LogSearch({asRead, *earlier}, open, *reads, size,
                                       compilePattern("needle"));
    std::vector<SearchHit>& hits = found.emplace_back();
    std::string line;
    searchLog(search, [&](const SearchHit& hit) {
      hits.push_back(hit);
      // The hit's line, as a printer reads it while it is told of the hit.
      const auto start = static_cast<LogOffset>(log.rfind('\n', hit.matchOffset) + 1);
      search.nearHits().seek(start);
      search.nearHits().readLine(line, 8192);
      EXPECT_EQ(line, log.substr(start, line.size())) << buffer;
      EXPECT_EQ(line.back(), '\n') << buffer;
      return true;
    }, {});
  }
  EXPECT_GT(found[0].size(), 300u);
  EXPECT_EQ(found[1], found[0]);
  EXPECT_EQ(found[2], found[0]);
  EXPECT_EQ(found[3], found[0]);
}

// Text of characters that fold, whose bytes look like others' (a trail
// byte 'A', a yen sign), marks alone and after kana; the scan must agree
// with a walk through each line.
TEST(LogSearchTest, AgreesWithALineWalkOnTrickyText) {
  const std::vector<std::string> tokens = {"A",      "a",      sj("Ａ"), sj("ａ"), sj("ｶ"),
                                           sj("ﾞ"),  sj("ガ"), sj("カ"), sj("ア"), " ",
                                           "\t",     "x",      sj("表"), "\\",     sj("　")};
  std::mt19937 random(7);
  const auto pick = [&] { return tokens[random() % tokens.size()]; };
  std::string log = testing::logOf({listingLine(1, "b", "t", "検索中"),
                                     sj("新しいメッセージが 1 件あります。")});
  for (int number = 1; number <= 300; ++number) {
    std::string body;
    for (int line = 0, lines = 1 + static_cast<int>(random() % 5); line < lines; ++line) {
      for (int k = 0, size = static_cast<int>(random() % 20); k < size; ++k) body += pick();
      body += "\r\n";
    }
    log += message(number, "t", {body});
  }
  for (int round = 0; round < 40; ++round) {
    std::string text;
    for (int k = 0, size = 1 + static_cast<int>(random() % 3); k < size; ++k) text += pick();
    const SearchPattern pattern = compilePattern(text);
    std::vector<LogOffset> expected;
    const std::size_t first = log.find("Message  #");
    for (std::size_t at = first; at < log.size();) {
      const std::size_t end = log.find('\n', at) + 1;
      const std::vector<MatchSpan> spans = findMatches(log.substr(at, end - at), pattern);
      if (!spans.empty()) expected.push_back(static_cast<LogOffset>(at + spans[0].start));
      at = end;
    }
    std::vector<LogOffset> found;
    for (const SearchHit& hit : allHits(log, text, 4096 + round * 7)) {
      found.push_back(hit.matchOffset);
    }
    EXPECT_EQ(found, expected) << round;
  }
}

}  // namespace
}  // namespace zazir::search

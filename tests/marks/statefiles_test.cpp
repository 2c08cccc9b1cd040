// The state files as runs share them: several at once, a log that grows,
// logs alike, files too large or unused, files of the former kind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "formats/boardlog.h"
#include "formats/logindex.h"
#include "marks/readmarks.h"
#include "platform/linestream.h"
#include "support/temp_dir.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::sj;
using testing::writeBytes;

constexpr int kPc98 = 1;  // the example log's searched message board

// A run on the log at `path` as start-up and the readers see it: indexed,
// its marks loaded, the mail and the board pc98 tracked.
struct Visit {
  Visit(const std::string& state, const std::string& path)
      : log(FileLineStream::open(path, 10000)) {
    indexLog(*log, index);
    marks = ReadMarks::load(state, index, static_cast<std::uint64_t>(log->tell()), path);
    std::vector<LogOffset> mails;
    for (const MailEntry& mail : index.mails) mails.push_back(mail.headerOffset);
    marks.track(MarkSection::Mail, 0, "mail", mails);
    marks.track(MarkSection::MessageBoard, kPc98, index.messageBoards[kPc98].name,
                indexMessages(*log, index.messageBoards, kPc98).starts);
  }
  bool mailRead(int n) const { return marks.isRead(MarkSection::Mail, 0, n); }

  std::unique_ptr<FileLineStream> log;
  LogIndex index;
  ReadMarks marks;
};

void age(const std::string& path, int days) {
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * days));
}

TEST(ReadMarksStateFiles, NeverLoseAndNeverMix) {
  testing::TempDir dir;
  const std::string state = dir.path("state/");
  const std::string visit = testing::exampleLog();
  const std::string logA = dir.path("A.LOG");
  writeBytes(logA, visit);
  {
    // Two runs at once, each saving in turn: both marks stay.
    Visit first(state, logA);
    Visit second(state, logA);
    first.marks.markRead(MarkSection::Mail, 0, 0);
    ASSERT_TRUE(first.marks.save());
    second.marks.markRead(MarkSection::Mail, 0, 1);
    ASSERT_TRUE(second.marks.save());
    EXPECT_TRUE(second.mailRead(0)) << "the saving run sees the other's mark";
    const Visit third(state, logA);
    EXPECT_TRUE(third.mailRead(0) && third.mailRead(1)) << "two runs saving in turn";
  }
  {
    // A capture program appends the next visit: what the log held keeps
    // its marks, what came is unread.
    Visit before(state, logA);
    before.marks.markRead(MarkSection::MessageBoard, kPc98, 2);
    ASSERT_TRUE(before.marks.save());
    writeBytes(logA, visit + visit);
    Visit grown(state, logA);
    EXPECT_TRUE(grown.mailRead(0) && grown.mailRead(1)) << "grown log: mail";
    EXPECT_FALSE(grown.mailRead(2) || grown.mailRead(3)) << "grown log: mail";
    EXPECT_TRUE(grown.marks.isRead(MarkSection::MessageBoard, kPc98, 2)) << "grown log: board";
    EXPECT_EQ(grown.marks.unreadCount(MarkSection::Mail, 0), 4);
    EXPECT_NE(grown.marks.path(), before.marks.path());
    ASSERT_TRUE(grown.marks.save());
    EXPECT_TRUE(Visit(state, logA).mailRead(1)) << "grown log: saved under its own name";
  }
  {
    // The same size, the same first and last 64 KiB, a sender's name one
    // byte apart in the middle.
    const std::string pad(70000, 'x');
    std::string other = visit;
    const std::size_t at = other.find("AKN00208 ");
    ASSERT_NE(at, std::string::npos);
    other[at + 9] ^= 0x01;
    writeBytes(dir.path("B.LOG"), pad + "\r\n" + visit + pad);
    writeBytes(dir.path("C.LOG"), pad + "\r\n" + other + pad);
    Visit b(state, dir.path("B.LOG"));
    b.marks.markRead(MarkSection::Mail, 0, 2);
    ASSERT_TRUE(b.marks.save());
    EXPECT_FALSE(Visit(state, dir.path("C.LOG")).mailRead(2)) << "logs one byte apart";
    EXPECT_TRUE(Visit(state, dir.path("B.LOG")).mailRead(2));
  }
  {
    // A sound file of this log with a board of 2^20 items, far more than
    // 8 KiB of log can hold: refused, and replaced by the next save.
    Visit run(state, logA);
    MarksFile big;
    const LogIdentity identity = logIdentity(run.index);
    big.identity = identity.value;
    big.records = identity.records;
    big.series.push_back({MarkSection::FileBoard, 0, "big", 1u << 20, 1,
                          std::vector<std::uint64_t>(marksWordsFor(1u << 20), ~0ull)});
    writeBytes(run.marks.path(), encodeMarksFile(big));
    Visit again(state, logA);
    EXPECT_EQ(again.marks.unreadCount(MarkSection::FileBoard, 0), std::nullopt) << "too large";
    again.marks.markRead(MarkSection::Mail, 0, 3);
    ASSERT_TRUE(again.marks.save());
    EXPECT_LT(std::filesystem::file_size(again.marks.path()), 1000u);
  }
  {
    // Files unused for 200 days go, with what a save left half-made; the
    // run's own file counts as used; other files stay.
    const std::string zazir = state;
    const std::string own = Visit(state, logA).marks.path();
    for (const char* name : {"00000000deadbeef.marks", "0123456789abcdef-Ab12Cd.marks",
                             "00000000cafef00d.marks", "notes.txt"}) {
      writeBytes(zazir + name, "x");
      age(zazir + name, std::string_view(name) == "00000000cafef00d.marks" ? 10 : 200);
    }
    age(own, 200);
    const Visit run(state, logA);
    EXPECT_FALSE(std::filesystem::exists(zazir + "00000000deadbeef.marks"));
    EXPECT_FALSE(std::filesystem::exists(zazir + "0123456789abcdef-Ab12Cd.marks"));
    EXPECT_TRUE(std::filesystem::exists(zazir + "00000000cafef00d.marks"));
    EXPECT_TRUE(std::filesystem::exists(zazir + "notes.txt"));
    EXPECT_TRUE(run.mailRead(3));
    EXPECT_LT(std::filesystem::file_time_type::clock::now() - std::filesystem::last_write_time(own),
              std::chrono::hours(1));
  }
}

// What an index tells of a log: the same visit wherever it lies, and any
// change to what the index found, or where, makes another log.
TEST(LogIdentityTest, TheSameVisitAndNoOther) {
  const std::string visit = testing::exampleLog();
  const auto identityOf = [](const std::string& bytes) {
    MemoryLineStream log(bytes);
    LogIndex index;
    indexLog(log, index);
    return logIdentity(index);
  };
  const LogIdentity original = identityOf(visit);
  // Three mails, six message boards, three chat boards, three file boards.
  EXPECT_EQ(original.records, 15u);
  const auto changed = [&](std::string_view from, std::string_view to) {
    std::string bytes = visit;
    const std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return bytes.replace(at, from.size(), to);
  };
  const std::pair<const char*, std::string> others[] = {
      {"a mail's date", changed("96/06/02 22:05:47", "96/06/02 22:05:48")},
      {"a board's count", changed(sj("が 3 件"), sj("が 4 件"))},
      {"a board's name", changed("pc98   ", "pc99   ")},
      {"a byte more before a mail", changed(sj("Hiro です"), sj("Hiro  です"))},
      {"the visit and its end", visit.substr(0, visit.find("   1: info"))},
  };
  for (const auto& [what, bytes] : others) EXPECT_NE(identityOf(bytes), original) << what;
  const std::pair<const char*, std::string> same[] = {
      {"a copy", visit},
      {"a line more at the end", visit + "NO CARRIER\r\n"},
      {"a message's text alone", changed(sj("おすすめ"), sj("オススメ"))},
  };
  for (const auto& [what, bytes] : same) EXPECT_EQ(identityOf(bytes).value, original.value) << what;
}

// A file of the former kind, known by the log's size and ends: its marks
// are taken over once, checked by count as they were, and it goes once
// they are saved in the log's own file.
TEST(ReadMarksStateFiles, MarksKeptBeforeAreTakenOverOnce) {
  testing::TempDir dir;
  const std::string state = dir.path("state/");
  std::filesystem::create_directories(state);
  writeBytes(dir.path("A.LOG"), testing::exampleLog());
  const auto former = [&](std::uint32_t mails) {
    std::string bytes = "ZAZIR read marks\n";
    const auto put = [&](std::uint64_t value, int size) {
      for (int k = 0; k < size; ++k) bytes += static_cast<char>(value >> (8 * k) & 0xFF);
    };
    put(1, 4);
    put(*formerLogKey(dir.path("A.LOG")), 8);
    put(1, 4);  // one series: the mail, its first and third read
    put(0, 1), put(0, 4), put(4, 4), bytes += "mail", put(mails, 4), put(0b101, 8);
    std::uint64_t sum = 0xCBF29CE484222325ull;
    for (const char byte : bytes) sum = (sum ^ static_cast<unsigned char>(byte)) * 0x100000001B3ull;
    put(sum, 8);
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.marks",
                  static_cast<unsigned long long>(*formerLogKey(dir.path("A.LOG"))));
    writeBytes(state + name, bytes);
    return state + name;
  };
  const std::string formerPath = former(3);
  Visit run(state, dir.path("A.LOG"));
  EXPECT_TRUE(run.mailRead(0) && !run.mailRead(1) && run.mailRead(2));
  ASSERT_TRUE(run.marks.save());
  EXPECT_FALSE(std::filesystem::exists(formerPath));
  EXPECT_TRUE(Visit(state, dir.path("A.LOG")).mailRead(2));

  // Marks for another count of mails are another log's.
  std::filesystem::remove(run.marks.path());
  former(4);
  EXPECT_FALSE(Visit(state, dir.path("A.LOG")).mailRead(0));
}

}  // namespace
}  // namespace zazir

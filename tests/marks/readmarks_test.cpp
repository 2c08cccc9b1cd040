#include "marks/readmarks.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::TempDir;
using testing::writeBytes;

// A log of ten megabytes whose index holds one mail and nothing else: the
// marks below are its.
LogIndex indexWithMail(std::string title = "t") {
  LogIndex index;
  index.mails.push_back({0, "ID", "name", std::move(title), "", ""});
  return index;
}
constexpr std::uint64_t kLogBytes = 10'000'000;

ReadMarks loadMarks(const std::string& dir, const LogIndex& index = indexWithMail()) {
  return ReadMarks::load(dir, index, kLogBytes, "");
}

// Where `items` items start, ten bytes apart, the last `moved` of them a
// byte further.
std::vector<LogOffset> spaced(int items, int moved = 0) {
  std::vector<LogOffset> starts;
  for (int item = 0; item < items; ++item) {
    starts.push_back(LogOffset{item} * 10 + (item >= items - moved ? 1 : 0));
  }
  return starts;
}

// Marks on a board of a hundred thousand messages and on the mail, saved.
ReadMarks savedMarks(const std::string& dir) {
  ReadMarks marks = loadMarks(dir);
  marks.track(MarkSection::MessageBoard, 3, "board3", spaced(100000));
  marks.track(MarkSection::Mail, 0, "", spaced(4));
  for (const int item : {0, 63, 64, 99999}) marks.markRead(MarkSection::MessageBoard, 3, item);
  marks.markRead(MarkSection::Mail, 0, 2);
  marks.markRead(MarkSection::Mail, 0, 9);  // past the mail: ignored
  EXPECT_TRUE(marks.save());
  return marks;
}

TEST(ReadMarksTest, SurviveASecondRunCompactly) {
  TempDir dir;
  const ReadMarks first = savedMarks(dir.dir);
  ReadMarks again = loadMarks(dir.dir);
  // Counts are known before the board is opened again.
  EXPECT_EQ(again.unreadCount(MarkSection::MessageBoard, 3), 99996);
  EXPECT_EQ(again.unreadCount(MarkSection::Mail, 0), 3);
  EXPECT_EQ(again.unreadCount(MarkSection::FileBoard, 0), std::nullopt);
  again.track(MarkSection::MessageBoard, 3, "board3", spaced(100000));
  for (const int item : {0, 63, 64, 99999}) {
    EXPECT_TRUE(again.isRead(MarkSection::MessageBoard, 3, item)) << item;
  }
  for (const int item : {1, 62, 65, 99998}) {
    EXPECT_FALSE(again.isRead(MarkSection::MessageBoard, 3, item)) << item;
  }
  EXPECT_TRUE(again.isRead(MarkSection::Mail, 0, 2));
  EXPECT_FALSE(again.changed());
  // One bit a message, and nothing left beside the state file.
  EXPECT_LT(std::filesystem::file_size(again.path()), 100000u / 8 + 200);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.dir), {}), 1);
  // Another log's marks are its own.
  EXPECT_EQ(loadMarks(dir.dir, indexWithMail("other")).unreadCount(MarkSection::Mail, 0),
            std::nullopt);
}

TEST(ReadMarksTest, ABoardOfAnotherNameFewerItemsOrItemsElsewhereStartsUnread) {
  TempDir dir;
  savedMarks(dir.dir);
  const struct {
    const char* what;
    const char* name;
    std::vector<LogOffset> starts;
  } cases[] = {
      {"another name", "board4", spaced(100000)},
      {"fewer items", "board3", spaced(99999)},
      {"items elsewhere", "board3", spaced(100000, 1)},
  };
  for (const auto& c : cases) {
    ReadMarks marks = loadMarks(dir.dir);
    marks.track(MarkSection::MessageBoard, 3, c.name, c.starts);
    EXPECT_FALSE(marks.isRead(MarkSection::MessageBoard, 3, 0)) << c.what;
    EXPECT_EQ(marks.unreadCount(MarkSection::MessageBoard, 3), std::ssize(c.starts)) << c.what;
  }
}

TEST(ReadMarksTest, ADamagedStateFileOnlyMeansNothingIsRead) {
  TempDir dir;
  const std::string good = fileBytes(savedMarks(dir.dir).path());
  const std::string path = loadMarks(dir.dir).path();
  std::string flipped = good;
  flipped[flipped.size() / 2] ^= 0x01;
  // The mail's word of marks (4 items) with a mark past its last item,
  // under a checksum that holds.
  std::string beyond = good.substr(0, good.size() - 8);
  const std::size_t mailWord = beyond.size() - 8;
  ASSERT_EQ(beyond[mailWord], 0x04);
  beyond[mailWord] |= 0x20;
  std::uint64_t sum = 0xCBF29CE484222325ull;
  for (const char byte : beyond) sum = (sum ^ static_cast<unsigned char>(byte)) * 0x100000001B3ull;
  for (int k = 0; k < 8; ++k) beyond += static_cast<char>(sum >> (8 * k) & 0xFF);
  const std::pair<const char*, std::string> damages[] = {
      {"a mark past the last item", beyond},
      {"cut short", good.substr(0, good.size() - 9)},
      {"one bit changed", flipped},
      {"empty", ""},
      {"another file", "ZAZIR read marks\nthis is not one"},
  };
  for (const auto& [what, bytes] : damages) {
    writeBytes(path, bytes);
    ReadMarks marks = loadMarks(dir.dir);
    EXPECT_EQ(marks.unreadCount(MarkSection::Mail, 0), std::nullopt) << what;
    // And the next save puts a sound file in its place.
    marks.track(MarkSection::Mail, 0, "", spaced(4));
    marks.markRead(MarkSection::Mail, 0, 1);
    ASSERT_TRUE(marks.save()) << what;
    EXPECT_EQ(loadMarks(dir.dir).unreadCount(MarkSection::Mail, 0), 3) << what;
  }
  // The marks of this log, copied to another log's name, are not that log's.
  const LogIndex other = indexWithMail("other");
  writeBytes(loadMarks(dir.dir, other).path(), fileBytes(path));
  EXPECT_EQ(loadMarks(dir.dir, other).unreadCount(MarkSection::Mail, 0), std::nullopt);
}

TEST(ReadMarksTest, StateDirectoryFollowsXdgAndHome) {
  EXPECT_EQ(stateDirectory("/x/state", "/home/u"), "/x/state/zazir/");
  EXPECT_EQ(stateDirectory("relative", "/home/u"), "/home/u/.local/state/zazir/");
  EXPECT_EQ(stateDirectory("", "/home/u"), "/home/u/.local/state/zazir/");
  EXPECT_EQ(stateDirectory(nullptr, nullptr), std::nullopt);
}

TEST(ReadMarksTest, SavingMakesTheDirectoryAndReportsWhatCannotBeWritten) {
  TempDir dir;
  ReadMarks marks = loadMarks(dir.path("state/deep/zazir/"));
  marks.track(MarkSection::FileBoard, 1, "soft1", spaced(2));
  EXPECT_TRUE(marks.save());
  EXPECT_TRUE(std::filesystem::exists(marks.path()));
  writeBytes(dir.path("file"), "x");
  ReadMarks blocked = loadMarks(dir.path("file/zazir/"));
  blocked.track(MarkSection::FileBoard, 1, "soft1", spaced(2));
  EXPECT_FALSE(blocked.save());
  EXPECT_TRUE(blocked.changed());
}

// Kept as they are read: due every kKeepEvery new marks, and of the failures
// to keep them only the first is one to tell.
TEST(ReadMarksTest, KeptEveryFewItemsAndAFailureToldOnce) {
  TempDir dir;
  ReadMarks marks = loadMarks(dir.path("state/"));
  marks.track(MarkSection::MessageBoard, 0, "b", spaced(200));
  for (int item = 0; item < ReadMarks::kKeepEvery; ++item) {
    EXPECT_FALSE(marks.keepDue()) << item;
    marks.markRead(MarkSection::MessageBoard, 0, item);
    marks.markRead(MarkSection::MessageBoard, 0, item);  // no new mark
  }
  EXPECT_TRUE(marks.keepDue());
  EXPECT_TRUE(marks.keep());
  EXPECT_FALSE(marks.keepDue());
  EXPECT_EQ(loadMarks(dir.path("state/")).unreadCount(MarkSection::MessageBoard, 0), 150);

  writeBytes(dir.path("file"), "x");
  ReadMarks blocked = loadMarks(dir.path("file/zazir/"));
  blocked.track(MarkSection::MessageBoard, 0, "b", spaced(2));
  blocked.markRead(MarkSection::MessageBoard, 0, 0);
  EXPECT_FALSE(blocked.keep());
  blocked.markRead(MarkSection::MessageBoard, 0, 1);
  EXPECT_TRUE(blocked.keep());  // failed again, told already
  EXPECT_TRUE(blocked.changed());
}

}  // namespace
}  // namespace zazir

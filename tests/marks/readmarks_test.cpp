#include "marks/readmarks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::TempDir;

using testing::fileBytes;
using testing::writeBytes;

constexpr LogKey kKey{0x1234};

// Marks on a board of a million messages and on the mail, saved.
ReadMarks savedMarks(const std::string& dir) {
  ReadMarks marks = ReadMarks::load(dir, kKey);
  marks.track(MarkSection::MessageBoard, 3, "board3", 1000000);
  marks.track(MarkSection::Mail, 0, "", 4);
  for (const int item : {0, 63, 64, 999999}) marks.markRead(MarkSection::MessageBoard, 3, item);
  marks.markRead(MarkSection::Mail, 0, 2);
  marks.markRead(MarkSection::Mail, 0, 9);  // past the mail: ignored
  EXPECT_TRUE(marks.save());
  return marks;
}

TEST(ReadMarksTest, SurviveASecondRunCompactly) {
  TempDir dir;
  const ReadMarks first = savedMarks(dir.dir);
  ReadMarks again = ReadMarks::load(dir.dir, kKey);
  // Counts are known before the board is opened again.
  EXPECT_EQ(again.unreadCount(MarkSection::MessageBoard, 3), 999996);
  EXPECT_EQ(again.unreadCount(MarkSection::Mail, 0), 3);
  EXPECT_EQ(again.unreadCount(MarkSection::FileBoard, 0), std::nullopt);
  again.track(MarkSection::MessageBoard, 3, "board3", 1000000);
  for (const int item : {0, 63, 64, 999999}) {
    EXPECT_TRUE(again.isRead(MarkSection::MessageBoard, 3, item)) << item;
  }
  for (const int item : {1, 62, 65, 999998}) {
    EXPECT_FALSE(again.isRead(MarkSection::MessageBoard, 3, item)) << item;
  }
  EXPECT_TRUE(again.isRead(MarkSection::Mail, 0, 2));
  EXPECT_FALSE(again.changed());
  // One bit a message, and nothing left beside the state file.
  EXPECT_LT(std::filesystem::file_size(again.path()), 1000000u / 8 + 200);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.dir), {}), 1);
  // Another log's marks are its own.
  EXPECT_EQ(ReadMarks::load(dir.dir, LogKey{0x5678}).unreadCount(MarkSection::Mail, 0),
            std::nullopt);
}

TEST(ReadMarksTest, ABoardOfAnotherNameOrSizeStartsUnread) {
  TempDir dir;
  savedMarks(dir.dir);
  for (const auto& [name, items] : {std::pair{"board4", 1000000}, std::pair{"board3", 1000001}}) {
    ReadMarks marks = ReadMarks::load(dir.dir, kKey);
    marks.track(MarkSection::MessageBoard, 3, name, items);
    EXPECT_FALSE(marks.isRead(MarkSection::MessageBoard, 3, 0)) << name;
    EXPECT_EQ(marks.unreadCount(MarkSection::MessageBoard, 3), items) << name;
  }
}

TEST(ReadMarksTest, ADamagedStateFileOnlyMeansNothingIsRead) {
  TempDir dir;
  const std::string good = fileBytes(savedMarks(dir.dir).path());
  const std::string path = ReadMarks::load(dir.dir, kKey).path();
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
    ReadMarks marks = ReadMarks::load(dir.dir, kKey);
    EXPECT_EQ(marks.unreadCount(MarkSection::Mail, 0), std::nullopt) << what;
    // And the next save puts a sound file in its place.
    marks.track(MarkSection::Mail, 0, "", 4);
    marks.markRead(MarkSection::Mail, 0, 1);
    ASSERT_TRUE(marks.save()) << what;
    EXPECT_EQ(ReadMarks::load(dir.dir, kKey).unreadCount(MarkSection::Mail, 0), 3) << what;
  }
  // The marks of this log, copied to another log's name, are not that log's.
  writeBytes(ReadMarks::load(dir.dir, LogKey{0x9}).path(), fileBytes(path));
  EXPECT_EQ(ReadMarks::load(dir.dir, LogKey{0x9}).unreadCount(MarkSection::Mail, 0), std::nullopt);
}

TEST(ReadMarksTest, ALogRenamedOrCopiedKeepsItsKeyAndAnotherLogHasItsOwn) {
  TempDir dir;
  std::string log(200000, 'x');
  log[100] = 'a';
  writeBytes(dir.path("A.LOG"), log);
  std::filesystem::copy_file(dir.path("A.LOG"), dir.path("COPY.LOG"));
  std::filesystem::rename(dir.path("A.LOG"), dir.path("RENAMED.LOG"));
  const std::optional<LogKey> key = logKeyOfFile(dir.path("RENAMED.LOG"));
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(logKeyOfFile(dir.path("COPY.LOG")), key);
  const std::pair<const char*, std::string> others[] = {
      {"first block", std::string(log).replace(100, 1, "b")},
      {"last block", std::string(log).replace(log.size() - 1, 1, "b")},
      {"size", log + "x"},
  };
  for (const auto& [what, bytes] : others) {
    writeBytes(dir.path("OTHER.LOG"), bytes);
    EXPECT_NE(logKeyOfFile(dir.path("OTHER.LOG")), key) << what;
  }
  EXPECT_EQ(logKeyOfFile(dir.path("MISSING.LOG")), std::nullopt);
}

TEST(ReadMarksTest, StateDirectoryFollowsXdgAndHome) {
  EXPECT_EQ(stateDirectory("/x/state", "/home/u"), "/x/state/zazir/");
  EXPECT_EQ(stateDirectory("relative", "/home/u"), "/home/u/.local/state/zazir/");
  EXPECT_EQ(stateDirectory("", "/home/u"), "/home/u/.local/state/zazir/");
  EXPECT_EQ(stateDirectory(nullptr, nullptr), std::nullopt);
}

TEST(ReadMarksTest, SavingMakesTheDirectoryAndReportsWhatCannotBeWritten) {
  TempDir dir;
  ReadMarks marks = ReadMarks::load(dir.path("state/deep/zazir/"), kKey);
  marks.track(MarkSection::FileBoard, 1, "soft1", 2);
  EXPECT_TRUE(marks.save());
  EXPECT_TRUE(std::filesystem::exists(marks.path()));
  writeBytes(dir.path("file"), "x");
  ReadMarks blocked = ReadMarks::load(dir.path("file/zazir/"), kKey);
  blocked.track(MarkSection::FileBoard, 1, "soft1", 2);
  EXPECT_FALSE(blocked.save());
  EXPECT_TRUE(blocked.changed());
}

}  // namespace
}  // namespace zazir

#include "export/logturns.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <thread>

namespace zazir {
namespace {

std::string written(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string bytes;
  char buffer[65536];
  while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, file))
    bytes.append(buffer, got);
  return bytes;
}

// Whoever comes first, each log's lines go out whole and in the logs'
// order; a later log with more than it may keep waits for its turn.
TEST(LogTurns, LinesGoOutInTheLogsOrder) {
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(file);
  LogTurns turns(file);
  const std::string many(LogTurns::kKeptBytes, 'b');
  std::jthread third([&] {
    std::string lines = "c\n";
    EXPECT_TRUE(turns.finish(2, lines, true));
  });
  std::jthread second([&] {
    std::string lines = "b1\n";
    EXPECT_TRUE(turns.offer(1, lines));  // kept unless the first log is done
    lines += many;
    EXPECT_TRUE(turns.offer(1, lines));  // written, after the first log
    EXPECT_TRUE(lines.empty());
    lines = "b2\n";
    EXPECT_TRUE(turns.finish(1, lines, true));
  });
  std::string lines = "a1\n";
  EXPECT_TRUE(turns.offer(0, lines));
  EXPECT_TRUE(lines.empty());
  lines = "a2\n";
  EXPECT_TRUE(turns.finish(0, lines, true));
  second.join();
  third.join();
  EXPECT_EQ(written(file), "a1\na2\nb1\n" + many + "b2\nc\n");
  EXPECT_EQ(turns.turn(), 3u);
  EXPECT_EQ(turns.outputError(), 0);
  std::fclose(file);
}

// A log that cannot be read ends the output after it; so does a failed
// write, with its error.
TEST(LogTurns, AFailedLogOrOutputStopsTheLogsAfterIt) {
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(file);
  LogTurns turns(file);
  std::jthread later([&] {
    std::string lines = "c\n";
    EXPECT_FALSE(turns.finish(2, lines, true));
  });
  std::string lines = "a\n";
  EXPECT_TRUE(turns.finish(0, lines, true));
  lines = "b, as far as it was read\n";
  EXPECT_TRUE(turns.finish(1, lines, false));
  later.join();
  EXPECT_TRUE(turns.stopped());
  EXPECT_EQ(turns.turn(), 1u);
  EXPECT_EQ(written(file), "a\nb, as far as it was read\n");
  std::fclose(file);

  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_TRUE(full);
  std::setvbuf(full, nullptr, _IONBF, 0);
  LogTurns failing(full);
  lines = "a\n";
  EXPECT_FALSE(failing.offer(0, lines));
  EXPECT_EQ(failing.outputError(), ENOSPC);
  lines = "b\n";
  EXPECT_FALSE(failing.offer(1, lines));
  std::fclose(full);
}

}  // namespace
}  // namespace zazir

#include "platform/directory.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zazir {
namespace {

using namespace std::chrono_literals;

// Runs that save into one directory take turns: a second lock, even from
// the same process, waits and gives up while the first is held.
TEST(DirectoryLockTest, OneHolderAtATime) {
  testing::TempDir dir;
  std::optional<DirectoryLock> first = lockDirectory(dir.dir, 0ms);
  ASSERT_TRUE(first.has_value());
  EXPECT_FALSE(lockDirectory(dir.dir, 50ms).has_value());
  first.reset();
  EXPECT_TRUE(lockDirectory(dir.dir, 0ms).has_value());
  EXPECT_FALSE(lockDirectory(dir.path("missing/"), 0ms).has_value());
}

}  // namespace
}  // namespace zazir

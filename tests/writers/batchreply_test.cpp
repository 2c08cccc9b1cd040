#include "writers/batchreply.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

TEST(BatchTitle, TagsUpTo50BytesThenEtc) {
  struct Case {
    std::vector<int> numbers;
    std::string title;
  } cases[] = {
      {{12}, "一括レス:#12"},
      {{12, 15}, "一括レス:#12,#15"},
      {{89, 8}, "一括レス:#89,#8"},
      // Eight tags of four bytes and three of three: exactly 50 bytes with
      // the last, which only loses its comma.
      {{10, 11, 12, 13, 14, 15, 16, 17, 1, 2, 3},
       "一括レス:#10,#11,#12,#13,#14,#15,#16,#17,#1,#2,#3"},
      // One more: " etc" in place of the last comma.
      {{10, 11, 12, 13, 14, 15, 16, 17, 1, 2, 3, 4},
       "一括レス:#10,#11,#12,#13,#14,#15,#16,#17,#1,#2,#3 etc"},
      // And nothing for the marks after that.
      {{10, 11, 12, 13, 14, 15, 16, 17, 1, 2, 3, 4, 5, 6},
       "一括レス:#10,#11,#12,#13,#14,#15,#16,#17,#1,#2,#3 etc"},
      // 49 bytes before the last tag: it is appended whole.
      {{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 1234},
       "一括レス:#10,#11,#12,#13,#14,#15,#16,#17,#18,#19,#1234"},
  };
  for (const Case& c : cases) EXPECT_EQ(batchTitle(c.numbers), sj(c.title));
}

}  // namespace
}  // namespace zazir

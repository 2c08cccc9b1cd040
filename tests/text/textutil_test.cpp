#include "text/textutil.h"

#include <gtest/gtest.h>

namespace zazir {
namespace {

TEST(SafeFileName, ASlashOrANulFromTheLogBecomesAnUnderscore) {
  EXPECT_EQ(safeFileName(std::string("a/b\0c", 5)), "a_b_c");
}

}  // namespace
}  // namespace zazir

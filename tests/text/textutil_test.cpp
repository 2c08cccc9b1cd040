#include "text/textutil.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir {
namespace {

TEST(SafeFileName, ASlashOrANulFromTheLogBecomesAnUnderscore) {
  EXPECT_EQ(safeFileName(std::string("a/b\0c", 5)), "a_b_c");
}

// What is left always fits, keeps the path's end, and never splits a
// double-byte character.
TEST(ShortenPath, APathTooLongLosesItsStartFromADirectoryNameWherePossible) {
  struct Case {
    const char* path;  // UTF-8
    std::size_t width;
    const char* shown;
  } cases[] = {
      {"~/.config/zazir/ZAZIR.CFG", 25, "~/.config/zazir/ZAZIR.CFG"},
      {"~/.config/zazir/ZAZIR.CFG", 24, "…/zazir/ZAZIR.CFG"},
      {"~/.config/zazir/ZAZIR.CFG", 17, "…/ZAZIR.CFG"},
      {"/a/VERYLONGFILENAME.TXT", 10, "…NAME.TXT"},
      {"/home/me/a-long-directory/", 12, "…directory/"},
      {"/ログ/通信ログ.LOG", 12, "…信ログ.LOG"},
      {"/ログ/通信ログ.LOG", 11, "…ログ.LOG"},
      {"/ログ/通信ログ.LOG", 1, ""},
  };
  for (const Case& c : cases) {
    const std::string shown = shortenPath(testing::sj(c.path), c.width);
    EXPECT_EQ(testing::utf8(shown), c.shown) << c.path << " in " << c.width;
    EXPECT_LE(shown.size(), c.width) << c.path;
  }
}

}  // namespace
}  // namespace zazir

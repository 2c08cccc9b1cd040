#include "formats/article.h"

#include <gtest/gtest.h>

#include "formats/boardlog.h"

namespace zazir {
namespace {

// The readers' and the preview's tests show what the lines look like; this
// is what the screens do not show.
TEST(LoadArticle, WhereLinesStartAndWhatIsPastTheEnd) {
  MemoryLineStream text("a\tb\n" + std::string(100, 'x') + "\n");
  const std::optional<Article> composed =
      loadArticle(text, 0, -1, ArticleLayout{0, 78, true, {}});  // as the preview cuts
  ASSERT_TRUE(composed);
  EXPECT_EQ(composed->lines,
            (std::vector<std::string>{"a\tb", std::string(78, 'x'), std::string(22, 'x')}));
  EXPECT_EQ(composed->lineStarts, (std::vector<LogOffset>{0, 4, 82}));

  MemoryLineStream log("only\r\n");
  const std::optional<Article> cut = loadArticle(log, 0, -1, messageLayout());
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->header, (std::vector<std::string>{"only", "", ""}));
  EXPECT_TRUE(cut->lines.empty());
  EXPECT_FALSE(loadArticle(log, 6, -1, fileEntryLayout()));  // nothing there
}

}  // namespace
}  // namespace zazir

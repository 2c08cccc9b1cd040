#include "formats/article.h"

#include <gtest/gtest.h>

#include "formats/boardlog.h"
#include "formats/maillog.h"
#include "support/scripted_backend.h"

namespace zazir {
namespace {

using testing::sj;

TEST(LoadArticle, BytesInLinesOut) {
  const ArticleLayout composed{0, kPreviewLineBytes, true, {}};
  const std::string header = "H1\r\nH2\r\nH3\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    LogOffset end;
    const ArticleLayout& layout;
    std::vector<std::string> header;
    std::vector<std::string> lines;
  } cases[] = {
      {"a message ends at the next one",
       header + "body\r\n\tx\ty\r\nMessage  #2\r\nnext\r\n",
       -1,
       messageLayout(),
       {"H1", "H2", "H3"},
       {"body", " x\ty"}},
      {"and at its end offset",
       header + "body\r\nmore\r\n",
       18,
       messageLayout(),
       {"H1", "H2", "H3"},
       {"body"}},
      {"a header line longer than one read stays one line",
       std::string(1100, 'h') + "\r\nDate\r\nTitle\r\nbody\r\n",
       -1,
       messageLayout(),
       {std::string(1100, 'h'), "Date", "Title"},
       {"body"}},
      {"header lines past the end are empty",
       "only\r\n",
       -1,
       messageLayout(),
       {"only", "", ""},
       {}},
      {"a file entry ends at *CH, not at a prompt",
       "001: A\r\n0012:34 >\r\n*CH\r\nnot\r\n",
       -1,
       fileEntryLayout(),
       {"001: A"},
       {"0012:34 >"}},
      {"a mail ends at the delete question",
       header + "hi\r\n" + sj("削除しますか") + "\r\nnot\r\n",
       -1,
       mailLayout(),
       {"H1", "H2", "H3"},
       {"hi"}},
      {"a composed text keeps its tabs, cut after 78 bytes",
       "a\tb\n" + std::string(100, 'x') + "\n",
       -1,
       composed,
       {},
       {"a\tb", std::string(78, 'x'), std::string(22, 'x')}},
  };
  for (const Case& c : cases) {
    MemoryLineStream stream(c.bytes);
    const std::optional<Article> article = loadArticle(stream, 0, c.end, c.layout);
    ASSERT_TRUE(article) << c.name;
    EXPECT_EQ(article->header, c.header) << c.name;
    EXPECT_EQ(article->lines, c.lines) << c.name;
  }
}

TEST(LoadArticle, WhereLinesStartAndWhatItHolds) {
  MemoryLineStream text("a\tb\n" + std::string(100, 'x') + "\n");
  const ArticleLayout composed{0, kPreviewLineBytes, true, {}};
  EXPECT_EQ(loadArticle(text, 0, -1, composed)->lineStarts, (std::vector<LogOffset>{0, 4, 82}));
  std::string many;
  for (int k = 0; k < 600; ++k) many += "line\r\n";
  MemoryLineStream log(many);
  EXPECT_EQ(loadArticle(log, 0, -1, messageLayout())->lines.size(), kMaxArticleLines);
  EXPECT_FALSE(loadArticle(log, static_cast<LogOffset>(many.size()), -1, fileEntryLayout()));
}

}  // namespace
}  // namespace zazir

#include "console/articleview.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::numbered;
using testing::ScriptedBackend;

TEST(PagerIndicator, Examples) {
  struct Case {
    int total;
    int top;
    int page;
    const char* shown;
  } cases[] = {
      {15, 0, 20, " 0015 lines. Now:Bottom"}, {100, 0, 20, " 0100 lines. Now:Top"},
      {100, 40, 20, " 0100 lines. Now:050%"}, {20, 0, 20, " 0020 lines. Now:Bottom"},
      {21, 0, 20, " 0021 lines. Now:Top"},    {21, 1, 20, " 0021 lines. Now:Bottom"},
      {45, 5, 20, " 0045 lines. Now:020%"},   {0, 0, 20, " 0000 lines. Now:Bottom"},
      {100, 32, 36, " 0100 lines. Now:050%"}, {36, 0, 36, " 0036 lines. Now:Bottom"},
  };
  for (const Case& c : cases) {
    ScriptedBackend backend;
    Console console(backend);
    console.clearScreen();
    console.setCursor(0, 23);
    pagerIndicator(console, c.total, c.top, c.page);
    console.present();
    EXPECT_EQ(backend.row(23), c.shown);
    EXPECT_EQ(console.screen().at(0, 23).attribute, attr::kNormal);
  }
}

// A series of articles of the given lengths ("line 1", ...), moved
// through by the view's moves.
struct Series {
  std::vector<int> lengths;
  ArticleView::OnChange onChange = ArticleView::OnChange::FirstLine;
  ArticlePage page = articlePage(3, 23);
  std::vector<PageMove> moves;
  int current;
  int top;
  std::vector<Outcome> outcomes = {};  // of the moves, when the case says
};

TEST(ArticleView, MovesWithinAndBetweenArticles) {
  using enum PageMove;
  using OnChange = ArticleView::OnChange;
  // What the screens' own tests do not reach: a taller screen's page, the
  // ends of the text and of the series.
  const Series cases[] = {
      {{100}, OnChange::FirstLine, articlePage(3, 39), {PageForward, PageForward}, 0, 64},
      {{100},
       OnChange::FirstLine,
       articlePage(3, 39),
       {Bottom, LineDown, Top, LineUp},
       0,
       0,
       {Outcome::Redraw, Outcome::Stay, Outcome::Redraw, Outcome::Stay}},
      {{50, 60, 25, 10}, OnChange::KeepTopLine, articlePage(3, 23), {Bottom, Last}, 3, 0},
      {{50, 60, 25},
       OnChange::FirstLine,
       articlePage(3, 23),
       {Previous, First, Last, Next, Last, Previous},
       1,
       0,
       {Outcome::Stay, Outcome::Stay, Outcome::Redraw, Outcome::Stay, Outcome::Stay,
        Outcome::Redraw}},
  };
  for (const Series& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lengths.size() << " articles, " << c.moves.size()
                                      << " moves, page " << c.page.pageLines);
    ArticleView view(c.page, static_cast<int>(c.lengths.size()), c.onChange, [&](int n) {
      std::optional<Article> article(std::in_place);
      article->lines = numbered(c.lengths[static_cast<std::size_t>(n)]);
      return article;
    });
    ASSERT_TRUE(view.open(0));
    std::vector<Outcome> outcomes;
    for (PageMove move : c.moves) outcomes.push_back(view.move(move));
    EXPECT_EQ(view.current(), c.current);
    EXPECT_EQ(view.top(), c.top);
    if (!c.outcomes.empty()) {
      EXPECT_EQ(outcomes, c.outcomes);
    }
  }
}

TEST(ArticleView, AnArticleThatCannotBeReadLeaves) {
  ArticleView view(articlePage(3, 23), 2, ArticleView::OnChange::FirstLine, [](int n) {
    return n == 0 ? std::optional<Article>(std::in_place) : std::nullopt;
  });
  ASSERT_TRUE(view.open(0));
  EXPECT_EQ(view.move(PageMove::Next), Outcome::Leave);
  EXPECT_EQ(view.current(), 0);
}

}  // namespace
}  // namespace zazir

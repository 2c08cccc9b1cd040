// The article view every pager shares (the message, file board and mail
// readers, the preview): header rows, a body of lines from the top line,
// the position indicator, scrolling, and moving to the previous, next,
// first or last article of a series.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console/keymap.h"
#include "console/screen.h"
#include "formats/article.h"
#include "platform/encoding.h"

namespace zazir {

class Console;

// The view's own moves, bound in the tables of the screens that use it.
enum class PageMove : std::uint8_t {
  LineUp,
  LineDown,
  PageBack,
  PageForward,
  Top,       // the first page of the text
  Bottom,    // its last page
  Previous,  // the article before
  Next,
  First,  // the first article of the series
  Last,
};

// An article screen's table binds the view's moves and its own actions.
template <typename Action>
using ArticleAction = std::variant<PageMove, Action>;

// Esc, Q, Return, Space and 5 leave a reader.
inline constexpr KeyList kReaderLeaveKeys{key::kEscape, 'Q', 'q', key::kEnter, ' ', '5'};

// A pager's table: the scrolling every pager binds (the cursor keys and the
// keypad by a line, Ctrl+N, Ctrl+B and the page keys by a page), then the
// screen's own bindings.
template <typename Action>
std::vector<Binding<ArticleAction<Action>>> withScrolling(
    std::initializer_list<Binding<ArticleAction<Action>>> own) {
  using namespace literals;
  std::vector<Binding<ArticleAction<Action>>> table{
      row::cursorUp<ArticleAction<Action>>(PageMove::LineUp),
      {kDownKeys, PageMove::LineDown},
      row::pageForward<ArticleAction<Action>>(PageMove::PageForward),
      row::pageBack<ArticleAction<Action>>(PageMove::PageBack),
  };
  table.insert(table.end(), own);
  return table;
}

struct ArticlePage {
  int headerRows = 0;
  int bodyRows = 0;   // rows of text shown, from the row under the header
  int pageLines = 0;  // the measure of a page: scrolling and the position
  int statusRow = 0;
};

// The status row of the article screens: the last row they use. Every
// page follows from it, so a taller terminal gives longer pages.
int articleStatusRow(const Console& console);

// The page of a screen with `headerRows` header rows: text down to the
// status row, measured by the rows under a three-row header (the file
// board and the preview show more rows than they measure).
ArticlePage articlePage(int headerRows, int statusRow);

class ArticleView {
 public:
  // Reads article `n` of the series; none when nothing can be read there.
  using Loader = std::function<std::optional<Article>(int n)>;
  // Whether another article keeps the top line (brought into range) or
  // shows from its first line.
  enum class OnChange { FirstLine, KeepTopLine };

  ArticleView(ArticlePage page, int count, OnChange onChange, Loader load);

  // Shows article `n` from its first line; false when it cannot be read.
  bool open(int n);
  // The view's move: Stay when there is nowhere to go, Leave when the
  // article moved to cannot be read.
  Outcome move(PageMove move);

  void setTop(int top);
  // The page for the status row `statusRow` (the terminal's height may
  // have changed), the top line kept in range.
  void fit(int statusRow);
  // The bytes of each line and of each header line drawn in reverse video
  // (ascending offsets), until another article is loaded.
  void setReversed(std::vector<std::vector<std::size_t>> reversed,
                   std::vector<std::vector<std::size_t>> headerReversed = {}) {
    reversed_ = std::move(reversed);
    headerReversed_ = std::move(headerReversed);
  }

  int current() const { return current_; }
  int count() const { return count_; }
  int top() const { return top_; }
  const Article& article() const { return article_; }
  const ArticlePage& page() const { return page_; }
  int lineCount() const { return static_cast<int>(article_.lines.size()); }
  const std::vector<std::size_t>& reversedOf(int line) const;
  const std::vector<std::size_t>& headerReversedOf(int row) const;

 private:
  bool load(int n);
  Outcome moveTop(int top);
  Outcome change(int n);

  ArticlePage page_;
  int count_;
  OnChange onChange_;
  Loader load_;
  int current_ = 0;
  int top_ = 0;
  Article article_;
  std::vector<std::vector<std::size_t>> reversed_;
  std::vector<std::vector<std::size_t>> headerReversed_;
};

// How a screen draws the view; each flag keeps a screen's own look.
struct ArticleLook {
  Attribute header = attr::kNormal;
  // Header rows padded to the row's end in their attribute; else the rest
  // of the row is cleared.
  bool padHeader = true;
  // Rows past the text in the normal attribute rather than the terminal's
  // colours.
  bool normalBlanks = false;
  // "←" and "→" at the status row's ends while there is an article before
  // or after.
  bool arrows = true;
  std::string_view bar = {};  // the status bar
  // " %04i lines.Now:" and the position inside the bar, else " %04i
  // lines. Now:" after it in the normal attribute.
  bool positionInBar = false;
  // The lines of the whole text when the view holds only the first of
  // them: the indicator says so, and where the page stands in the whole.
  int wholeLines = 0;
};

// The whole screen: header, body from the top line, status row.
void drawArticle(Console& console, const ArticleView& view, const ArticleLook& look);

// "Bottom", "Top" or "%03i%%" for a text of `total` lines shown from `top`.
std::string pagerPosition(int total, int top, int pageLines);

// " %04i lines. Now:" and the position in the normal attribute, then the
// rest of the row cleared; for a part of a longer text (`wholeLines`
// more than `total`), " first %i of %i lines. Now:" and the position in
// the whole.
void pagerIndicator(Console& console, int total, int top, int pageLines, int wholeLines = 0);

// An article screen's key loop: the view's moves go to the view, the
// screen's own actions to `act`. The page follows the terminal's height,
// drawn anew when it changes.
template <typename Action, typename Act, typename Draw>
void runArticleScreen(Console& console, ArticleView& view, KeyTable<ArticleAction<Action>> table,
                      Act act, Draw draw) {
  const auto fit = [&] { view.fit(articleStatusRow(console)); };
  runKeyLoop(
      console, table,
      [&](const ArticleAction<Action>& action) {
        if (const PageMove* move = std::get_if<PageMove>(&action)) {
          fit();
          return view.move(*move);
        }
        return act(std::get<Action>(action));
      },
      [&] {
        fit();
        draw();
      },
      Resizes::Report);
}

}  // namespace zazir

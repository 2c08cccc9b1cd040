#include "console/articleview.h"

#include <algorithm>

#include "console/console.h"
#include "platform/encoding.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

// A page is measured by the rows under a three-row header.
constexpr int kMeasuredHeaderRows = 3;
constexpr int kRightArrowColumn = 76;
constexpr std::size_t kRowBytes = 80;

// `top` limited to 0..lines-page (0 when everything fits).
int clampTop(int top, int lines, int page) {
  if (lines >= page && top > lines - page) return lines - page;
  if (top < 0 || lines < page) return 0;
  return top;
}

}  // namespace

int articleStatusRow(const Console& console) {
  return console.bottomRow();
}

ArticlePage articlePage(int headerRows, int statusRow) {
  return {headerRows, statusRow - headerRows, statusRow - kMeasuredHeaderRows, statusRow};
}

ArticleView::ArticleView(ArticlePage page, int count, OnChange onChange, Loader load)
    : page_(page), count_(count), onChange_(onChange), load_(std::move(load)) {}

bool ArticleView::load(int n) {
  std::optional<Article> article = load_(n);
  if (!article) return false;
  current_ = n;
  article_ = std::move(*article);
  reversed_.clear();
  headerReversed_.clear();
  return true;
}

bool ArticleView::open(int n) {
  top_ = 0;
  return load(n);
}

void ArticleView::setTop(int top) {
  top_ = clampTop(top, lineCount(), page_.pageLines);
}

void ArticleView::fit(int statusRow) {
  page_ = articlePage(page_.headerRows, statusRow);
  setTop(top_);
}

namespace {
const std::vector<std::size_t>& entryOf(const std::vector<std::vector<std::size_t>>& all, int n) {
  static const std::vector<std::size_t> kNone;
  const auto at = static_cast<std::size_t>(n);
  return at < all.size() ? all[at] : kNone;
}
}  // namespace

const std::vector<std::size_t>& ArticleView::reversedOf(int line) const {
  return entryOf(reversed_, line);
}

const std::vector<std::size_t>& ArticleView::headerReversedOf(int row) const {
  return entryOf(headerReversed_, row);
}

Outcome ArticleView::moveTop(int top) {
  const int before = top_;
  setTop(top);
  return top_ == before ? Outcome::Stay : Outcome::Redraw;
}

Outcome ArticleView::change(int n) {
  if (n < 0 || n >= count_ || n == current_) return Outcome::Stay;
  if (!load(n)) return Outcome::Leave;
  setTop(onChange_ == OnChange::FirstLine ? 0 : top_);
  return Outcome::Redraw;
}

Outcome ArticleView::move(PageMove move) {
  const int page = page_.pageLines;
  const bool canGoDown = top_ < lineCount() - page;
  switch (move) {
    case PageMove::LineUp:
      return moveTop(top_ - 1);
    case PageMove::LineDown:
      return canGoDown ? moveTop(top_ + 1) : Outcome::Stay;
    case PageMove::PageBack:
      return moveTop(top_ - page);
    case PageMove::PageForward:
      return canGoDown ? moveTop(top_ + page) : Outcome::Stay;
    case PageMove::Top:
      return moveTop(0);
    case PageMove::Bottom:
      return moveTop(lineCount());
    case PageMove::Previous:
      return change(current_ - 1);
    case PageMove::Next:
      return change(current_ + 1);
    case PageMove::First:
      return change(0);
    case PageMove::Last:
      return change(count_ - 1);
  }
  return Outcome::Stay;
}

std::string pagerPosition(int total, int top, int pageLines) {
  if (top + pageLines >= total) return "Bottom";
  if (top == 0) return "Top";
  return formatText("%03i%%", top * 100 / (total - pageLines));
}

void pagerIndicator(Console& console, int total, int top, int pageLines, int wholeLines) {
  console.setNormal();
  if (wholeLines > total) {
    console.putText(" first %i of %i lines. Now:%s", total, wholeLines,
                    pagerPosition(wholeLines, top, pageLines));
  } else {
    console.putText(" %04i lines. Now:%s", total, pagerPosition(total, top, pageLines));
  }
  console.clearToEndOfLine();
}

void drawArticle(Console& console, const ArticleView& view, const ArticleLook& look) {
  const ArticlePage& page = view.page();
  const Article& article = view.article();
  console.clearScreen();
  for (int row = 0; row < page.headerRows; ++row) {
    const auto at = static_cast<std::size_t>(row);
    const std::string_view line =
        at < article.header.size() ? std::string_view(article.header[at]) : std::string_view();
    console.setCursor(0, row);
    console.setAttribute(look.header);
    if (look.padHeader) {
      console.putText("%-80.80s", line);
    } else {
      console.writeText(cutToBytes(line, kRowBytes));
    }
    // A header byte stands in the column of its offset.
    console.setAttribute(look.header == attr::kBar ? attr::kNormal : attr::kBar);
    for (const std::size_t at : view.headerReversedOf(row)) {
      if (at >= std::min(line.size(), kRowBytes)) break;
      console.setCursor(static_cast<int>(at), row);
      console.writeText(line.substr(at, 1));
    }
  }
  console.setNormal();
  for (int row = 0; row < page.bodyRows; ++row) {
    const int line = view.top() + row;
    const int screenRow = page.headerRows + row;
    if (line < view.lineCount()) {
      console.putBodyRow(screenRow, article.lines[static_cast<std::size_t>(line)],
                         view.reversedOf(line));
    } else if (look.normalBlanks) {
      console.setCursor(0, screenRow);
      console.putText("%-80.80s", "");
    } else {
      console.putBodyRow(screenRow, {});
    }
  }
  console.setCursor(0, page.statusRow);
  if (look.arrows) console.writeText(view.current() > 0 ? "←"_sj : "　"_sj);
  console.setBar();
  console.writeText(look.bar);
  const int total = view.lineCount();
  if (look.positionInBar) {
    console.putText(" %04i lines.Now:%s", total, pagerPosition(total, view.top(), page.pageLines));
    console.setNormal();
    console.clearToEndOfLine();
  } else {
    pagerIndicator(console, total, view.top(), page.pageLines, look.wholeLines);
  }
  if (look.arrows) {
    console.setCursor(kRightArrowColumn, page.statusRow);
    console.writeText(view.current() < view.count() - 1 ? "→"_sj : "　"_sj);
  }
}

}  // namespace zazir

// The screen every reader is: one item of its series a screen in an
// article view, the finding keys, the status bar of its table's hints, its
// help box, the upload file, and the read marks of what it shows. A reader
// gives its layout, an item's row in the title list, its own bindings and
// its actions.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console/articleview.h"
#include "readers/finding.h"
#include "readers/readerkeys.h"
#include "readers/series.h"

namespace zazir {

struct App;

// How a reader shows its items.
struct ReaderLayout {
  int headerRows = 3;
  ArticleView::OnChange onChange = ArticleView::OnChange::FirstLine;
  // How the screen is drawn; the bar and the header's attribute are the
  // screen's.
  ArticleLook look = {};
  std::string_view helpTitle = {};
  // After another screen (the upload file, writing): the item read again
  // from its first line, or shown again from the lines held.
  bool rereads = true;
  // An item that cannot be read (the log changed under the reader) is told
  // with message box 1 wherever it is read, or only when read again.
  bool tellsEveryUnreadable = false;
};

// What every reader shares: its series, the article view, the finder, the
// drawing with the status bar, the shared rows' actions and the read
// marks of what it shows.
class ReaderScreen {
 public:
  ReaderScreen(const ReaderScreen&) = delete;
  ReaderScreen& operator=(const ReaderScreen&) = delete;

 protected:
  ReaderScreen(App& app, LastSearch& last, Series series, const ReaderLayout& layout);
  ~ReaderScreen() = default;

  // An item's row in the title list, `treeMarks` before its title.
  virtual std::string titleRow(int item, std::string_view treeMarks) = 0;
  // Whether the item shown is marked: its header shows in the bar's
  // attribute.
  virtual bool marked() const { return false; }

  // Shows `item` from its first line after another screen ran; Leave when
  // it cannot be read.
  Outcome reopen(int item);
  // What follows another screen, as the layout says.
  Outcome afterScreen();

  App& app() const { return app_; }
  Console& console() const { return console_; }
  ArticleView& view() { return view_; }
  const ArticleView& view() const { return view_; }
  int current() const { return view_.current(); }
  const Series& series() const { return series_; }
  // The start of an item's title row: its read and `marked` marks.
  std::string marksOf(int item, bool marked) const;

  // Opens as asked; false when there is nothing to show.
  bool open(const ReaderOpening& opening);
  Outcome find(FindAction action, const Finder::TitleKey& key) { return finder_.act(action, key); }
  Outcome take(ReaderStep step, const std::vector<std::string_view>& help);
  // Draws the item shown, which is then read.
  void draw(const std::string& bar);
  // The read marks are saved; the place Tab left for, if it did.
  std::optional<ReaderPlace> finish();
  static std::string barOf(const std::string& hints);

 private:
  App& app_;
  Console& console_;
  Series series_;
  ReaderLayout layout_;
  ArticleView view_;
  Finder finder_;
};

// A reader: the shared screen with its table (made by readerKeys) and its
// own actions.
template <typename Own>
class Reader : public ReaderScreen {
 public:
  // Runs the reader, opened as asked, until the user leaves. A board
  // without items is told with message box 1. Gives the place Tab left
  // for, when it left for another series.
  std::optional<ReaderPlace> run(const ReaderOpening& opening) {
    if (!open(opening)) return std::nullopt;
    const std::string bar = barOf(hintsOf(keys_));
    const std::vector<std::string_view> help = helpLinesOf(keys_);
    runArticleScreen<ReaderAction<Own>>(
        console(), view(), keys_,
        [&](const ReaderAction<Own>& action) {
          if (const FindAction* found = std::get_if<FindAction>(&action)) {
            return find(*found, [this](ListAction key) { return titleKey(key); });
          }
          if (const ReaderStep* step = std::get_if<ReaderStep>(&action)) return take(*step, help);
          return act(std::get<Own>(action));
        },
        [&] { draw(bar); });
    return finish();
  }

 protected:
  Reader(App& app, LastSearch& last, Series series, const ReaderLayout& layout,
         KeyTable<ReaderKey<Own>> keys)
      : ReaderScreen(app, last, std::move(series), layout), keys_(keys) {}
  ~Reader() = default;

  virtual Outcome act(Own action) = 0;

 private:
  // A row picked in the title list with W or R does what that key does
  // here; where it does nothing of the reader's own, the row only opens.
  Outcome titleKey(ListAction key) {
    const ReaderKey<Own>* bound =
        actionOf(keys_, Key::ofByte(key == ListAction::Write ? 'W' : 'R'));
    const auto* action = bound ? std::get_if<ReaderAction<Own>>(bound) : nullptr;
    const Own* own = action ? std::get_if<Own>(action) : nullptr;
    return own ? act(*own) : Outcome::Redraw;
  }

  KeyTable<ReaderKey<Own>> keys_;
};

// Marks kept in marking order: toggles `mark`, refusing (false) a new one
// past `most`.
template <typename Mark>
bool toggleMark(std::vector<Mark>& marks, const Mark& mark, std::size_t most) {
  if (const auto found = std::find(marks.begin(), marks.end(), mark); found != marks.end()) {
    marks.erase(found);
    return true;
  }
  if (marks.size() >= most) return false;
  marks.push_back(mark);
  return true;
}

}  // namespace zazir

#include "readers/finding.h"

#include <algorithm>

#include "console/dialogs.h"
#include "platform/encoding.h"
#include "readers/unread.h"
#include "services/app.h"

namespace zazir {

using namespace literals;

Finder::Finder(App& app, LastSearch& last, ArticleView& view, const Series& series, TitleRow row)
    : app_(app),
      last_(last),
      console_(app.console),
      view_(view),
      series_(series),
      row_(std::move(row)) {}

bool Finder::open(const ReaderOpening& opening) {
  if (!view_.open(std::clamp(opening.item, 0, series_.count() - 1))) return false;
  if (opening.match) {
    if (const std::optional<ShownMatch> found =
            showMatch(app_.log.stream, series_, *opening.match)) {
      show(*found);
    }
  }
  return true;
}

Outcome Finder::act(FindAction action, const TitleKey& key) {
  switch (action) {
    case FindAction::TitleList:
      return titleList(key);
    case FindAction::Jump:
      return jump();
    case FindAction::Search:
      return search(true);
    case FindAction::NextMatch:
      return search(false);
    case FindAction::PreviousMatch:
      return previousMatch();
    case FindAction::NextUnread:
      return nextUnread();
  }
  return Outcome::Stay;
}

Outcome Finder::titleList(const TitleKey& key) {
  TitleListing listing{series_.count(), row_};
  if (series_.section == MarkSection::MessageBoard) {
    listing.threads = [this]() -> const Threads& {
      if (!threads_) {
        const std::string& board =
            app_.index.messageBoards[static_cast<std::size_t>(series_.board)].name;
        threads_.emplace(messageParents(app_.log.stream, series_, board));
      }
      return *threads_;
    };
  }
  const std::optional<TitlePick> pick = chooseTitle(app_, listing, view_.current(), threaded_);
  if (!pick) return Outcome::Redraw;
  if (!view_.open(pick->item)) return Outcome::Leave;
  return pick->action == ListAction::Choose ? Outcome::Redraw : key(pick->action);
}

Outcome Finder::jump() {
  const std::string typed = promptBox(console_, "表示する番号 無入力：ｷｬﾝｾﾙ"_sj);
  if (typed.empty()) return Outcome::Redraw;
  const int number = typedNumber(typed);
  const int item = number < 0 ? -1 : itemNumbered(app_.log.stream, series_, number);
  if (item < 0) return notFound(formatText("%s 番は見つかりません"_sj, typed));
  return view_.open(item) ? Outcome::Redraw : Outcome::Leave;
}

// `n` goes on after the match shown; `/` asks for a text and starts at the
// page's top line, as `n` does when no match is shown.
Outcome Finder::search(bool ask) {
  std::string& text = last_.text;
  if (ask) {
    const std::string typed = promptBox(console_, "検索する文字列 無入力：ｷｬﾝｾﾙ"_sj);
    if (typed.empty()) return Outcome::Redraw;
    text = typed;
  } else if (text.empty()) {
    return notFound("検索する文字列がありません（／で入力）"_sj);
  }
  SeriesSearch search(app_.log, series_, text);
  const ShownMatch* current = ask ? nullptr : shownMatch();
  const LogOffset from = current ? series_.startOf(current->item) : topOffset();
  const LogOffset after = current ? current->match.start : -1;
  if (std::optional<ShownMatch> found =
          search.forward(from, after, series_.partEnd(app_.log.size))) {
    return show(*found);
  }
  return showWrapped(
      search.forward(series_.startOf(0), -1, current ? current->match.start + 1 : from), current,
      "最後まで探したので最初から探しました"_sj);
}

Outcome Finder::previousMatch() {
  const std::string& text = last_.text;
  if (text.empty()) return notFound("検索する文字列がありません（／で入力）"_sj);
  SeriesSearch search(app_.log, series_, text);
  const ShownMatch* current = shownMatch();
  const LogOffset before = current ? current->match.start : topOffset();
  if (std::optional<ShownMatch> found = search.backward(before, series_.startOf(0))) {
    return show(*found);
  }
  return showWrapped(search.backward(series_.partEnd(app_.log.size), before), current,
                     "最初まで探したので最後から探しました"_sj);
}

Outcome Finder::showWrapped(const std::optional<ShownMatch>& found, const ShownMatch* current,
                            std::string_view notice) {
  if (!found) return notFound(formatText("「%s」は見つかりません"_sj, last_.text));
  if (current && found->match == current->match) {
    return notFound("ほかに一致する箇所はありません"_sj);
  }
  console_.showOnce(std::string(notice));
  return show(*found);
}

Outcome Finder::nextUnread() {
  const std::optional<UnreadFound> found =
      findUnread(app_, series_.place(view_.current()), series_.count());
  if (!found) {
    tellNothingUnread(console_);
    return Outcome::Redraw;
  }
  if (found->wrapped) console_.showOnce("最後まで読んだので最初から未読を探しました"_sj);
  if (found->place.section != series_.section || found->place.board != series_.board) {
    next_ = found->place;
    return Outcome::Leave;
  }
  return view_.open(found->place.item) ? Outcome::Redraw : Outcome::Leave;
}

Outcome Finder::show(const ShownMatch& found) {
  if (found.item != view_.current() && !view_.open(found.item)) return Outcome::Leave;
  view_.setReversed(found.lines, found.header);
  const int top = view_.top();
  if (found.line >= 0 && (found.line < top || found.line >= top + view_.page().bodyRows)) {
    view_.setTop(found.line);
  }
  shown_ = found;
  return Outcome::Redraw;
}

Outcome Finder::notFound(std::string_view notice) {
  console_.bell();
  console_.showOnce(std::string(notice));
  return Outcome::Redraw;
}

LogOffset Finder::topOffset() const {
  const Article& article = view_.article();
  const auto top = static_cast<std::size_t>(view_.top());
  if (top < article.lineStarts.size()) return article.lineStarts[top];
  const int next = view_.current() + 1;
  return next < series_.count() ? series_.startOf(next) : series_.partEnd(app_.log.size);
}

const ShownMatch* Finder::shownMatch() const {
  return shown_ && shown_->item == view_.current() ? &*shown_ : nullptr;
}

}  // namespace zazir

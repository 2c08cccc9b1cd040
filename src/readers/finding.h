// What the three readers share for finding things: the title list (T), a
// message by its number (#), searching (/, n, N), the next unread item
// (Tab), and the read marks of what they show.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "console/articleview.h"
#include "readers/seriessearch.h"
#include "readers/titlelist.h"

namespace zazir {

struct App;

enum class FindAction { TitleList, Jump, Search, NextMatch, PreviousMatch, NextUnread };

// A reader's actions: the finding ones and its own.
template <typename Own>
using ReaderAction = std::variant<FindAction, Own>;

// A reader's table with the finding keys after its own bindings.
template <typename Own>
std::vector<Binding<ArticleAction<ReaderAction<Own>>>> withFinding(
    std::vector<Binding<ArticleAction<ReaderAction<Own>>>> table) {
  using namespace literals;
  table.insert(table.end(), {
                                {{'T', 't'}, FindAction::TitleList, "Ｔ：タイトル一覧"_sj},
                                {{'#'}, FindAction::Jump, "＃：番号を指定して表示"_sj},
                                {{'/'}, FindAction::Search, "／：文字列を検索"_sj},
                                {{'n'}, FindAction::NextMatch, "ｎ，Ｎ：次／前に一致する箇所"_sj},
                                {{'N'}, FindAction::PreviousMatch},
                                {{key::kTab}, FindAction::NextUnread, "Tab：次の未読"_sj},
                            });
  return table;
}

class Finder {
 public:
  // An item's row in the title list.
  using TitleRow = std::function<std::string(int item)>;
  // The reader's own action for a row picked with W or R, on the item
  // opened.
  using TitleKey = std::function<Outcome(ListAction action)>;

  Finder(App& app, ArticleView& view, const Series& series, TitleRow row, TitleKey key);

  // Runs the reader's screen, opened as asked: the finding actions of
  // `table` go here, the reader's own to `act`; each item `draw` shows is
  // read. Gives the place Tab left for, when it left for another series.
  template <typename Own, typename Act, typename Draw>
  std::optional<ReaderPlace> run(const ReaderOpening& opening,
                                 KeyTable<ArticleAction<ReaderAction<Own>>> table, Act act,
                                 Draw draw) {
    if (!open(opening)) return std::nullopt;
    runArticleScreen<ReaderAction<Own>>(
        console_, view_, table,
        [&](const ReaderAction<Own>& action) {
          if (const FindAction* find = std::get_if<FindAction>(&action)) return this->act(*find);
          return act(std::get<Own>(action));
        },
        [&] {
          draw();
          shown();
        });
    return finish();
  }

 private:
  // Opens the view as asked; false when the item cannot be read.
  bool open(const ReaderOpening& opening);
  // The current item was drawn: it is read.
  void shown();
  Outcome act(FindAction action);
  // The read marks are saved; the place Tab left for, if it did.
  std::optional<ReaderPlace> finish();
  Outcome titleList();
  Outcome jump();
  Outcome search(bool ask);
  Outcome previousMatch();
  Outcome nextUnread();
  Outcome show(const ShownMatch& found);
  // After going round the series: `found` there, unless it is the match
  // shown already.
  Outcome showWrapped(const std::optional<ShownMatch>& found, const ShownMatch* current,
                      std::string_view notice);
  Outcome notFound(std::string_view notice);
  // Where the page's text starts: its top line, else the next item.
  LogOffset topOffset() const;
  const ShownMatch* shownMatch() const;

  App& app_;
  Console& console_;
  ArticleView& view_;
  const Series& series_;
  TitleRow row_;
  TitleKey key_;
  std::optional<ShownMatch> shown_;  // the match shown, while its item is
  std::optional<ReaderPlace> next_;
  int unsaved_ = 0;  // items read since the marks were saved
};

}  // namespace zazir

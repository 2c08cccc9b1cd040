// What the three readers share for finding things: the title list (T), a
// message by its number (#), searching (/, n, N) and the next unread item
// (Tab).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/articleview.h"
#include "readers/seriessearch.h"
#include "readers/threads.h"
#include "readers/titlelist.h"

namespace zazir {

struct App;

enum class FindAction { TitleList, Jump, Search, NextMatch, PreviousMatch, NextUnread };

// A reader's table with the finding keys after its own bindings.
template <typename Action>
std::vector<Binding<Action>> withFinding(std::vector<Binding<Action>> table) {
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

// The text searched for last (CP932): `n` and `N` look for it again in
// any reader, and the whole-log search sets it too.
struct LastSearch {
  std::string text;
};

class Finder {
 public:
  // An item's row in the title list, `treeMarks` before its title.
  using TitleRow = std::function<std::string(int item, std::string_view treeMarks)>;
  // The reader's own action for a row picked with W or R, on the item
  // opened.
  using TitleKey = std::function<Outcome(ListAction action)>;

  Finder(App& app, LastSearch& last, ArticleView& view, const Series& series, TitleRow row);

  // Opens the view as asked (a series with items); false when the item
  // cannot be read.
  bool open(const ReaderOpening& opening);
  Outcome act(FindAction action, const TitleKey& key);
  // The place Tab left for, when it left for another series.
  const std::optional<ReaderPlace>& next() const { return next_; }

 private:
  Outcome titleList(const TitleKey& key);
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
  LastSearch& last_;
  Console& console_;
  ArticleView& view_;
  const Series& series_;
  TitleRow row_;
  // A message board's threads, read when the title list first shows them;
  // whether the list shows them.
  std::optional<Threads> threads_;
  bool threaded_ = false;
  std::optional<ShownMatch> shown_;  // the match shown, while its item is
  std::optional<ReaderPlace> next_;
};

}  // namespace zazir

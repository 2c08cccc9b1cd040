// A reader's key table: the rows every reader binds (scrolling, moving
// between items, the upload file, help, leaving), its own bindings, then
// the finding keys; no key bound twice.
#pragma once

#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console/articleview.h"
#include "readers/finding.h"
#include "text/format.h"

namespace zazir {

// The keys every reader binds besides its own and the finding ones.
enum class ReaderStep { ViewUploadFile, Help, Leave };

template <typename Own>
using ReaderAction = std::variant<FindAction, ReaderStep, Own>;
template <typename Own>
using ReaderKey = ArticleAction<ReaderAction<Own>>;
template <typename Own>
using ReaderBindings = std::initializer_list<Binding<ReaderKey<Own>>>;

// The lines of the rows every reader binds, in its own words (CP932).
struct ReaderRows {
  std::string_view previousNext;  // "←→，４６：前／次の…"
  std::string_view firstLast;     // "Home，End：最初／最後の…"
  std::string_view helpHint;      // the help key's place on the bar
  std::string_view leave;         // "ESC，…：…へ"
};

// Those lines in a reader's words: what its items are called ("メール")
// and where leaving goes ("メニュー"), both CP932. Kept as long as the
// table made from them.
struct ReaderWords {
  ReaderWords(std::string_view items, std::string_view leaveTo) {
    using namespace literals;
    previousNext = formatText("←→，４６：前／次の%s"_sj, items);
    firstLast = formatText("Home，End：最初／最後の%s"_sj, items);
    leave = formatText("ESC，Ｑ，リターン，スペース，５：%sへ"_sj, leaveTo);
  }
  ReaderRows rows(std::string_view helpHint) const {
    return {previousNext, firstLast, helpHint, leave};
  }

  std::string previousNext;
  std::string firstLast;
  std::string leave;
};

// A reader's table: scrolling and the moves between items, its own
// bindings `before` and `after` the upload file and help rows, leaving,
// then the finding keys. A key bound twice (an own key that would shadow
// a finding one) throws std::logic_error as the table is made.
template <typename Own>
std::vector<Binding<ReaderKey<Own>>> readerKeys(const ReaderRows& rows, ReaderBindings<Own> before,
                                                ReaderBindings<Own> after) {
  using namespace literals;
  std::vector<Binding<ReaderKey<Own>>> table = withScrolling<ReaderAction<Own>>({
      {kLeftKeys, PageMove::Previous, rows.previousNext},
      {kRightKeys, PageMove::Next},
      {{key::kHome}, PageMove::First, rows.firstLast},
      {{key::kEnd}, PageMove::Last},
  });
  table.insert(table.end(), before);
  table.insert(table.end(),
               {
                   row::uploadFile<ReaderKey<Own>>(ReaderStep::ViewUploadFile, "F:ｱｯﾌﾟﾌｧｲﾙ参照"_sj),
                   row::help<ReaderKey<Own>>(ReaderStep::Help, rows.helpHint),
               });
  table.insert(table.end(), after);
  table.push_back({kReaderLeaveKeys, ReaderStep::Leave, rows.leave});
  table = withFinding(std::move(table));
  if (const std::optional<Key> twice = keyBoundTwice(keyRowsOf<ReaderKey<Own>>(table))) {
    throw std::logic_error("a reader binds key " + std::to_string(twice->code()) + " twice");
  }
  return table;
}

}  // namespace zazir

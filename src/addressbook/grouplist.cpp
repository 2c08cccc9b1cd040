#include "addressbook/grouplist.h"

#include <variant>
#include <vector>

#include "addressbook/listfile.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "console/pagedcursor.h"
#include "formats/addressfiles.h"
#include "platform/encoding.h"
#include "services/app.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kPageSize = 20;

enum class GroupAction { Choose, Help, Leave };
using GroupKey = std::variant<CursorMove, GroupAction>;

KeyTable<GroupKey> groupKeys() {
  static const Binding<GroupKey> kKeys[] = {
      {kUpKeys,
       CursorMove::Up,
       "カーソルキー，テンキー：カーソル移動"_sj,
       "2,8:カーソル移動"_sj},
      {kDownKeys, CursorMove::Down},
      {{key::kEnter}, GroupAction::Choose, "リターンキー：決定"_sj, "RETURN:決定"_sj},
      {{key::kCtrlN, key::kPageDown}, CursorMove::PageForward, "Ctrl+N，PageDown：次のページ"_sj},
      {{key::kCtrlB, key::kPageUp}, CursorMove::PageBack, "Ctrl+B，PageUp：前のページ"_sj},
      {{key::kHome}, CursorMove::First, "Home，End：最初／最後のグループ"_sj},
      {{key::kEnd}, CursorMove::Last},
      {{'?', key::kCtrlA}, GroupAction::Help, "？，Ctrl+A：このヘルプ"_sj},
      {kLeaveKeys, GroupAction::Leave, "ESC，Ｑ：選ばずに戻る"_sj},
  };
  return kKeys;
}

class GroupList {
 public:
  GroupList(Console& console, std::vector<GroupEntry> groups)
      : console_(console),
        groups_(std::move(groups)),
        cursor_(kPageSize, static_cast<int>(groups_.size())) {}

  std::string run();

 private:
  Outcome act(const GroupKey& key);
  void draw();
  void drawName(Attribute attribute);

  Console& console_;
  std::vector<GroupEntry> groups_;
  PagedCursor cursor_;
  std::string chosen_;
};

std::string GroupList::run() {
  runKeyLoop(
      console_, groupKeys(), [&](const GroupKey& key) { return act(key); }, [&] { draw(); });
  return chosen_;
}

Outcome GroupList::act(const GroupKey& key) {
  if (const CursorMove* move = std::get_if<CursorMove>(&key)) {
    cursor_.go(*move, 1);  // one group to a row
    return Outcome::Redraw;
  }
  switch (std::get<GroupAction>(key)) {
    case GroupAction::Choose:
      if (!cursor_.empty()) chosen_ = groups_[cursor_.index()].members;
      return Outcome::Leave;
    case GroupAction::Help:
      showHelp(console_, "メニュー選択"_sj, groupKeys());
      return Outcome::Redraw;
    case GroupAction::Leave:
      console_.clearScreen();
      return Outcome::Leave;
  }
  return Outcome::Stay;
}

void GroupList::drawName(Attribute attribute) {
  if (cursor_.empty()) return;
  console_.setCursor(0, cursor_.position());
  console_.setAttribute(attribute);
  console_.putText("%-79.79s", groups_[cursor_.index()].name);
  console_.setNormal();
}

void GroupList::draw() {
  console_.clearScreen();
  console_.setNormal();
  const int first = cursor_.firstOnPage();
  for (int k = 0; k < kPageSize && first + k <= cursor_.lastIndex(); ++k) {
    console_.setCursor(0, k);
    console_.putText("%-79.79s", groups_[first + k].name);
  }
  console_.setCursor(0, 23);
  console_.setAttribute(attr::kMarked);
  console_.putText("%s グループリスト %s Now:%s"_sj, "ZAZIR", hintsOf(groupKeys()),
                   cursor_.pagePosition());
  console_.setNormal();
  console_.clearToEndOfLine();
  drawName(attr::kBar);
}

}  // namespace

std::string chooseGroup(App& app) {
  Console& console = app.console;
  const std::optional<std::string> bytes =
      readListFile(console, app.config.grouplistfile, attr::kMarked,
                   formatText("グループファイル[%s]が読めません。\n"
                              "設定ファイル内のGROUPLISTFILE=の項を確認してください。"_sj,
                              app.config.grouplistfile));
  if (!bytes) return {};
  GroupList list(console, parseGroupFile(*bytes));
  return list.run();
}

KeyRows groupListKeyRows() {
  return keyRowsOf(groupKeys());
}

}  // namespace zazir

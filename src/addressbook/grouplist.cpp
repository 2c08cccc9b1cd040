#include "addressbook/grouplist.h"

#include <variant>
#include <vector>

#include "addressbook/listfile.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "console/listscreen.h"
#include "formats/addressfiles.h"
#include "platform/encoding.h"
#include "services/app.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kPageSize = 20;

enum class GroupAction { Choose, Help, Leave };
using GroupKey = ListKey<GroupAction>;

KeyTable<GroupKey> groupKeys();

class GroupList {
 public:
  GroupList(Console& console, std::vector<GroupEntry> groups)
      : console_(console),
        groups_(std::move(groups)),
        list_(addressList(groups_, &GroupEntry::name, kPageSize, 1)) {}

  std::string run();

 private:
  Outcome choose();
  void draw();
  void drawName(Attribute attribute);

  Console& console_;
  std::vector<GroupEntry> groups_;
  ListScreen list_;
  std::string chosen_;
};

KeyTable<GroupKey> groupKeys() {
  static const std::vector<Binding<GroupKey>> kKeys = addressListTable<GroupAction>(
      {.hint = "2,8:カーソル移動"_sj},
      {{{key::kEnter}, GroupAction::Choose, "リターンキー：決定"_sj, "RETURN:決定"_sj}},
      "Home，End：最初／最後のグループ"_sj);
  return kKeys;
}

std::string GroupList::run() {
  runAddressList<GroupAction>(
      console_, list_, groupKeys(), [&](GroupAction) { return choose(); }, [&] { draw(); });
  return chosen_;
}

Outcome GroupList::choose() {
  if (!list_.empty()) chosen_ = groups_[list_.index()].members;
  return Outcome::Leave;
}

void GroupList::drawName(Attribute attribute) {
  if (list_.empty()) return;
  console_.setCursor(0, list_.row());
  console_.setAttribute(attribute);
  console_.putText("%-79.79s", list_.rows()[list_.row()]);
  console_.setNormal();
}

void GroupList::draw() {
  console_.clearScreen();
  console_.setNormal();
  const std::vector<std::string>& names = list_.rows();
  for (int k = 0; k < static_cast<int>(names.size()); ++k) {
    console_.setCursor(0, k);
    console_.putText("%-79.79s", names[k]);
  }
  drawListBar(console_, attr::kMarked, "グループリスト"_sj, hintsOf(groupKeys()), list_);
  drawName(attr::kBar);
}

}  // namespace

std::string chooseGroup(App& app) {
  const std::optional<std::string> bytes = readListFile(
      app.console,
      {"グループファイル"_sj, "GROUPLISTFILE", app.config.grouplistfile, attr::kMarked});
  return bytes ? GroupList(app.console, parseGroupFile(*bytes)).run() : std::string();
}

KeyRows groupListKeyRows() {
  return keyRowsOf(groupKeys());
}

}  // namespace zazir

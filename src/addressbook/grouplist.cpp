#include "addressbook/grouplist.h"

#include <vector>

#include "addressbook/paging.h"
#include "console/dialogs.h"
#include "console/keys.h"
#include "formats/addressfiles.h"
#include "platform/encoding.h"
#include "services/app.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kPageSize = 20;

class GroupList {
 public:
  GroupList(Console& console, std::vector<GroupEntry> groups)
      : console_(console),
        groups_(std::move(groups)),
        cursor_(kPageSize, static_cast<int>(groups_.size())) {}

  std::string run();

 private:
  void drawPage();
  void drawName(Attribute attribute);
  void move(int delta) {
    if (cursor_.move(delta)) drawPage();
  }

  Console& console_;
  std::vector<GroupEntry> groups_;
  PagedCursor cursor_;
};

std::string GroupList::run() {
  drawPage();
  while (true) {
    drawName(attr::kBar);
    const int key = console_.getKey();
    drawName(attr::kNormal);
    switch (key) {
      case key::kUp:
      case '8':
        move(-1);
        break;
      case key::kDown:
      case '2':
        move(1);
        break;
      case '?':
      case key::kCtrlA:
        messageBox(console_, MessageId::MenuHelp);
        drawPage();
        break;
      case key::kEnter:
        return cursor_.empty() ? std::string() : groups_[cursor_.index()].members;
      case key::kEscape:
      case 'Q':
      case 'q':
        console_.clearScreen();
        return {};
      default:
        break;
    }
  }
}

void GroupList::drawName(Attribute attribute) {
  if (cursor_.empty()) return;
  console_.setCursor(0, cursor_.position());
  console_.setAttribute(attribute);
  console_.putText("%-79.79s", groups_[cursor_.index()].name);
  console_.setNormal();
}

void GroupList::drawPage() {
  console_.clearScreen();
  console_.setNormal();
  const int first = cursor_.firstOnPage();
  for (int k = 0; k < kPageSize && first + k <= cursor_.lastIndex(); ++k) {
    console_.setCursor(0, k);
    console_.putText("%-79.79s", groups_[first + k].name);
  }
  console_.setCursor(0, 23);
  console_.setAttribute(attr::kMarked);
  console_.putText("%s グループリスト 2,8:カーソル移動 RETURN:決定 Now:"_sj, "ZAZIR");
  console_.writeText(cursor_.pagePosition());
  console_.setNormal();
  console_.clearToEndOfLine();
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

}  // namespace zazir

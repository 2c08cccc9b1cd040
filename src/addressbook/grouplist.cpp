#include "addressbook/grouplist.h"

#include <vector>

#include "addressbook/addressfiles.h"
#include "addressbook/paging.h"
#include "console/dialogs.h"
#include "console/keys.h"
#include "driver/app.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kPageSize = 20;

class GroupList {
 public:
  GroupList(Console& console, std::vector<GroupEntry> groups)
      : console_(console),
        groups_(std::move(groups)),
        lastIndex_(static_cast<int>(groups_.size()) - 1) {}

  std::string run();

 private:
  int current() const { return page_ * kPageSize + cursor_; }
  void drawPage();
  void drawName(Attribute attribute);
  void move(int delta);

  Console& console_;
  std::vector<GroupEntry> groups_;
  int lastIndex_;  // -1 for a file without groups
  int page_ = 0;
  int cursor_ = 0;
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
        return lastIndex_ < 0 ? std::string() : groups_[current()].members;
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
  if (lastIndex_ < 0) return;
  console_.setCursor(0, cursor_);
  console_.setAttribute(attribute);
  console_.putText("%-79.79s", groups_[current()].name);
  console_.setNormal();
}

void GroupList::drawPage() {
  console_.clearScreen();
  console_.setNormal();
  const int first = page_ * kPageSize;
  for (int k = 0; k < kPageSize && first + k <= lastIndex_; ++k) {
    console_.setCursor(0, k);
    console_.putText("%-79.79s", groups_[first + k].name);
  }
  console_.setCursor(0, 23);
  console_.setAttribute(attr::kMarked);
  console_.putText("%s グループリスト 2,8:カーソル移動 RETURN:決定 Now:"_sj, "ZAZIR");
  console_.writeText(pagePosition(page_, lastIndex_ < 0 ? 0 : lastIndex_ / kPageSize));
  console_.setNormal();
  console_.clearToEndOfLine();
}

void GroupList::move(int delta) {
  const int index = clampListIndex(current() + delta, lastIndex_);
  const int page = index / kPageSize;
  cursor_ = index % kPageSize;
  if (page != page_) {
    page_ = page;
    drawPage();
  }
}

}  // namespace

std::string chooseGroup(App& app) {
  Console& console = app.console;
  const std::optional<std::string> bytes = readBinaryFile(app.config.grouplistfile);
  if (!bytes) {
    console.setCursor(0, 22);
    console.setAttribute(attr::kMarked);
    console.putText(
        "グループファイル[%s]が読めません。\n"
        "設定ファイル内のGROUPLISTFILE=の項を確認してください。"_sj,
        app.config.grouplistfile);
    console.setNormal();
    console.getKey();
    console.clearScreen();
    return {};
  }
  GroupList list(console, parseGroupFile(*bytes));
  return list.run();
}

}  // namespace zazir

#include "addressbook/idlist.h"

#include <algorithm>
#include <variant>
#include <vector>

#include "addressbook/listfile.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "console/listscreen.h"
#include "formats/addressfiles.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/logguard.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// A page is a grid of 8 columns of 10 characters by 20 rows.
constexpr int kPageSize = 160;
constexpr int kGridColumns = 8;
constexpr int kCellWidth = 10;
constexpr std::size_t kMaxMarks = 32;

enum class IdAction { Mark, Finish, RegisterGroup, Help, Leave };
using IdKey = ListKey<IdAction>;

KeyTable<IdKey> idKeys() {
  static const std::vector<Binding<IdKey>> kKeys = addressListTable<IdAction>(
      {.sideways = true},
      {
          {{' '}, IdAction::Mark, "スペース：ＩＤの選択とその取り消し"_sj, "SPACE:選択"_sj},
          {{key::kEnter}, IdAction::Finish, "リターンキー：決定"_sj, "RETURN:終了"_sj},
          {{'G', 'g'},
           IdAction::RegisterGroup,
           "Ｇ：選んだＩＤをグループとして登録"_sj,
           "G:グループ登録"_sj},
      },
      "Home，End：最初／最後のＩＤ"_sj);
  return kKeys;
}

class IdList {
 public:
  IdList(App& app, std::vector<IdEntry> entries)
      : app_(app),
        console_(app.console),
        entries_(std::move(entries)),
        list_(addressList(entries_, &IdEntry::id, kPageSize, kGridColumns)) {}

  std::string run();

 private:
  Outcome act(IdAction action);
  void draw();
  void drawCell(int position, Attribute attribute);
  void drawMarkCount();
  void showCursor();
  void toggleMark();
  std::string selection() const;
  void registerGroup();

  App& app_;
  Console& console_;
  std::vector<IdEntry> entries_;
  ListScreen list_;
  std::vector<int> marks_;  // absolute indices in marking order
  std::string chosen_;
};

std::string IdList::run() {
  runAddressList<IdAction>(
      console_, list_, idKeys(), [&](IdAction action) { return act(action); }, [&] { draw(); });
  return chosen_;
}

Outcome IdList::act(IdAction action) {
  if (action == IdAction::Mark) {
    toggleMark();
  } else if (action == IdAction::RegisterGroup) {
    registerGroup();
  } else {
    chosen_ = selection();
    return Outcome::Leave;
  }
  return Outcome::Redraw;
}

void IdList::drawCell(int position, Attribute attribute) {
  console_.setCursor(position % kGridColumns * kCellWidth, position / kGridColumns);
  console_.setAttribute(attribute);
  console_.putText("%-10.10s", list_.rows()[position]);
  console_.setNormal();
}

void IdList::drawMarkCount() {
  console_.setCursor(74, 23);
  console_.setNormal();
  console_.putText("%02i通"_sj, marks_.size());
}

void IdList::draw() {
  console_.clearScreen();
  console_.setNormal();
  const int first = list_.page() * kPageSize;
  for (int k = 0; k < static_cast<int>(list_.rows().size()); ++k) drawCell(k, attr::kNormal);
  for (int mark : marks_) {
    if (mark / kPageSize == list_.page()) drawCell(mark - first, attr::kMarked);
  }
  drawListBar(console_, attr::kBar, "ＩＤリスト"_sj, hintsOf(idKeys()), list_);
  drawMarkCount();
  showCursor();
}

void IdList::showCursor() {
  static const IdEntry kNone;
  const bool any = !list_.empty();
  if (any) drawCell(list_.row(), attr::kBar);
  const IdEntry& entry = any ? entries_[list_.index()] : kNone;
  console_.setNormal();
  console_.setCursor(0, 21);
  console_.putText("ハンドル名：%-30.30s"_sj, entry.handle);
  console_.setCursor(0, 22);
  console_.putText("メモ：%-40.40s"_sj, entry.memo);
}

void IdList::toggleMark() {
  if (list_.empty()) {
    console_.bell();  // nothing to mark
    return;
  }
  const auto found = std::find(marks_.begin(), marks_.end(), list_.index());
  if (found != marks_.end()) {
    marks_.erase(found);
  } else if (marks_.size() < kMaxMarks) {
    marks_.push_back(list_.index());
  } else {
    console_.bell();
  }
}

std::string IdList::selection() const {
  // Every ID is followed by ";" and the last ";" is dropped, so that marked
  // blank entries still show in a registered group's member line.
  std::string joined;
  for (int mark : marks_) joined += entries_[mark].id + ';';
  if (!joined.empty()) joined.pop_back();
  return joined;
}

void IdList::registerGroup() {
  const std::string members = selection();
  const std::string name = promptBox(
      console_,
      "グループを登録します。このグループの名前を入力してください。 無入力：キャンセル"_sj);
  if (name.empty()) return;
  const std::string& path = app_.config.grouplistfile;
  const AppendOutcome outcome =
      appendText({path, AppendRule::OwnLine, AppendMode::MustExist, app_.state.guard()},
                 formatText("[%s]\n%s\n", name, members));
  if (outcome == AppendOutcome::NotOpened) {
    fatalError(console_, "グループファイルが開けません。"_sj,
               openProblem(path, OpenFor::Appending));
  }
  if (outcome == AppendOutcome::Written) {
    console_.setCursor(0, 23);
    console_.setAttribute(attr::kMarked);
    const std::string told = "グループをグループファイル[%-20s]に登録しました。"_sj;
    // The path takes the rest of the row, its start left out when long.
    console_.putText(told, shortenPath(path, kScreenWidth - (told.size() - 5)));
    console_.setNormal();
    console_.clearToEndOfLine();
    console_.getKey();
    return;
  }
  // Every other outcome, a refusal or a failed write, is told alike.
  const std::string file = formatText("グループファイル[%s]"_sj, path);
  noticeBox(console_, "グループファイルに書き込めません"_sj,
            formatText("%s\n　グループ[%s]は登録されていません。"_sj,
                       isRefusal(outcome)
                           ? refusedFileText(outcome, file)
                           : formatText("　%sに書き込めませんでした。\n"
                                        "　ディスクの空きと書き込みの許可を確認してください。"_sj,
                                        file),
                       name));
}

}  // namespace

std::string chooseIds(App& app) {
  const std::optional<std::string> bytes = readListFile(
      app.console, {"ＩＤファイル"_sj, "IDFILE", app.config.idfile, attr::kIdFileNotice});
  return bytes ? IdList(app, parseIdFile(*bytes)).run() : std::string();
}

KeyRows idListKeyRows() {
  return keyRowsOf(idKeys());
}

}  // namespace zazir

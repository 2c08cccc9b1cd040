#include "addressbook/idlist.h"

#include <algorithm>
#include <variant>
#include <vector>

#include "addressbook/listfile.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "console/pagedcursor.h"
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
using IdKey = std::variant<CursorMove, IdAction>;

KeyTable<IdKey> idKeys() {
  static const Binding<IdKey> kKeys[] = {
      {kLeftKeys, CursorMove::Left, "カーソルキー，テンキー：カーソル移動"_sj},
      {kRightKeys, CursorMove::Right},
      {kUpKeys, CursorMove::Up},
      {kDownKeys, CursorMove::Down},
      {{' '}, IdAction::Mark, "スペース：ＩＤの選択とその取り消し"_sj, "SPACE:選択"_sj},
      {{key::kEnter}, IdAction::Finish, "リターンキー：決定"_sj, "RETURN:終了"_sj},
      {{'G', 'g'},
       IdAction::RegisterGroup,
       "Ｇ：選んだＩＤをグループとして登録"_sj,
       "G:グループ登録"_sj},
      {{key::kCtrlN, key::kPageDown}, CursorMove::PageForward, "Ctrl+N，PageDown：次のページ"_sj},
      {{key::kCtrlB, key::kPageUp}, CursorMove::PageBack, "Ctrl+B，PageUp：前のページ"_sj},
      {{key::kHome}, CursorMove::First, "Home，End：最初／最後のＩＤ"_sj},
      {{key::kEnd}, CursorMove::Last},
      {{'?', key::kCtrlA}, IdAction::Help, "？，Ctrl+A：このヘルプ"_sj},
      {kLeaveKeys, IdAction::Leave, "ESC，Ｑ：選ばずに戻る"_sj},
  };
  return kKeys;
}

class IdList {
 public:
  IdList(App& app, std::vector<IdEntry> entries)
      : app_(app),
        console_(app.console),
        entries_(std::move(entries)),
        cursor_(kPageSize, static_cast<int>(entries_.size())) {}

  std::string run();

 private:
  Outcome act(const IdKey& key);
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
  PagedCursor cursor_;
  std::vector<int> marks_;  // absolute indices in marking order
  std::string chosen_;
};

std::string IdList::run() {
  runKeyLoop(
      console_, idKeys(), [&](const IdKey& key) { return act(key); }, [&] { draw(); });
  return chosen_;
}

Outcome IdList::act(const IdKey& key) {
  if (const CursorMove* move = std::get_if<CursorMove>(&key)) {
    cursor_.go(*move, kGridColumns);
    return Outcome::Redraw;
  }
  switch (std::get<IdAction>(key)) {
    case IdAction::Mark:
      toggleMark();
      return Outcome::Redraw;
    case IdAction::Finish:
      chosen_ = selection();
      return Outcome::Leave;
    case IdAction::RegisterGroup:
      registerGroup();
      return Outcome::Redraw;
    case IdAction::Help:
      showHelp(console_, "メニュー選択"_sj, idKeys());
      return Outcome::Redraw;
    case IdAction::Leave:
      console_.clearScreen();
      return Outcome::Leave;
  }
  return Outcome::Stay;
}

void IdList::drawCell(int position, Attribute attribute) {
  console_.setCursor(position % kGridColumns * kCellWidth, position / kGridColumns);
  console_.setAttribute(attribute);
  console_.putText("%-10.10s", entries_[cursor_.firstOnPage() + position].id);
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
  const int first = cursor_.firstOnPage();
  for (int k = 0; k < kPageSize && first + k <= cursor_.lastIndex(); ++k) {
    drawCell(k, attr::kNormal);
  }
  for (int mark : marks_) {
    if (mark / kPageSize == cursor_.page()) drawCell(mark - first, attr::kMarked);
  }
  console_.setCursor(0, 23);
  console_.setBar();
  console_.putText("%s ＩＤリスト %s Now:%s"_sj, "ZAZIR", hintsOf(idKeys()),
                   cursor_.pagePosition());
  console_.setNormal();
  console_.clearToEndOfLine();
  drawMarkCount();
  showCursor();
}

void IdList::showCursor() {
  static const IdEntry kNone;
  const bool any = !cursor_.empty();
  if (any) drawCell(cursor_.position(), attr::kBar);
  const IdEntry& entry = any ? entries_[cursor_.index()] : kNone;
  console_.setNormal();
  console_.setCursor(0, 21);
  console_.putText("ハンドル名：%-30.30s"_sj, entry.handle);
  console_.setCursor(0, 22);
  console_.putText("メモ：%-40.40s"_sj, entry.memo);
}

void IdList::toggleMark() {
  if (cursor_.empty()) {
    console_.bell();  // nothing to mark
    return;
  }
  const auto found = std::find(marks_.begin(), marks_.end(), cursor_.index());
  if (found != marks_.end()) {
    marks_.erase(found);
  } else if (marks_.size() < kMaxMarks) {
    marks_.push_back(cursor_.index());
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
  if (!name.empty()) {
    const std::string& path = app_.config.grouplistfile;
    const AppendOutcome outcome =
        appendText({path, AppendRule::OwnLine, AppendMode::MustExist, app_.state.guard()},
                   formatText("[%s]\n%s\n", name, members));
    const std::string file = formatText("グループファイル[%s]"_sj, path);
    switch (outcome) {
      case AppendOutcome::NotOpened:
        fatalError(console_, "グループファイルが開けません。"_sj,
                   openProblem(path, OpenFor::Appending));
      case AppendOutcome::NotWritten:
      case AppendOutcome::IsTheLog:
      case AppendOutcome::IsALog:
      case AppendOutcome::IsALink:
      case AppendOutcome::NotAFile:
      case AppendOutcome::NotYours:
      case AppendOutcome::CommandsOnly:
        noticeBox(
            console_, "グループファイルに書き込めません"_sj,
            formatText("%s\n　グループ[%s]は登録されていません。"_sj,
                       isRefusal(outcome)
                           ? refusedFileText(outcome, file)
                           : formatText("　%sに書き込めませんでした。\n"
                                        "　ディスクの空きと書き込みの許可を確認してください。"_sj,
                                        file),
                       name));
        break;
      case AppendOutcome::Written:
        console_.setCursor(0, 23);
        console_.setAttribute(attr::kMarked);
        const std::string told = "グループをグループファイル[%-20s]に登録しました。"_sj;
        // The path takes the rest of the row, its start left out when long.
        console_.putText(told, shortenPath(path, kScreenWidth - (told.size() - 5)));
        console_.setNormal();
        console_.clearToEndOfLine();
        console_.getKey();
        break;
    }
  }
}

}  // namespace

std::string chooseIds(App& app) {
  Console& console = app.console;
  const std::optional<std::string> bytes = readListFile(
      console, app.config.idfile, attr::kIdFileNotice,
      formatText(
          "ＩＤファイル[%s]が読めません。\n設定ファイル内のIDFILE=の項を確認してください。"_sj,
          app.config.idfile));
  if (!bytes) return {};
  IdList list(app, parseIdFile(*bytes));
  return list.run();
}

KeyRows idListKeyRows() {
  return keyRowsOf(idKeys());
}

}  // namespace zazir

#include "addressbook/recipients.h"

#include <algorithm>
#include <vector>

#include "addressbook/grouplist.h"
#include "addressbook/idlist.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "formats/addressfiles.h"
#include "formats/hostfields.h"
#include "platform/encoding.h"
#include "services/app.h"

namespace zazir {

using namespace literals;

namespace {

// What a typed answer of one character (or none) asks for; any other
// answer is IDs.
enum class Answer { Finish, IdList, Groups, Cancel };

KeyTable<Answer> answerKeys() {
  static const Binding<Answer> kKeys[] = {
      {{'0'}, Answer::Finish, {}, "0:終わり"_sj},
      {{'I', 'i'}, Answer::IdList, {}, "I:IDﾘｽﾄ"_sj},
      {{'G', 'g'}, Answer::Groups, {}, "G:ｸﾞﾙｰﾌﾟ"_sj},
      {{key::kEnter}, Answer::Cancel, {}, "無入力:ｷｬﾝｾﾙ"_sj},
  };
  return kKeys;
}

// At the message of a full list, any key goes on; Esc drops the rest of
// the answer, so that a group of hundreds of members does not ask for a
// key for every one of them.
enum class AtFullList { DropRest };

KeyTable<AtFullList> fullListKeys() {
  static const Binding<AtFullList> kKeys[] = {{{key::kEscape}, AtFullList::DropRest}};
  return kKeys;
}

const Answer* answerOf(const std::string& typed) {
  if (typed.size() > 1) return nullptr;
  return actionOf(answerKeys(), typed.empty() ? key::kEnter : Key::ofByte(typed[0]));
}

class RecipientList {
 public:
  explicit RecipientList(App& app) : app_(app), console_(app.console) {}
  std::vector<std::string> run();

 private:
  void draw();
  bool addPiece(const std::string& piece);
  void tell(std::string_view message);

  App& app_;
  Console& console_;
  std::vector<std::string> recipients_;
};

std::vector<std::string> RecipientList::run() {
  while (true) {
    draw();
    std::string answer =
        promptBox(console_, formatText("ﾒｰﾙ送信：送信先のIDを入力(%i通目) %s"_sj,
                                       recipients_.size() + 1, hintsOf(answerKeys())));
    if (const Answer* asked = answerOf(answer)) {
      switch (*asked) {
        case Answer::Cancel:
          return {};
        case Answer::Finish:
          return recipients_;
        case Answer::IdList:
          answer = chooseIds(app_);
          break;
        case Answer::Groups:
          answer = chooseGroup(app_);
          break;
      }
    }
    // Only a typed "0" finishes; a "0" among the pieces is refused.
    std::size_t at = 0;
    while (at <= answer.size()) {
      std::size_t end = answer.find(';', at);
      if (end == std::string::npos) end = answer.size();
      if (end > at && !addPiece(answer.substr(at, end - at))) break;
      at = end + 1;
    }
  }
}

void RecipientList::draw() {
  console_.clearScreen();
  console_.setNormal();
  console_.writeText("\n" + std::string(80, '-'));
  console_.setCursor(31, 1);
  console_.writeText("メール送信先リスト"_sj);
  console_.setCursor(0, 6);
  console_.writeText(std::string(80, '-'));
  for (std::size_t j = 0; j < recipients_.size(); ++j) {
    console_.setCursor(static_cast<int>(j % 8) * 10, 2 + static_cast<int>(j / 8));
    console_.writeText(recipients_[j]);
  }
}

// The bell and a message on the status row.
void RecipientList::tell(std::string_view message) {
  console_.bell();
  console_.setCursor(0, 23);
  console_.setBar();
  console_.writeText(message);
  console_.setNormal();
}

// False when the rest of the answer is to be dropped (fullListKeys).
bool RecipientList::addPiece(const std::string& piece) {
  const auto same = std::find(recipients_.begin(), recipients_.end(), piece);
  if (same != recipients_.end()) {
    tell(formatText("ID = %sはすでに指定済みです。このＩＤへの送信を取り消しますか？"_sj, piece));
    if (askYesNo(console_, YesNoMode::DefaultYes)) recipients_.erase(same);
  } else if (recipients_.size() >= kMaxRecipients) {
    tell("これ以上、同報メールは送れません。［何かキーを押してください］"_sj);
    if (actionOf(fullListKeys(), console_.getKey())) return false;
  } else if (piece.size() > kIdWidth) {
    // Cut to its slot it would name somebody else: it is refused instead.
    tell(formatText("ID = %.20sは９バイトを超えています。［何かキーを押してください］"_sj, piece));
    console_.getKey();
  } else if (!isHostId(piece)) {
    // A "0" would end the host's list, a blank or a control byte break it.
    tell(formatText("ID = %sは送信先のIDにできません。［何かキーを押してください］"_sj, piece));
    console_.getKey();
  } else {
    recipients_.push_back(piece);
  }
  return true;
}

}  // namespace

std::vector<std::string> enterRecipients(App& app) {
  RecipientList list(app);
  return list.run();
}

std::string joinedRecipients(const std::vector<std::string>& ids) {
  std::string text;
  for (const std::string& id : ids) {
    if (!text.empty()) text += ';';
    text += id;
  }
  return text;
}

KeyRows recipientKeyRows() {
  KeyRows rows = keyRowsOf(answerKeys());
  const KeyRows full = keyRowsOf(fullListKeys());
  rows.insert(rows.end(), full.begin(), full.end());
  return rows;
}

}  // namespace zazir

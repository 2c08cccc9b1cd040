#include "readers/messageboard.h"

#include <algorithm>
#include <vector>

#include "console/dialogs.h"
#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "readers/readerscreen.h"
#include "readers/savemessage.h"
#include "services/app.h"
#include "text/textutil.h"
#include "writers/batchreply.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

enum class MessageAction { Write, Reply, MovedReply, Save, Mark, BatchReply };

KeyTable<ReaderKey<MessageAction>> messageKeys() {
  static const ReaderWords kWords("メッセージ"_sj, "ボード一覧"_sj);
  static const auto kKeys = readerKeys<MessageAction>(
      kWords.rows("?:ﾍﾙﾌﾟ"_sj),
      {
          {{'W', 'w'}, MessageAction::Write, "Ｗ：書き込み"_sj, "W:書込"_sj},
          {{'R', 'r'}, MessageAction::Reply, "Ｒ：返答の書き込み"_sj, "R:ﾚｽ"_sj},
          {{'V', 'v'}, MessageAction::MovedReply, "Ｖ：ボードを飛び越えたレス"_sj, "V:移動ﾚｽ"_sj},
      },
      {
          {{'S', 's'}, MessageAction::Save, "Ｓ：書き込みを保存"_sj},
          {{'M', 'm'}, MessageAction::Mark, "Ｍ：一括レスのためのマーク"_sj},
          {{'C', 'c'}, MessageAction::BatchReply, "Ｃ：マークした書き込みに対して一括レス"_sj},
      });
  return kKeys;
}

// A message's title row: its number, the poster's ID and handle, its
// title after `treeMarks`, as its header lines give them.
std::string messageRow(LineStream& log, LogOffset start, std::string_view treeMarks) {
  std::string first;
  std::string title;
  log.seek(start);
  readWholeLine(log, first);
  readWholeLine(log, title);
  readWholeLine(log, title);
  stripLineEnd(first);
  stripLineEnd(title);
  const std::string_view from =
      std::string_view(first).substr(std::min<std::size_t>(24, first.size()));
  return titleColumn(wordAt(first, 1), 6) + titleColumn(wordAt(from, 0), 8) +
         titleColumn(posterHandle(first), 12) + std::string(treeMarks) + messageTitle(title);
}

class MessageBoardReader : public Reader<MessageAction> {
 public:
  MessageBoardReader(App& app, LastSearch& last, ListPositions& lists, int board)
      : Reader(app, last,
               messageSeries(indexMessages(app.log.stream, app.index.messageBoards, board), board),
               {.helpTitle = "メニュー選択"_sj}, messageKeys()),
        lists_(lists),
        board_(app.index.messageBoards[static_cast<std::size_t>(board)]) {}

 private:
  std::string titleRow(int n, std::string_view treeMarks) override {
    return marksOf(n, isMarked(n)) + messageRow(app().log.stream, series().startOf(n), treeMarks);
  }
  bool marked() const override { return isMarked(current()); }
  bool isMarked(int message) const {
    return std::find(marks_.begin(), marks_.end(), message) != marks_.end();
  }
  AnsweredMessage answered(int message) const {
    return readAnsweredMessage(app().log.stream, board_, series().startOf(message),
                               series().endOf(message));
  }
  Outcome act(MessageAction action) override;
  Outcome answerMarked();

  ListPositions& lists_;
  const BoardEntry& board_;
  std::vector<int> marks_;  // marked messages, in marking order
};

// The actions that ran another screen show the message again from its
// first line; the log has not changed, so nothing is indexed again.
Outcome MessageBoardReader::act(MessageAction action) {
  App& app = this->app();
  switch (action) {
    case MessageAction::Write:
      writeNewPost(app, board_);
      break;
    case MessageAction::Reply:
      writeReply(app, answered(current()));
      break;
    case MessageAction::MovedReply:
      writeMovedReply(app, lists_, answered(current()));
      break;
    case MessageAction::Save:
      saveToCutFile(app, board_, series().startOf(current()), series().endOf(current()));
      return Outcome::Redraw;
    case MessageAction::Mark:
      // A 21st mark is refused with the bell.
      if (!toggleMark(marks_, current(), kMaxReplyMarks)) console().bell();
      return Outcome::Redraw;
    case MessageAction::BatchReply:
      return answerMarked();
  }
  return afterScreen();
}

// The marked messages answered in one new post; the marks go once it is
// written, and stay when the temporary file could not be made.
Outcome MessageBoardReader::answerMarked() {
  if (marks_.empty()) {
    console().bell();
    messageBox(console(), MessageId::NoMarks);
    return Outcome::Redraw;
  }
  std::vector<AnsweredMessage> marked;
  for (int message : marks_) marked.push_back(answered(message));
  if (!writeBatchReply(app(), board_, marked)) return Outcome::Redraw;
  marks_.clear();
  return afterScreen();
}

}  // namespace

std::optional<ReaderPlace> readMessageBoard(App& app, LastSearch& last, ListPositions& lists,
                                            int board, const ReaderOpening& opening) {
  return MessageBoardReader(app, last, lists, board).run(opening);
}

KeyRows messageBoardKeyRows() {
  return keyRowsOf(messageKeys());
}

}  // namespace zazir

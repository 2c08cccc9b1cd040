#include "readers/messageboard.h"

#include <algorithm>
#include <vector>

#include "console/articleview.h"
#include "console/dialogs.h"
#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "readers/finding.h"
#include "readers/savemessage.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/textutil.h"
#include "writers/batchreply.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

enum class MessageAction {
  Write,
  Reply,
  MovedReply,
  ViewUploadFile,
  Save,
  Mark,
  BatchReply,
  Help,
  Leave
};
using MessageKey = ArticleAction<ReaderAction<MessageAction>>;

KeyTable<MessageKey> messageKeys() {
  static const std::vector<Binding<MessageKey>> kKeys =
      withFinding(withScrolling<ReaderAction<MessageAction>>({
          {kLeftKeys, PageMove::Previous, "←→，４６：前／次のメッセージ"_sj},
          {kRightKeys, PageMove::Next},
          {{key::kHome}, PageMove::First, "Home，End：最初／最後のメッセージ"_sj},
          {{key::kEnd}, PageMove::Last},
          {{'W', 'w'}, MessageAction::Write, "Ｗ：書き込み"_sj, "W:書込"_sj},
          {{'R', 'r'}, MessageAction::Reply, "Ｒ：返答の書き込み"_sj, "R:ﾚｽ"_sj},
          {{'V', 'v'}, MessageAction::MovedReply, "Ｖ：ボードを飛び越えたレス"_sj, "V:移動ﾚｽ"_sj},
          {{'F', 'f'},
           MessageAction::ViewUploadFile,
           "Ｆ：アップロードファイルの参照"_sj,
           "F:ｱｯﾌﾟﾌｧｲﾙ参照"_sj},
          {{'?', key::kCtrlA}, MessageAction::Help, "？，Ctrl+A：このヘルプ"_sj, "?:ﾍﾙﾌﾟ"_sj},
          {{'S', 's'}, MessageAction::Save, "Ｓ：書き込みを保存"_sj},
          {{'M', 'm'}, MessageAction::Mark, "Ｍ：一括レスのためのマーク"_sj},
          {{'C', 'c'}, MessageAction::BatchReply, "Ｃ：マークした書き込みに対して一括レス"_sj},
          {kReaderLeaveKeys, MessageAction::Leave,
           "ESC，Ｑ，リターン，スペース，５：ボード一覧へ"_sj},
      }));
  return kKeys;
}

// A message's title row: its number, the poster's ID and handle, its
// title, as its header lines give them.
std::string titleRow(LineStream& log, LogOffset start) {
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
         titleColumn(posterHandle(first), 12) + messageTitle(title);
}

class MessageBoardReader {
 public:
  MessageBoardReader(App& app, int board, BoardPieces messages)
      : app_(app),
        board_(board),
        series_(messageSeries(std::move(messages), board)),
        view_(articlePage(3, articleStatusRow(app.console)), series_.count(),
              ArticleView::OnChange::FirstLine,
              [this](int n) {
                return loadArticle(app_.log, series_.startOf(n), series_.endOf(n), messageLayout());
              }),
        finder_(
            app, view_, series_,
            [this](int n) {
              const bool unread = !app_.marks.isRead(MarkSection::MessageBoard, board_, n);
              return titleMarks(unread, isMarked(n)) + titleRow(app_.log, series_.startOf(n));
            },
            [this](ListAction action) {
              return act(action == ListAction::Write ? MessageAction::Write : MessageAction::Reply);
            }) {}

  std::optional<ReaderPlace> run(const ReaderOpening& opening);

 private:
  const BoardEntry& board() const {
    return app_.index.messageBoards[static_cast<std::size_t>(board_)];
  }
  bool isMarked(int message) const {
    return std::find(marks_.begin(), marks_.end(), message) != marks_.end();
  }
  AnsweredMessage answered(int message) const {
    return readAnsweredMessage(app_.log, board(), series_.startOf(message), series_.endOf(message));
  }
  Outcome act(MessageAction action);
  Outcome reload();
  void toggleMark();
  Outcome answerMarked();
  void draw();

  App& app_;
  int board_;
  Series series_;
  ArticleView view_;
  Finder finder_;
  std::vector<int> marks_;  // marked messages, in marking order
};

std::optional<ReaderPlace> MessageBoardReader::run(const ReaderOpening& opening) {
  return finder_.run(
      opening, messageKeys(), [&](MessageAction action) { return act(action); }, [&] { draw(); });
}

// The actions that ran another screen show the message again from its
// first line; the log has not changed, so nothing is indexed again.
Outcome MessageBoardReader::act(MessageAction action) {
  const int current = view_.current();
  switch (action) {
    case MessageAction::Write:
      writeNewPost(app_, board());
      return reload();
    case MessageAction::Reply:
      writeReply(app_, answered(current));
      return reload();
    case MessageAction::MovedReply:
      writeMovedReply(app_, answered(current));
      return reload();
    case MessageAction::ViewUploadFile:
      viewUploadFile(app_);
      return reload();
    case MessageAction::Save:
      saveToCutFile(app_, board(), series_.startOf(current), series_.endOf(current));
      return Outcome::Redraw;
    case MessageAction::Mark:
      toggleMark();
      return Outcome::Redraw;
    case MessageAction::BatchReply:
      return answerMarked();
    case MessageAction::Help:
      showHelp(app_.console, "メニュー選択"_sj, messageKeys());
      return Outcome::Redraw;
    case MessageAction::Leave:
      return Outcome::Leave;
  }
  return Outcome::Stay;
}

Outcome MessageBoardReader::reload() {
  if (view_.open(view_.current())) return Outcome::Redraw;
  messageBox(app_.console, MessageId::NoPosts);
  return Outcome::Leave;
}

// A 21st mark is refused with the bell; unmarking keeps the order of the
// later marks.
void MessageBoardReader::toggleMark() {
  const auto found = std::find(marks_.begin(), marks_.end(), view_.current());
  if (found != marks_.end()) {
    marks_.erase(found);
  } else if (marks_.size() < kMaxReplyMarks) {
    marks_.push_back(view_.current());
  } else {
    app_.console.bell();
  }
}

// The marked messages answered in one new post; the marks go once it is
// written, and stay when the temporary file could not be made.
Outcome MessageBoardReader::answerMarked() {
  if (marks_.empty()) {
    app_.console.bell();
    messageBox(app_.console, MessageId::NoMarks);
    return Outcome::Redraw;
  }
  std::vector<AnsweredMessage> marked;
  for (int message : marks_) marked.push_back(answered(message));
  if (!writeBatchReply(app_, board(), marked)) return Outcome::Redraw;
  marks_.clear();
  return reload();
}

void MessageBoardReader::draw() {
  const std::string bar = formatText("%s %s", "ZAZIR", hintsOf(messageKeys()));
  drawArticle(app_.console, view_,
              {.header = isMarked(view_.current()) ? attr::kBar : attr::kNormal, .bar = bar});
}

}  // namespace

std::optional<ReaderPlace> readMessageBoard(App& app, int board, const ReaderOpening& opening) {
  BoardPieces messages = indexMessages(app.log, app.index.messageBoards, board);
  if (messages.starts.empty()) {
    messageBox(app.console, MessageId::NoPosts);
    return std::nullopt;
  }
  MessageBoardReader reader(app, board, std::move(messages));
  return reader.run(opening);
}

KeyRows messageBoardKeyRows() {
  return keyRowsOf(messageKeys());
}

}  // namespace zazir

#include "readers/fileboard.h"

#include <algorithm>

#include "console/articleview.h"
#include "console/dialogs.h"
#include "formats/boardlog.h"
#include "platform/encoding.h"
#include "readers/savemessage.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

enum class FileAction { Upload, ViewUploadFile, Save, Download, Help, Leave };
using FileKey = ArticleAction<FileAction>;

KeyTable<FileKey> fileKeys() {
  static const std::vector<Binding<FileKey>> kKeys = withScrolling<FileAction>({
      {{key::kLeft, '4'}, PageMove::Previous, "←→，４６：前／次のファイル"_sj},
      {{key::kRight, '6'}, PageMove::Next},
      {{key::kHome}, PageMove::First, "Home，End：最初／最後のファイル"_sj},
      {{key::kEnd}, PageMove::Last},
      {{'W', 'w'}, FileAction::Upload, "Ｗ：書き込み"_sj, "W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ"_sj},
      {{'D', 'd'}, FileAction::Download, "Ｄ：ダウンロードをするマークを付ける"_sj},
      {{'F', 'f'},
       FileAction::ViewUploadFile,
       "Ｆ：アップロードファイルの参照"_sj,
       "F:ｱｯﾌﾟﾌｧｲﾙ参照"_sj},
      {{'?', key::kCtrlA}, FileAction::Help, "？，Ctrl+A：このヘルプ"_sj, "?:ヘルプ"_sj},
      {{'S', 's'}, FileAction::Save, "Ｓ：書き込みを保存"_sj},
      {kReaderLeaveKeys, FileAction::Leave, "ESC，Ｑ，リターン，スペース，５：ボード一覧へ"_sj},
  });
  return kKeys;
}

class FileBoardReader {
 public:
  FileBoardReader(App& app, int board, BoardPieces entries)
      : app_(app),
        board_(board),
        entries_(std::move(entries)),
        view_(articlePage(1, articleStatusRow(app.console)), entries_.count(),
              ArticleView::OnChange::KeepTopLine, [this](int n) { return load(n); }) {}

  void run();

 private:
  const BoardEntry& board() const {
    return app_.index.fileBoards[static_cast<std::size_t>(board_)];
  }
  // The current entry's file, as the download list holds it.
  DownloadMark mark() const {
    return {board().number, entryFileNumber(view_.article().header.front())};
  }
  std::optional<Article> load(int n);
  Outcome act(FileAction action);
  Outcome openAt(int entry);
  void toggleDownloadMark();
  void draw();

  App& app_;
  int board_;
  BoardPieces entries_;
  ArticleView view_;
};

std::optional<Article> FileBoardReader::load(int n) {
  std::optional<Article> entry = loadArticle(app_.log, entries_.starts[static_cast<std::size_t>(n)],
                                             entries_.end(n), fileEntryLayout());
  if (!entry) messageBox(app_.console, MessageId::NoPosts);
  return entry;
}

void FileBoardReader::run() {
  if (!view_.open(0)) return;
  runArticleScreen<FileAction>(
      app_.console, view_, fileKeys(), [&](FileAction action) { return act(action); },
      [&] { draw(); });
}

Outcome FileBoardReader::act(FileAction action) {
  const int current = view_.current();
  switch (action) {
    case FileAction::Upload:
      writeUpload(app_, board());
      return openAt(0);
    case FileAction::ViewUploadFile:
      viewUploadFile(app_);
      return openAt(current);
    case FileAction::Save:
      saveToCutFile(app_, board(), entries_.starts[static_cast<std::size_t>(current)],
                    entries_.end(current));
      // As described: the screen is left as the save left it until a key
      // that draws.
      return Outcome::Stay;
    case FileAction::Download:
      toggleDownloadMark();
      return Outcome::Redraw;
    case FileAction::Help:
      showHelp(app_.console, "メニュー選択"_sj, fileKeys());
      return Outcome::Redraw;
    case FileAction::Leave:
      return Outcome::Leave;
  }
  return Outcome::Stay;
}

// Entry `entry` from its first line, after an action that ran another
// screen: the log has not changed, so nothing is indexed again.
Outcome FileBoardReader::openAt(int entry) {
  return view_.open(entry) ? Outcome::Redraw : Outcome::Leave;
}

// A full list is refused with the bell; unmarking keeps the order of the
// later marks.
void FileBoardReader::toggleDownloadMark() {
  std::vector<DownloadMark>& marks = app_.state.downloadMarks;
  const auto found = std::find(marks.begin(), marks.end(), mark());
  if (found != marks.end()) {
    marks.erase(found);
  } else if (static_cast<int>(marks.size()) < kMaxDownloadMarks) {
    marks.push_back(mark());
  } else {
    app_.console.bell();
  }
}

void FileBoardReader::draw() {
  const std::vector<DownloadMark>& marks = app_.state.downloadMarks;
  const bool marked = std::find(marks.begin(), marks.end(), mark()) != marks.end();
  const std::string bar = formatText("%s %s", "ZAZIR", hintsOf(fileKeys()));
  drawArticle(app_.console, view_,
              {.header = marked ? attr::kBar : attr::kNormal,
               .padHeader = false,
               .normalBlanks = true,
               .bar = bar,
               .positionInBar = true});
}

}  // namespace

void readFileBoard(App& app, int board) {
  BoardPieces entries = indexFileEntries(app.log, app.index.fileBoards, board);
  if (entries.starts.empty()) {
    messageBox(app.console, MessageId::NoPosts);
    return;
  }
  FileBoardReader reader(app, board, std::move(entries));
  reader.run();
}

}  // namespace zazir

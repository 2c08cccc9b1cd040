#include "readers/fileboard.h"

#include <algorithm>

#include "console/articleview.h"
#include "console/dialogs.h"
#include "formats/boardlog.h"
#include "formats/hostfields.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "readers/finding.h"
#include "readers/savemessage.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/textutil.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

enum class FileAction { Upload, ViewUploadFile, Save, Download, Help, Leave };
using FileKey = ArticleAction<ReaderAction<FileAction>>;

KeyTable<FileKey> fileKeys() {
  static const std::vector<Binding<FileKey>> kKeys =
      withFinding(withScrolling<ReaderAction<FileAction>>({
          {kLeftKeys, PageMove::Previous, "←→，４６：前／次のファイル"_sj},
          {kRightKeys, PageMove::Next},
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
      }));
  return kKeys;
}

class FileBoardReader {
 public:
  FileBoardReader(App& app, int board, BoardPieces entries)
      : app_(app),
        board_(board),
        series_(fileSeries(std::move(entries), board)),
        view_(articlePage(1, articleStatusRow(app.console)), series_.count(),
              ArticleView::OnChange::KeepTopLine, [this](int n) { return load(n); }),
        finder_(
            app, view_, series_, [this](int n) { return titleRow(n); },
            // A file entry takes no reply: R only opens it.
            [this](ListAction action) {
              return action == ListAction::Write ? act(FileAction::Upload) : Outcome::Redraw;
            }) {}

  std::optional<ReaderPlace> run(const ReaderOpening& opening);

 private:
  const BoardEntry& board() const {
    return app_.index.fileBoards[static_cast<std::size_t>(board_)];
  }
  // The file of an entry line, as the download list holds it.
  DownloadMark mark(std::string_view entryLine) const {
    return {board().number, entryFileNumber(entryLine)};
  }
  DownloadMark mark() const { return mark(view_.article().header.front()); }
  bool isMarked(const DownloadMark& file) const {
    const std::vector<DownloadMark>& marks = app_.state.downloadMarks;
    return std::find(marks.begin(), marks.end(), file) != marks.end();
  }
  std::optional<Article> load(int n);
  std::string titleRow(int n);
  Outcome act(FileAction action);
  Outcome openAt(int entry);
  void toggleDownloadMark();
  void draw();

  App& app_;
  int board_;
  Series series_;
  ArticleView view_;
  Finder finder_;
};

std::optional<Article> FileBoardReader::load(int n) {
  std::optional<Article> entry =
      loadArticle(app_.log, series_.startOf(n), series_.endOf(n), fileEntryLayout());
  if (!entry) messageBox(app_.console, MessageId::NoPosts);
  return entry;
}

// An entry's title row: its entry line, as the reader's header shows it.
std::string FileBoardReader::titleRow(int n) {
  std::string line;
  app_.log.seek(series_.startOf(n));
  readWholeLine(app_.log, line);
  stripLineEnd(line);
  const bool unread = !app_.marks.isRead(MarkSection::FileBoard, board_, n);
  return titleMarks(unread, isMarked(mark(line))) + line;
}

std::optional<ReaderPlace> FileBoardReader::run(const ReaderOpening& opening) {
  return finder_.run(
      opening, fileKeys(), [&](FileAction action) { return act(action); }, [&] { draw(); });
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
      saveToCutFile(app_, board(), series_.startOf(current), series_.endOf(current));
      return Outcome::Redraw;
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

// A full list is refused with the bell, and so is a file whose board or
// number is 0, which would end the host's list; unmarking keeps the order
// of the later marks.
void FileBoardReader::toggleDownloadMark() {
  std::vector<DownloadMark>& marks = app_.state.downloadMarks;
  const auto found = std::find(marks.begin(), marks.end(), mark());
  if (found != marks.end()) {
    marks.erase(found);
  } else if (static_cast<int>(marks.size()) < kMaxDownloadMarks &&
             isHostNumber(mark().fileNumber) && isHostNumber(mark().boardNumber)) {
    marks.push_back(mark());
  } else {
    app_.console.bell();
  }
}

void FileBoardReader::draw() {
  const bool marked = isMarked(mark());
  const std::string bar = formatText("%s %s", "ZAZIR", hintsOf(fileKeys()));
  drawArticle(app_.console, view_,
              {.header = marked ? attr::kBar : attr::kNormal,
               .padHeader = false,
               .normalBlanks = true,
               .bar = bar,
               .positionInBar = true});
}

}  // namespace

std::optional<ReaderPlace> readFileBoard(App& app, int board, const ReaderOpening& opening) {
  BoardPieces entries = indexFileEntries(app.log, app.index.fileBoards, board);
  if (entries.starts.empty()) {
    messageBox(app.console, MessageId::NoPosts);
    return std::nullopt;
  }
  FileBoardReader reader(app, board, std::move(entries));
  return reader.run(opening);
}

KeyRows fileBoardKeyRows() {
  return keyRowsOf(fileKeys());
}

}  // namespace zazir

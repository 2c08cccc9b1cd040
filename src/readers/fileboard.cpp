#include "readers/fileboard.h"

#include <algorithm>

#include "formats/boardlog.h"
#include "formats/hostfields.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "readers/readerscreen.h"
#include "readers/savemessage.h"
#include "services/app.h"
#include "text/textutil.h"
#include "writers/boardposts.h"

namespace zazir {

using namespace literals;

namespace {

enum class FileAction { Upload, Save, Download };

KeyTable<ReaderKey<FileAction>> fileKeys() {
  static const ReaderWords kWords("ファイル"_sj, "ボード一覧"_sj);
  static const auto kKeys = readerKeys<FileAction>(
      kWords.rows("?:ヘルプ"_sj),
      {
          {{'W', 'w'}, FileAction::Upload, "Ｗ：書き込み"_sj, "W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ"_sj},
          {{'D', 'd'}, FileAction::Download, "Ｄ：ダウンロードをするマークを付ける"_sj},
      },
      {
          {{'S', 's'}, FileAction::Save, "Ｓ：書き込みを保存"_sj},
      });
  return kKeys;
}

class FileBoardReader : public Reader<FileAction> {
 public:
  FileBoardReader(App& app, LastSearch& last, DownloadMarks& downloads, int board)
      : Reader(app, last,
               fileSeries(indexFileEntries(app.log.stream, app.index.fileBoards, board), board),
               {.headerRows = 1,
                .onChange = ArticleView::OnChange::KeepTopLine,
                .look = {.padHeader = false, .normalBlanks = true, .positionInBar = true},
                .helpTitle = "メニュー選択"_sj,
                .tellsEveryUnreadable = true},
               fileKeys()),
        downloads_(downloads),
        board_(app.index.fileBoards[static_cast<std::size_t>(board)]) {}

 private:
  // The file of an entry line, as the download list holds it.
  DownloadMark mark(std::string_view entryLine) const {
    return {board_.number, entryFileNumber(entryLine)};
  }
  DownloadMark mark() const { return mark(view().article().header.front()); }
  bool isMarked(const DownloadMark& file) const {
    return std::find(downloads_.begin(), downloads_.end(), file) != downloads_.end();
  }
  bool marked() const override { return isMarked(mark()); }
  std::string titleRow(int n, std::string_view treeMarks) override;
  Outcome act(FileAction action) override;
  void toggleDownloadMark();

  DownloadMarks& downloads_;
  const BoardEntry& board_;
};

// An entry's title row: its entry line, as the reader's header shows it.
std::string FileBoardReader::titleRow(int n, std::string_view /*no threads*/) {
  std::string line;
  app().log.stream.seek(series().startOf(n));
  readWholeLine(app().log.stream, line);
  stripLineEnd(line);
  return marksOf(n, isMarked(mark(line))) + line;
}

Outcome FileBoardReader::act(FileAction action) {
  switch (action) {
    case FileAction::Upload:
      // The log has not changed: nothing is indexed again.
      writeUpload(app(), board_);
      return reopen(0);
    case FileAction::Save:
      saveToCutFile(app(), board_, series().startOf(current()), series().endOf(current()));
      return Outcome::Redraw;
    case FileAction::Download:
      toggleDownloadMark();
      return Outcome::Redraw;
  }
  return Outcome::Stay;
}

// A full list is refused with the bell, and so is a file whose board or
// number is 0, which would end the host's list.
void FileBoardReader::toggleDownloadMark() {
  const DownloadMark file = mark();
  const bool askable = isHostNumber(file.fileNumber) && isHostNumber(file.boardNumber);
  if (!toggleMark(downloads_, file, askable ? static_cast<std::size_t>(kMaxDownloadMarks) : 0)) {
    console().bell();
  }
}

}  // namespace

std::optional<ReaderPlace> readFileBoard(App& app, LastSearch& last, DownloadMarks& downloads,
                                         int board, const ReaderOpening& opening) {
  return FileBoardReader(app, last, downloads, board).run(opening);
}

KeyRows fileBoardKeyRows() {
  return keyRowsOf(fileKeys());
}

}  // namespace zazir

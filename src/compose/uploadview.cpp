// "F": the upload file in the editor. The editor gets a private copy in its
// own codeset, as a composition's text; the upload file takes the text
// back only when it changed, under the lock that appends take, with the
// commands other runs appended meanwhile kept after it.
#include "compose/uploadview.h"

#include <algorithm>

#include "compose/compose.h"
#include "compose/preview.h"
#include "console/dialogs.h"
#include "platform/appendedfile.h"
#include "platform/encoding.h"
#include "platform/privatefile.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/editortext.h"
#include "services/logguard.h"
#include "services/uploadfile.h"

namespace zazir {

using namespace literals;

namespace {

// A larger upload file is not handed to the editor: it would be held
// several times over, and thousands of commands take far less. Grown to
// twice that while the editor was open, it is left as it is.
constexpr std::size_t kEditableBytes = 4 << 20;

std::string copyName(const Config& config) {
  return formatText("%sZQ2UP.TMP", config.temporaryDir);
}

// The bytes that replace `now`, the file as it is when the edit is written
// back: the edited text, what a text-mode reading never saw of the file
// read (an end mark and what follows it), and what was appended since.
// None when the file read is no longer the start of it.
std::optional<std::string> rewritten(std::string_view now, std::string_view read,
                                     std::string edited, std::string_view hidden) {
  if (!now.starts_with(read)) return std::nullopt;
  const std::string_view appended = now.substr(read.size());
  edited += hidden;
  // Another run's command starts on a line of its own.
  if (!appended.empty() && hidden.empty() && !edited.empty() && edited.back() != '\n') {
    edited += "\r\n";
  }
  edited += appended;
  return edited;
}

class UploadFileView {
 public:
  explicit UploadFileView(App& app)
      : app_(app),
        path_(uploadFileDiskPath(app.config)),
        file_(formatText("アップロードファイル[%s]"_sj, uploadFilePath(app.config))) {}

  void run();

 private:
  // Runs the editor until the text is one the file can take; false when
  // nothing is to be written back.
  bool edit();
  void writeBack();
  // The copy goes; never the log, should an editor have linked it there.
  void discardCopy();
  void tell(std::string_view title, std::string_view why);

  App& app_;
  std::string path_;
  std::string file_;  // "アップロードファイル[path]"
  AppendedFile read_;
  std::string given_;  // the copy as the editor got it
  Composition copy_;
};

void UploadFileView::run() {
  Console& console = app_.console;
  console.clearScreen();
  // A file no command may go to (another log, a link put in its place)
  // is not read for the editor, nor copied.
  if (const std::optional<AppendOutcome> refused =
          refusalOf(path_, app_.state.commandGuard(), Links::Refuse, NewFile::Private)) {
    tell("アップロードファイルに書き込めません"_sj, refusedFileText(*refused, file_));
    return;
  }
  std::optional<AppendedFile> read = readAppendedFile(path_, kEditableBytes);
  if (!read) {
    tell("アップロードファイルを読めません"_sj, formatText("　%sを読めませんでした。"_sj, file_));
    return;
  }
  if (read->bytes.size() > kEditableBytes) {
    tell("アップロードファイルが大きすぎます"_sj,
         formatText("　%sは%iバイトを超えるため、エディタに渡しません。"_sj, file_,
                    static_cast<int>(kEditableBytes)));
    return;
  }
  read_ = std::move(*read);
  copy_.utf8 = editorUsesUtf8(app_.config, console);
  copy_.forHost = false;
  // In UTF-8 a character of the file takes at most three bytes.
  copy_.maxBytes = 3 * kEditableBytes;
  copy_.prepared = fromTextMode(read_.bytes);
  given_ = toEditorFile(copy_.prepared, copy_.utf8);
  std::optional<std::string> made = createPrivateFile(copyName(app_.config), given_);
  if (!made) {
    tell("一時ファイルを作成できません"_sj,
         formatText("　一時ファイル[%s]を作成できませんでした。\n"
                    "　TEMPORARY_DIR の設定とディレクトリの書き込みの許可を確認してください。"_sj,
                    copyName(app_.config)));
    return;
  }
  copy_.path = std::move(*made);
  if (edit()) writeBack();
  console.clearScreen();
}

bool UploadFileView::edit() {
  Console& console = app_.console;
  const std::string kept = formatText(
      "　%sは元のままです。\n　編集した文章はファイル[%s]に残っています。"_sj, file_, copy_.path);
  while (true) {
    if (!runEditorOn(app_, copy_.path, kept)) return false;
    // An editor that took the copy away (or left a link in its place) has
    // not emptied the upload file.
    if (!ownFileSize(copy_.path)) {
      tell("編集した文章を読めません"_sj,
           formatText("　エディタのあと、ファイル[%s]が読めなくなりました"
                      "（消されたか、リンクに置き換えられました）。\n"
                      "　%sは元のままです。"_sj,
                      copy_.path, file_));
      return false;
    }
    readBack(copy_);
    if (copy_.tooLarge > 0) {
      tell("編集した文章が大きすぎます"_sj,
           formatText("　編集した文章は%iバイトを超えるため、書き込みませんでした。\n%s"_sj,
                      static_cast<int>(copy_.maxBytes), kept));
      return false;
    }
    if (copy_.edited == given_ || copy_.text == copy_.prepared) {
      discardCopy();
      return false;
    }
    if (copy_.unconvertible.empty()) return true;
    int top = 0;
    if (previewText(app_, copy_, top, PreviewOf::UploadFile) != PreviewAnswer::EditAgain) {
      discardCopy();
      tell("アップロードファイルは元のままです"_sj,
           "　CP932にない文字(反転の〓)があるため、編集した文章は書き込みませんでした。"_sj);
      return false;
    }
    console.clearScreen();
  }
}

void UploadFileView::writeBack() {
  const std::size_t end = std::min(read_.bytes.find('\x1a'), read_.bytes.size());
  const std::string_view hidden = std::string_view(read_.bytes).substr(end);
  const std::string edited = toTextMode(copy_.text);
  bool appended = false;
  // A file that was there is only written again, never made anew.
  const AppendMode mode = read_.identity ? AppendMode::MustExist : AppendMode::CreateIfMissing;
  const RewriteOutcome outcome = rewriteAppendedFile(
      {path_, AppendRule::OwnLine, mode, app_.state.commandGuard(), NewFile::Private},
      read_.identity, 2 * kEditableBytes, [&](std::string_view now) {
        appended = now.size() > read_.bytes.size();
        return rewritten(now, read_.bytes, edited, hidden);
      });
  const std::string kept =
      formatText("　編集した文章はファイル[%s]に残っています。"_sj, copy_.path);
  switch (outcome) {
    case RewriteOutcome::Written:
      discardCopy();
      if (appended) {
        app_.console.showOnce(
            "編集中にほかで追加されたコマンドは、編集した文章の後に残しました"_sj);
      }
      return;
    case RewriteOutcome::NotOpened:
      if (!read_.identity || fileExists(path_)) break;
      [[fallthrough]];
    case RewriteOutcome::Declined:
    case RewriteOutcome::Elsewhere:
      tell("アップロードファイルが変わっていました"_sj,
           formatText("　エディタで開いている間に、%sがほかで書き換えられました。\n"
                      "　ファイルはそのままにしてあります。\n%s"_sj,
                      file_, kept));
      return;
    case RewriteOutcome::IsTheLog:
    case RewriteOutcome::IsALog:
      tell("アップロードファイルに書き込めません"_sj,
           formatText("%s\n%s",
                      refusedFileText(outcome == RewriteOutcome::IsTheLog ? AppendOutcome::IsTheLog
                                                                          : AppendOutcome::IsALog,
                                      file_),
                      kept));
      return;
    case RewriteOutcome::NotWritten:
      break;
  }
  tell("アップロードファイルに書き込めません"_sj,
       formatText("　%sに書き込めませんでした。元のままです。\n"
                  "　ディレクトリと書き込みの許可、ディスクの空きを確認してください。\n%s"_sj,
                  file_, kept));
}

void UploadFileView::discardCopy() {
  removeFile(copy_.path, app_.state.guard());
}

void UploadFileView::tell(std::string_view title, std::string_view why) {
  noticeBox(app_.console, title, why);
}

}  // namespace

void viewUploadFile(App& app) {
  UploadFileView(app).run();
}

}  // namespace zazir

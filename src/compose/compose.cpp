#include "compose/compose.h"

#include <algorithm>

#include "compose/preview.h"
#include "console/dialogs.h"
#include "formats/hostcommands.h"
#include "formats/hostfields.h"
#include "platform/encoding.h"
#include "platform/linestream.h"
#include "platform/privatefile.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/editortext.h"
#include "services/uploadfile.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

void decode(Composition& composition) {
  EditedText back = fromEditorFile(composition.edited, composition.utf8);
  composition.unconvertible = std::move(back.unconvertible);
  composition.text =
      composition.forHost ? hostText(back.text, &composition.unconvertible) : std::move(back.text);
}

// The file goes with the composition it belongs to; never the log nor
// what a link in its place leads to.
void discard(App& app, const Composition& composition) {
  removeFile(composition.path, app.state.guard());
}

// An empty file holds nothing to keep; one with bytes after an end mark
// stays. A file the editor put something else in place of is told as
// such, and that is left alone.
void tellNothingWritten(App& app, const Composition& composition) {
  Console& console = app.console;
  switch (composition.found) {
    case PrivateFileState::Link:
      noticeBox(console, "一時ファイルが置き換えられています"_sj,
                formatText("　一時ファイル[%s]は、エディタの実行中に\n"
                           "　シンボリックリンクに置き換えられました。\n"
                           "　リンクの先は読まず、何も書き込んでいません。"_sj,
                           composition.path));
      break;
    case PrivateFileState::Other:
      noticeBox(console, "一時ファイルが置き換えられています"_sj,
                formatText("　一時ファイル[%s]は、エディタの実行中に\n"
                           "　通常のファイルでないもの（または他のユーザーのファイル）に\n"
                           "　置き換えられました。何も書き込んでいません。"_sj,
                           composition.path));
      break;
    case PrivateFileState::Own:
    case PrivateFileState::Missing:
      messageBox(console, MessageId::NothingWritten);
      break;
  }
  console.clearScreen();
  if (ownFileSize(composition.path) == 0u) discard(app, composition);
}

// The text stays in its file for the user to shorten or to take elsewhere.
void tellTooLarge(Console& console, const Composition& composition) {
  noticeBox(console, "文章が大きすぎます"_sj,
            formatText("　文章が%iバイトあり、書き込める大きさ（%iバイト）を超えています。\n"
                       "　何も書き込んでいません。\n　文章はファイル[%s]に残っています。"_sj,
                       composition.tooLarge, kMaxComposedBytes, composition.path));
  console.clearScreen();
}

bool edit(App& app, Composition& composition) {
  if (!runEditorOn(app, composition.path,
                   formatText("　何も書き込んでいません。\n　文章はファイル[%s]に残っています。"_sj,
                              composition.path))) {
    return false;
  }
  readBack(composition);
  if (composition.tooLarge > 0) {
    tellTooLarge(app.console, composition);
    return false;
  }
  return true;
}

}  // namespace

std::string tempFileName(const Config& config) {
  return formatText("%sZQ2OFF.TMP", config.temporaryDir);
}

std::optional<Composition> startComposition(App& app, std::string_view prepared) {
  Composition composition;
  composition.utf8 = editorUsesUtf8(app.config, app.console);
  // The editor gets the text as it will be sent.
  composition.prepared = hostText(prepared);
  const std::string usual = tempFileName(app.config);
  const bool kept = ownFileSize(usual).value_or(0) > 0 && !app.state.isTheLog(usual);
  std::optional<std::string> path =
      createPrivateFile(usual, toEditorFile(composition.prepared, composition.utf8));
  if (!path) {
    noticeBox(
        app.console, "一時ファイルを作成できません"_sj,
        formatText("　一時ファイル[%s]を作成できませんでした。\n"
                   "　TEMPORARY_DIR の設定とディレクトリの書き込みの許可を確認してください。"_sj,
                   usual));
    return std::nullopt;
  }
  composition.path = std::move(*path);
  if (kept && composition.path != usual) {
    noticeBox(
        app.console, "前に書いた文章が残っています"_sj,
        formatText("　前に書いた文章がファイル[%s]に残っています。\n"
                   "　そのファイルはそのままにして、この文章は\n　ファイル[%s]で書きます。"_sj,
                   usual, composition.path));
  }
  return composition;
}

void readBack(Composition& composition) {
  composition.tooLarge = 0;
  const std::uintmax_t size = ownFileSize(composition.path).value_or(0);
  const std::uintmax_t bound = composition.maxBytes;
  composition.edited =
      size > bound ? std::string() : readPrivateFile(composition.path).value_or(std::string());
  // A file that grew between the two looks is refused as well.
  if (size > bound || composition.edited.size() > bound) {
    composition.tooLarge = std::max<std::uintmax_t>(size, composition.edited.size());
    composition.edited.clear();
  }
  composition.found = privateFileState(composition.path);
  decode(composition);
  composition.untouched = !composition.prepared.empty() && composition.text == composition.prepared;
}

bool askSignature(App& app) {
  if (!isReadableFile(app.config.signature)) return false;
  Console& console = app.console;
  console.setCursor(0, 23);
  console.deleteLine();
  console.insertLine();
  console.setBar();
  console.putText("シグネーチャファイル[%s]を付加しますか？"_sj, app.config.signature);
  console.setNormal();
  return askYesNo(console, YesNoMode::DefaultYes);
}

bool appendSignature(App& app, Composition& composition) {
  const std::optional<std::string> signature =
      readBinaryFile(app.config.signature, kMaxComposedBytes + 1);
  if (!signature) return false;
  if (composition.edited.size() + signature->size() > kMaxComposedBytes) {
    composition.tooLarge = composition.edited.size() + signature->size();
    return false;
  }
  const std::string text = fromUserFile(fromTextMode(*signature));
  // The end mark that editors leave gives way; the signature starts on a
  // line of its own.
  std::string bytes = composition.edited;
  if (!bytes.empty() && bytes.back() == '\x1a') bytes.pop_back();
  if (!bytes.empty() && bytes.back() != '\n') bytes += composition.utf8 ? "\n" : "\r\n";
  bytes += toEditorFile(text, composition.utf8);
  if (!replacePrivateFile(composition.path, bytes)) return false;
  composition.edited = std::move(bytes);
  decode(composition);
  return true;
}

bool composeText(App& app, Composition& composition) {
  Console& console = app.console;
  console.clearScreen();
  if (!edit(app, composition)) return false;
  if (composition.text.empty()) {
    tellNothingWritten(app, composition);
    return false;
  }
  if (askSignature(app) && !appendSignature(app, composition) && composition.tooLarge > 0) {
    tellTooLarge(app.console, composition);
    return false;
  }
  int top = 0;
  while (true) {
    switch (previewText(app, composition, top)) {
      case PreviewAnswer::Drop:
        discard(app, composition);
        return false;
      case PreviewAnswer::EditAgain:
        console.clearScreen();
        if (!edit(app, composition)) return false;
        break;
      case PreviewAnswer::Write:
        // An "E" in the preview may have emptied the text after the first
        // check.
        if (composition.text.empty()) {
          tellNothingWritten(app, composition);
          return false;
        }
        return true;
    }
  }
}

bool writeComposedCommand(App& app, const Composition& composition, const HostCommand& firstLines) {
  if (!appendComposedCommand(app, firstLines, composition.text, composition.path)) return false;
  discard(app, composition);
  app.console.clearScreen();
  return true;
}

bool composeAndWrite(App& app, std::string_view prepared, const HostCommand& firstLines) {
  // Told before the editor runs, so that no text is written in vain.
  if (tellRefusal(app.console, firstLines)) return false;
  std::optional<Composition> composition = startComposition(app, prepared);
  if (!composition) return false;
  if (composeText(app, *composition)) writeComposedCommand(app, *composition, firstLines);
  return true;
}

}  // namespace zazir

#include "compose/compose.h"

#include <optional>
#include <vector>

#include "compose/uploadfile.h"
#include "console/cp932.h"
#include "console/dialogs.h"
#include "console/keys.h"
#include "console/pager.h"
#include "console/textutil.h"
#include "driver/app.h"
#include "platform/command.h"
#include "platform/encoding.h"
#include "platform/linestream.h"
#include "platform/textfile.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kPreviewRows = 23;
constexpr std::size_t kPreviewLineBytes = 78;
constexpr std::size_t kPreviewMaxLines = 512;

// Empty also when the editor deleted the file or left it unreadable. Its
// first byte tells: a text-mode read ends at once only at a 0x1A.
bool hasComposedText(const Config& config) {
  const std::optional<std::string> first = readBinaryFile(tempFileName(config), 1);
  return first && !fromTextMode(*first).empty();
}

void tellNothingWritten(Console& console) {
  messageBox(console, MessageId::NothingWritten);
  console.clearScreen();
}

// The composed text cut into preview lines; none when the file is gone.
std::vector<std::string> previewLines(const std::string& path) {
  std::vector<std::string> lines;
  const std::optional<std::string> text = readTextFile(path);
  if (!text) return lines;
  MemoryLineStream stream(*text);
  std::string line;
  while (lines.size() < kPreviewMaxLines && readWrappedLine(stream, line, kPreviewLineBytes)) {
    if (const auto cr = line.rfind('\r'); cr != std::string::npos) {
      line.resize(cr);
    } else if (const auto lf = line.rfind('\n'); lf != std::string::npos) {
      line.resize(lf);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void drawPreview(Console& console, const std::vector<std::string>& lines, int top) {
  for (int row = 0; row < kPreviewRows; ++row) {
    const std::size_t at = static_cast<std::size_t>(top + row);
    console.putBodyRow(row, at < lines.size() ? std::string_view(lines[at]) : std::string_view());
  }
  console.setCursor(0, 23);
  console.setBar();
  console.writeText("書き込んでよいですか？([Ｙ]/N/E)"_sj);
  pagerIndicator(console, static_cast<int>(lines.size()), top);
}

}  // namespace

std::string tempFileName(const Config& config) {
  return formatText("%sZQ2OFF.TMP", config.temporaryDir);
}

bool prepareTempFile(const Config& config, std::string_view text) {
  return writePrivateTextFile(tempFileName(config), text);
}

bool startTempFile(App& app, std::string_view text) {
  if (prepareTempFile(app.config, text)) return true;
  noticeBox(
      app.console, "一時ファイルを作成できません"_sj,
      formatText("　一時ファイル[%s]を作成できませんでした。\n"
                 "　TEMPORARY_DIR の設定とディレクトリの書き込みの許可を確認してください。"_sj,
                 tempFileName(app.config)));
  return false;
}

void runEditor(App& app) {
  const Config& config = app.config;
  app.console.runCommand(formatText("%s %s %s %s", editorCommand(config), config.editorOpt1,
                                    shellQuote(tempFileName(config)), config.editorOpt2));
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

bool appendSignature(App& app) {
  const std::optional<std::string> signature = readTextFile(app.config.signature);
  if (!signature) return false;
  return appendOnOwnLine(tempFileName(app.config), *signature, app.state.logIdentity,
                         AppendMode::PrivateFile);
}

bool previewText(App& app, const std::string& path) {
  Console& console = app.console;
  console.clearScreen();
  std::vector<std::string> lines = previewLines(path);
  int top = 0;
  bool draw = true;
  while (true) {
    const int count = static_cast<int>(lines.size());
    if (draw) {
      top = clampTopLine(top, count);
      drawPreview(console, lines, top);
    }
    draw = true;
    const int key = console.getKey();
    if (const Scroll scroll = scrollPager(key, top, count); scroll != Scroll::NotAScrollKey) {
      draw = scroll == Scroll::Moved;
      continue;
    }
    switch (key) {
      case key::kEscape:
      case 'Q':
      case 'q':
      case 'N':
      case 'n':
        return false;
      case 'Y':
      case 'y':
      case key::kEnter:
        return true;
      case '?':
      case key::kCtrlA:
        messageBox(console, MessageId::MenuHelp);
        break;
      case 'E':
      case 'e':
        console.clearScreen();
        runEditor(app);
        console.clearScreen();
        lines = previewLines(path);
        break;
      default:
        draw = false;
        break;
    }
  }
}

bool composeText(App& app) {
  Console& console = app.console;
  console.clearScreen();
  runEditor(app);
  if (!hasComposedText(app.config)) {
    tellNothingWritten(console);
    return false;
  }
  if (askSignature(app)) appendSignature(app);
  const std::string path = tempFileName(app.config);
  if (!previewText(app, path)) {
    removeFile(path);
    return false;
  }
  // An "E" in the preview may have emptied the text after the first check.
  if (!hasComposedText(app.config)) {
    tellNothingWritten(console);
    return false;
  }
  return true;
}

bool writeComposedCommand(App& app, std::string_view firstLines) {
  const std::string path = tempFileName(app.config);
  if (!appendComposedCommand(app, firstLines, path)) return false;
  removeFile(path);
  app.console.clearScreen();
  return true;
}

}  // namespace zazir

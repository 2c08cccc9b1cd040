#include "services/preview.h"

#include <string>
#include <vector>

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/pager.h"
#include "platform/encoding.h"
#include "platform/linestream.h"
#include "services/app.h"
#include "services/compose.h"
#include "services/editortext.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

constexpr int kPreviewRows = 23;
constexpr std::size_t kPreviewLineBytes = 78;
constexpr std::size_t kPreviewMaxLines = 512;

struct PreviewLine {
  std::string text;
  std::vector<std::size_t> reversed;  // the placeholders' bytes
};

// The text cut into preview lines.
std::vector<PreviewLine> previewLines(const Composition& composition) {
  std::vector<PreviewLine> lines;
  MemoryLineStream stream(composition.text);
  auto mark = composition.unconvertible.begin();
  const std::size_t markBytes = unconvertiblePlaceholder().size();
  while (lines.size() < kPreviewMaxLines) {
    const auto start = static_cast<std::size_t>(stream.tell());
    PreviewLine line;
    if (!readWrappedLine(stream, line.text, kPreviewLineBytes)) break;
    if (const auto cr = line.text.rfind('\r'); cr != std::string::npos) {
      line.text.resize(cr);
    } else if (const auto lf = line.text.rfind('\n'); lf != std::string::npos) {
      line.text.resize(lf);
    }
    for (; mark != composition.unconvertible.end() && *mark < start + line.text.size(); ++mark) {
      for (std::size_t i = 0; i < markBytes; ++i) line.reversed.push_back(*mark - start + i);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void drawPreview(Console& console, const Composition& composition,
                 const std::vector<PreviewLine>& lines, int top) {
  for (int row = 0; row < kPreviewRows; ++row) {
    const std::size_t at = static_cast<std::size_t>(top + row);
    if (at < lines.size()) {
      console.putBodyRow(row, lines[at].text, lines[at].reversed);
    } else {
      console.putBodyRow(row, {});
    }
  }
  console.setCursor(0, 23);
  console.setBar();
  if (!composition.unconvertible.empty()) {
    console.writeText("送れない文字(反転の〓)があります。E:編集しなおす N:やめる"_sj);
  } else if (composition.untouched) {
    console.writeText("用意したままの文章です。書き込みますか？(Y/N/E)"_sj);
  } else {
    console.writeText("書き込んでよいですか？([Ｙ]/N/E)"_sj);
  }
  pagerIndicator(console, static_cast<int>(lines.size()), top);
}

}  // namespace

PreviewAnswer previewText(App& app, const Composition& composition, int& top) {
  Console& console = app.console;
  console.clearScreen();
  const std::vector<PreviewLine> lines = previewLines(composition);
  const int count = static_cast<int>(lines.size());
  const bool sendable = composition.unconvertible.empty();
  bool draw = true;
  while (true) {
    if (draw) {
      top = clampTopLine(top, count);
      drawPreview(console, composition, lines, top);
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
        return PreviewAnswer::Drop;
      case 'Y':
      case 'y':
        if (sendable) return PreviewAnswer::Write;
        console.bell();
        draw = false;
        break;
      case key::kEnter:
        if (sendable && !composition.untouched) return PreviewAnswer::Write;
        console.bell();
        draw = false;
        break;
      case '?':
      case key::kCtrlA:
        messageBox(console, MessageId::MenuHelp);
        break;
      case 'E':
      case 'e':
        return PreviewAnswer::EditAgain;
      default:
        draw = false;
        break;
    }
  }
}

}  // namespace zazir

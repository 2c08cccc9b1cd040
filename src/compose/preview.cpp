#include "compose/preview.h"

#include <string>
#include <vector>

#include "compose/compose.h"
#include "compose/uploadview.h"
#include "console/articleview.h"
#include "console/dialogs.h"
#include "platform/encoding.h"
#include "platform/linestream.h"
#include "services/app.h"
#include "services/editortext.h"
#include "services/uploadfile.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

enum class PreviewAction { Write, WriteDefault, Drop, EditAgain, ViewUploadFile, Help };
using PreviewKey = ArticleAction<PreviewAction>;

KeyTable<PreviewKey> previewKeys() {
  static const std::vector<Binding<PreviewKey>> kKeys = withScrolling<PreviewAction>({
      {{key::kHome}, PageMove::Top, "Home，End：文章の最初／最後"_sj},
      {{key::kEnd}, PageMove::Bottom},
      {{'Y', 'y'}, PreviewAction::Write, "Ｙ：書き込む"_sj},
      {{key::kEnter},
       PreviewAction::WriteDefault,
       "リターンキー：書き込む（用意したままの文章はＹで）"_sj},
      {{'N', 'n', key::kEscape, 'Q', 'q'}, PreviewAction::Drop, "Ｎ，ESC，Ｑ：書き込まずに戻る"_sj},
      {{'E', 'e'}, PreviewAction::EditAgain, "Ｅ：もう一度編集する"_sj},
      row::uploadFile<PreviewKey>(PreviewAction::ViewUploadFile),
      row::help<PreviewKey>(PreviewAction::Help),
  });
  return kKeys;
}

// The preview cuts a line after 78 bytes, one more than the readers.
constexpr std::size_t kPreviewLineBytes = 78;

// The composed text as the preview shows it: lines of 78 bytes, tabs kept.
const ArticleLayout& previewLayout() {
  static const ArticleLayout layout{0, kPreviewLineBytes, true, {}};
  return layout;
}

// The placeholders of the characters CP932 lacks, line by line.
std::vector<std::vector<std::size_t>> placeholderBytes(const Composition& composition,
                                                       const Article& article) {
  std::vector<std::vector<std::size_t>> reversed(article.lines.size());
  auto mark = composition.unconvertible.begin();
  const std::size_t markBytes = unconvertiblePlaceholder().size();
  for (std::size_t k = 0; k < article.lines.size(); ++k) {
    const auto start = static_cast<std::size_t>(article.lineStarts[k]);
    for (; mark != composition.unconvertible.end() && *mark < start + article.lines[k].size();
         ++mark) {
      for (std::size_t i = 0; i < markBytes; ++i) reversed[k].push_back(*mark - start + i);
    }
  }
  return reversed;
}

// The lines of the whole text, cut as the view cuts them; the view holds
// the first kMaxArticleLines.
int wholeLines(LineStream& text, const Article& article) {
  int lines = static_cast<int>(article.lines.size());
  if (article.lines.size() < kMaxArticleLines) return lines;
  text.seek(article.lineStarts.back());
  std::string line;
  readWrappedLine(text, line, kPreviewLineBytes);
  while (readWrappedLine(text, line, kPreviewLineBytes)) ++lines;
  return lines;
}

const std::string& question(const Composition& composition) {
  if (!composition.unconvertible.empty()) {
    return "送れない文字(反転の〓)があります。E:編集しなおす N:やめる"_sj;
  }
  if (composition.untouched) return "用意したままの文章です。書き込みますか？(Y/N/E)"_sj;
  return "書き込んでよいですか？([Ｙ]/N/E)"_sj;
}

}  // namespace

PreviewAnswer previewText(App& app, const Composition& composition, int& top, PreviewOf of) {
  Console& console = app.console;
  MemoryLineStream text(composition.text);
  ArticleView view(articlePage(0, articleStatusRow(console)), 1, ArticleView::OnChange::FirstLine,
                   [&](int) { return loadArticle(text, 0, -1, previewLayout()); });
  view.open(0);
  view.setTop(top);
  view.setReversed(placeholderBytes(composition, view.article()));
  // A longer text is shown in part, and written whole: the indicator says
  // how much of it the pages hold.
  const int whole = wholeLines(text, view.article());
  const bool sendable = composition.unconvertible.empty();
  PreviewAnswer answer = PreviewAnswer::Drop;
  const auto answered = [&](PreviewAnswer given) {
    answer = given;
    return Outcome::Leave;
  };
  const auto refused = [&] {
    console.bell();
    return Outcome::Stay;
  };
  runArticleScreen<PreviewAction>(
      console, view, previewKeys(),
      [&](PreviewAction action) {
        switch (action) {
          case PreviewAction::Write:
            return sendable ? answered(PreviewAnswer::Write) : refused();
          case PreviewAction::WriteDefault:
            return sendable && !composition.untouched ? answered(PreviewAnswer::Write) : refused();
          case PreviewAction::Drop:
            return answered(PreviewAnswer::Drop);
          case PreviewAction::EditAgain:
            return answered(PreviewAnswer::EditAgain);
          case PreviewAction::ViewUploadFile:
            if (of == PreviewOf::UploadFile) return refused();
            viewUploadFile(app);
            return Outcome::Redraw;
          case PreviewAction::Help:
            showHelp(console, "メニュー選択"_sj, previewKeys());
            return Outcome::Redraw;
        }
        return Outcome::Stay;
      },
      [&] {
        drawArticle(console, view,
                    {.arrows = false, .bar = question(composition), .wholeLines = whole});
      });
  top = view.top();
  return answer;
}

KeyRows previewKeyRows() {
  return keyRowsOf(previewKeys());
}

}  // namespace zazir

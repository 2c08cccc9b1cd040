#include "readers/readerscreen.h"

#include "compose/uploadview.h"
#include "console/dialogs.h"
#include "readers/unread.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/format.h"

namespace zazir {

ReaderScreen::ReaderScreen(App& app, LastSearch& last, Series series, const ReaderLayout& layout)
    : app_(app),
      console_(app.console),
      series_(std::move(series)),
      layout_(layout),
      view_(articlePage(layout.headerRows, articleStatusRow(app.console)), series_.count(),
            layout.onChange,
            [this](int n) {
              std::optional<Article> item = loadArticle(app_.log.stream, series_.startOf(n),
                                                        series_.endOf(n), *series_.layout);
              if (!item && layout_.tellsEveryUnreadable) messageBox(console_, MessageId::NoPosts);
              return item;
            }),
      finder_(app, last, view_, series_,
              [this](int item, std::string_view treeMarks) { return titleRow(item, treeMarks); }) {}

bool ReaderScreen::open(const ReaderOpening& opening) {
  if (series_.count() == 0) {
    if (series_.section != MarkSection::Mail) messageBox(console_, MessageId::NoPosts);
    return false;
  }
  trackSeries(app_, series_);
  return finder_.open(opening);
}

std::string ReaderScreen::barOf(const std::string& hints) {
  return formatText("%s %s", "ZAZIR", hints);
}

Outcome ReaderScreen::take(ReaderStep step, const std::vector<std::string_view>& help) {
  switch (step) {
    case ReaderStep::ViewUploadFile:
      viewUploadFile(app_);
      return afterScreen();
    case ReaderStep::Help:
      helpBox(console_, layout_.helpTitle, help);
      return Outcome::Redraw;
    case ReaderStep::Leave:
      return Outcome::Leave;
  }
  return Outcome::Stay;
}

Outcome ReaderScreen::reopen(int item) {
  if (view_.open(item)) return Outcome::Redraw;
  if (!layout_.tellsEveryUnreadable) messageBox(console_, MessageId::NoPosts);
  return Outcome::Leave;
}

Outcome ReaderScreen::afterScreen() {
  return layout_.rereads ? reopen(view_.current()) : Outcome::Redraw;
}

std::string ReaderScreen::marksOf(int item, bool marked) const {
  return titleMarks(!app_.marks.isRead(series_.section, series_.board, item), marked);
}

void ReaderScreen::draw(const std::string& bar) {
  ArticleLook look = layout_.look;
  if (marked()) look.header = attr::kBar;
  look.bar = bar;
  drawArticle(console_, view_, look);
  const int item = view_.current();
  if (app_.marks.isRead(series_.section, series_.board, item)) return;
  app_.marks.markRead(series_.section, series_.board, item);
  if (app_.marks.keepDue()) saveReadMarks(console_, app_.marks);
}

std::optional<ReaderPlace> ReaderScreen::finish() {
  saveReadMarks(console_, app_.marks);
  return finder_.next();
}

}  // namespace zazir

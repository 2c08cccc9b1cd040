#include "readers/mailreader.h"

#include "console/articleview.h"
#include "formats/maillog.h"
#include "platform/encoding.h"
#include "readers/finding.h"
#include "readers/mailactions.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "writers/sendmail.h"

namespace zazir {

using namespace literals;

namespace {

enum class MailAction { Write, Reply, ViewUploadFile, Save, RegisterSender, Help, Leave };
using MailKey = ArticleAction<ReaderAction<MailAction>>;

KeyTable<MailKey> mailKeys() {
  static const std::vector<Binding<MailKey>> kKeys =
      withFinding(withScrolling<ReaderAction<MailAction>>({
          {kLeftKeys, PageMove::Previous, "←→，４６：前／次のメール"_sj},
          {kRightKeys, PageMove::Next},
          {{key::kHome}, PageMove::First, "Home，End：最初／最後のメール"_sj},
          {{key::kEnd}, PageMove::Last},
          {{'W', 'w'}, MailAction::Write, "Ｗ：メール送信"_sj, "W:ﾒｰﾙ送信"_sj},
          {{'R', 'r'}, MailAction::Reply, "Ｒ：読んでいるメールに返事を書く"_sj, "R:ﾚｽ"_sj},
          {{'F', 'f'},
           MailAction::ViewUploadFile,
           "Ｆ：アップロードファイルの参照"_sj,
           "F:ｱｯﾌﾟﾌｧｲﾙ参照"_sj},
          {{'?', key::kCtrlA}, MailAction::Help, "？，Ctrl+A：このヘルプ"_sj, "?:ヘルプ"_sj},
          {{'S', 's'}, MailAction::Save, "Ｓ：メールの保存"_sj},
          {{'I', 'i'},
           MailAction::RegisterSender,
           "Ｉ：今読んでいるメールの差出人をＩＤリストに登録"_sj},
          {kReaderLeaveKeys, MailAction::Leave, "ESC，Ｑ，リターン，スペース，５：メニューへ"_sj},
      }));
  return kKeys;
}

// A mail's title row: its position, the sender's ID and name, its title.
std::string titleRow(const App& app, int n) {
  const MailEntry& mail = app.index.mails[static_cast<std::size_t>(n)];
  const bool unread = !app.marks.isRead(MarkSection::Mail, 0, n);
  return titleMarks(unread, false) + formatText("%5i ", n + 1) + titleColumn(mail.senderId, 8) +
         titleColumn(mail.senderName, 12) + mail.title;
}

// After an action the mail is shown again from the lines held, at the
// same top line.
Outcome act(App& app, const MailEntry& mail, MailAction action) {
  switch (action) {
    case MailAction::Write:
      sendNewMail(app);
      return Outcome::Redraw;
    case MailAction::Reply:
      sendMailReply(app, mail);
      return Outcome::Redraw;
    case MailAction::ViewUploadFile:
      viewUploadFile(app);
      return Outcome::Redraw;
    case MailAction::Save:
      saveMail(app, mail);
      return Outcome::Redraw;
    case MailAction::RegisterSender:
      registerSender(app, mail);
      return Outcome::Redraw;
    case MailAction::Help:
      showHelp(app.console, "メール読み出し"_sj, mailKeys());
      return Outcome::Redraw;
    case MailAction::Leave:
      return Outcome::Leave;
  }
  return Outcome::Stay;
}

}  // namespace

std::optional<ReaderPlace> readMail(App& app, const ReaderOpening& opening) {
  const auto& mails = app.index.mails;
  if (mails.empty()) return std::nullopt;
  const Series series = mailSeries(app.index);
  // The top line is kept across mails.
  ArticleView view(articlePage(3, articleStatusRow(app.console)), series.count(),
                   ArticleView::OnChange::KeepTopLine, [&](int n) {
                     return loadArticle(app.log, series.startOf(n), -1, mailLayout());
                   });
  const auto mailAct = [&](MailAction action) {
    return act(app, mails[static_cast<std::size_t>(view.current())], action);
  };
  Finder finder(
      app, view, series, [&](int n) { return titleRow(app, n); },
      [&](ListAction action) {
        return mailAct(action == ListAction::Write ? MailAction::Write : MailAction::Reply);
      });
  const std::string bar = formatText("%s %s", "ZAZIR", hintsOf(mailKeys()));
  return finder.run(opening, mailKeys(), mailAct,
                    [&] { drawArticle(app.console, view, {.bar = bar}); });
}

KeyRows mailReaderKeyRows() {
  return keyRowsOf(mailKeys());
}

}  // namespace zazir

#include "readers/mailreader.h"

#include "formats/maillog.h"
#include "platform/encoding.h"
#include "readers/mailactions.h"
#include "readers/readerscreen.h"
#include "services/app.h"
#include "writers/sendmail.h"

namespace zazir {

using namespace literals;

namespace {

enum class MailAction { Write, Reply, Save, RegisterSender };

KeyTable<ReaderKey<MailAction>> mailKeys() {
  static const ReaderWords kWords("メール"_sj, "メニュー"_sj);
  static const auto kKeys = readerKeys<MailAction>(
      kWords.rows("?:ヘルプ"_sj),
      {
          {{'W', 'w'}, MailAction::Write, "Ｗ：メール送信"_sj, "W:ﾒｰﾙ送信"_sj},
          {{'R', 'r'}, MailAction::Reply, "Ｒ：読んでいるメールに返事を書く"_sj, "R:ﾚｽ"_sj},
      },
      {
          {{'S', 's'}, MailAction::Save, "Ｓ：メールの保存"_sj},
          {{'I', 'i'},
           MailAction::RegisterSender,
           "Ｉ：今読んでいるメールの差出人をＩＤリストに登録"_sj},
      });
  return kKeys;
}

class MailReader : public Reader<MailAction> {
 public:
  MailReader(App& app, LastSearch& last)
      : Reader(app, last, mailSeries(app.index),
               {.onChange = ArticleView::OnChange::KeepTopLine,  // across mails
                .helpTitle = "メール読み出し"_sj,
                .rereads = false},
               mailKeys()) {}

 private:
  const MailEntry& mail(int n) const { return app().index.mails[static_cast<std::size_t>(n)]; }
  // Its position, the sender's ID and name, its title.
  std::string titleRow(int n, std::string_view /*no threads*/) override {
    const MailEntry& entry = mail(n);
    return marksOf(n, false) + formatText("%5i ", n + 1) + titleColumn(entry.senderId, 8) +
           titleColumn(entry.senderName, 12) + entry.title;
  }
  Outcome act(MailAction action) override;
};

// After an action the mail is shown again from the lines held, at the
// same top line.
Outcome MailReader::act(MailAction action) {
  const MailEntry& shown = mail(current());
  switch (action) {
    case MailAction::Write:
      sendNewMail(app());
      break;
    case MailAction::Reply:
      sendMailReply(app(), shown);
      break;
    case MailAction::Save:
      saveMail(app(), shown);
      break;
    case MailAction::RegisterSender:
      registerSender(app(), shown);
      break;
  }
  return afterScreen();
}

}  // namespace

std::optional<ReaderPlace> readMail(App& app, LastSearch& last, const ReaderOpening& opening) {
  return MailReader(app, last).run(opening);
}

KeyRows mailReaderKeyRows() {
  return keyRowsOf(mailKeys());
}

}  // namespace zazir

#include "writers/sendmail.h"

#include <string>

#include "addressbook/recipients.h"
#include "compose/compose.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "formats/hostcommands.h"
#include "formats/logindex.h"
#include "formats/maillog.h"
#include "formats/quote.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/hostanswer.h"
#include "text/cp932.h"

namespace zazir {

using namespace literals;

namespace {

// A quoted line keeps at least ten bytes for the text.
constexpr std::size_t kQuotePrefixLimit = 68;
constexpr std::size_t kTitleLimit = 79;

enum class Confirmation { Send, Change, Stop };

Confirmation confirmRecipients(Console& console, const std::vector<std::string>& recipients) {
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 10);
  console.putText("メールを以下のＩＤに送信します。\n\n%s"_sj, joinedRecipients(recipients));
  console.setCursor(0, 23);
  console.setBar();
  console.writeText("よろしいですか？([Ｙ]/N/Q:送信中止)"_sj);
  console.setNormal();
  static const Binding<Confirmation> kKeys[] = {
      {{'Y', 'y', key::kEnter}, Confirmation::Send},
      {{'N', 'n'}, Confirmation::Change},
      {{'Q', 'q'}, Confirmation::Stop},
  };
  return waitForAction<Confirmation>(console, kKeys);
}

// Recipients, their confirmation, the title and the text. No recipient in
// `to` opens the recipient list.
void sendMail(App& app, std::string_view prepared, std::string_view proposedTitle,
              std::vector<std::string> to) {
  Console& console = app.console;
  if (to.empty()) to = enterRecipients(app);
  if (to.empty()) return;
  while (true) {
    const Confirmation answer = confirmRecipients(console, to);
    if (answer == Confirmation::Stop) return;
    if (answer == Confirmation::Send) break;
    to = enterRecipients(app);
    if (to.empty()) return;
  }

  console.clearScreen();
  const std::string title =
      promptHostAnswer(console, "メール送信；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj, proposedTitle);
  if (title.empty()) {
    console.clearScreen();
    return;
  }
  composeAndWrite(app, prepared, mailCommand(to, title));
}

}  // namespace

void sendNewMail(App& app) {
  sendMail(app, {}, "MAIL to you", {});
}

void sendMailReply(App& app, const MailEntry& mail) {
  const std::string title(cutToBytes("Re:" + mail.title, kTitleLimit));
  std::string text =
      formatConfigured(app.config.headReplyMail, {mail.dateText, mail.timeText}) + "\n\n";
  const QuoteRule rule{
      std::string(cutToBytes(quotePrefix(app.config, mail.senderName), kQuotePrefixLimit)), -1,
      isMailEnd};
  text += quoteMessage(app.log.stream, mail.headerOffset, rule);
  std::vector<std::string> to;
  if (!mail.senderId.empty()) to.push_back(mail.senderId);
  sendMail(app, text, title, std::move(to));
}

}  // namespace zazir

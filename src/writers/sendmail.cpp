#include "writers/sendmail.h"

#include <optional>
#include <string>

#include "addressbook/recipients.h"
#include "console/dialogs.h"
#include "console/keys.h"
#include "formats/hostcommands.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/compose.h"

namespace zazir {

using namespace literals;

namespace {

enum class Confirmation { Send, Change, Stop };

Confirmation confirmRecipients(Console& console, const std::string& recipients) {
  console.clearScreen();
  console.setNormal();
  console.setCursor(0, 10);
  console.putText("メールを以下のＩＤに送信します。\n\n%s"_sj, recipients);
  console.setCursor(0, 23);
  console.setBar();
  console.writeText("よろしいですか？([Ｙ]/N/Q:送信中止)"_sj);
  console.setNormal();
  while (true) {
    switch (console.getKey()) {
      case 'Y':
      case 'y':
      case key::kEnter:
        return Confirmation::Send;
      case 'N':
      case 'n':
        return Confirmation::Change;
      case 'Q':
      case 'q':
        return Confirmation::Stop;
      default:
        break;
    }
  }
}

}  // namespace

void sendMail(App& app, std::string_view prepared, std::string_view proposedTitle,
              std::string_view recipients) {
  Console& console = app.console;
  std::string to(recipients);
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
      promptBox(console, "メール送信；タイトル入力 無入力：ｷｬﾝｾﾙ"_sj,
                proposedTitle.empty() ? std::string_view("MAIL to you") : proposedTitle);
  if (title.empty()) {
    console.clearScreen();
    return;
  }
  std::optional<Composition> composition = startComposition(app, prepared);
  if (!composition || !composeText(app, *composition)) return;
  writeComposedCommand(app, *composition, mailCommand(to, title));
}

}  // namespace zazir

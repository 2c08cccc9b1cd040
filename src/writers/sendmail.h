// Sending mail: recipients, their confirmation, the title and the text
// composed in the editor become the mail command of the upload file. Each
// returns when the command is written or the user stopped; the caller
// redraws.
#pragma once

namespace zazir {

struct App;
struct MailEntry;

// A new mail: the recipient list, "MAIL to you" proposed as the title, an
// empty text.
void sendNewMail(App& app);

// The reply to `mail`, to its sender: "Re:" and its title proposed, the
// text prepared with HEADREPLYMAIL and the mail quoted up to its end.
void sendMailReply(App& app, const MailEntry& mail);

}  // namespace zazir

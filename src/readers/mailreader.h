// The mail reader: the private mail of the log, one mail per screen, from
// which mail is answered, sent, saved, and its sender added to the ID file.
#pragma once

namespace zazir {

struct App;

// Opens on the first mail with its first line at the top; returns when the
// user leaves (the caller redraws). Does nothing for a log without mail.
void readMail(App& app);

}  // namespace zazir

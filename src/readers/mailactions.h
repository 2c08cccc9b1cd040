// What the mail reader does with the mail shown besides answering it: save
// it, and register its sender. Each reads the mail afresh from the log.
#pragma once

namespace zazir {

struct App;
struct MailEntry;

// Saving: the mail appended, header and all, to the file the user names.
void saveMail(App& app, const MailEntry& mail);
// Registering: the sender's ID, handle and a comment into the ID file.
void registerSender(App& app, const MailEntry& mail);

}  // namespace zazir

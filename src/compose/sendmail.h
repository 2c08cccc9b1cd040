// Sending mail: recipients, their confirmation, the title and the text
// composed in the editor become the mail command of the upload file.
#pragma once

#include <string_view>

namespace zazir {

struct App;

// A new mail (`replyFlag` false: the temporary file is created empty) or a
// reply (the caller has written the temporary file). Empty `recipients`
// opens the recipient list; an empty `proposedTitle` proposes "MAIL to
// you". Returns when the command is written or the user stopped; the
// caller redraws.
void sendMail(App& app, bool replyFlag, std::string_view proposedTitle,
              std::string_view recipients);

}  // namespace zazir

// Sending mail: recipients, their confirmation, the title and the text
// composed in the editor become the mail command of the upload file.
#pragma once

#include <string_view>

namespace zazir {

struct App;

// A new mail (`prepared` empty: the text starts empty) or a reply (its
// heading and quotation prepared by the caller). Empty `recipients` opens
// the recipient list; an empty `proposedTitle` proposes "MAIL to you".
// Returns when the command is written or the user stopped; the caller
// redraws.
void sendMail(App& app, std::string_view prepared, std::string_view proposedTitle,
              std::string_view recipients);

}  // namespace zazir

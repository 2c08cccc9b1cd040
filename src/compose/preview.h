// The preview of a composed text, with its Y/N/E question.
#pragma once

#include <cstdint>
#include "console/keymap.h"

namespace zazir {

struct App;
struct Composition;

enum class PreviewAnswer : std::uint8_t { Write, Drop, EditAgain };

// What the text previewed is: a command's, or the upload file itself as
// the editor left it (then "F", which would open it again, rings the bell).
enum class PreviewOf : std::uint8_t { Command, UploadFile };

// The pager over the composition's text, from line `top` (kept across an
// edit). A character CP932 lacks is shown as a placeholder in reverse
// video and no answer writes the text; a text the editor left as prepared
// is pointed out and written only on an explicit "Y". "F" opens the
// upload file in the editor.
PreviewAnswer previewText(App& app, const Composition& composition, int& top,
                          PreviewOf of = PreviewOf::Command);

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows previewKeyRows();

}  // namespace zazir

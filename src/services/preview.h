// The preview of a composed text, with its Y/N/E question.
#pragma once

#include <cstdint>

namespace zazir {

struct App;
struct Composition;

enum class PreviewAnswer : std::uint8_t { Write, Drop, EditAgain };

// The pager over the composition's text, from line `top` (kept across an
// edit). A character CP932 lacks is shown as a placeholder in reverse
// video and no answer writes the text; a text the editor left as prepared
// is pointed out and written only on an explicit "Y".
PreviewAnswer previewText(App& app, const Composition& composition, int& top);

}  // namespace zazir

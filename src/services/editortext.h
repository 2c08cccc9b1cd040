// The text as the editor's file holds it and as it comes back. Inside, a
// composed text is CP932 with "\n" line ends; the editor gets Shift-JIS
// with CR LF, or UTF-8 with LF for an editor on a UTF-8 terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

class Console;
struct Config;

// True when the editor gets UTF-8: as EDITOR_CODE says, and by default
// under every terminal codeset but a Shift-JIS one (UTF-8 holds every
// CP932 character, so a prepared text always reaches the editor whole).
bool editorUsesUtf8(const Config& config, const Console& console);

// The editor's file for `text`. A byte that begins no CP932 character
// becomes U+FFFD, which the way back then marks.
std::string toEditorFile(std::string_view text, bool utf8);

// The text of the editor's file: CR LF read as "\n", ending at a 0x1A
// byte. A character that CP932 lacks (or a byte that begins no UTF-8
// character) is never dropped: it becomes the placeholder, and its offset
// is listed, so that the text can be shown but not sent.
struct EditedText {
  std::string text;
  std::vector<std::size_t> unconvertible;  // ascending
};
EditedText fromEditorFile(std::string_view bytes, bool utf8);

// A file the user writes by hand (the configuration, the signature), as
// CP932: read as UTF-8 when it is valid UTF-8 holding non-ASCII text, as
// it stands otherwise. A character CP932 lacks becomes the placeholder.
std::string fromUserFile(std::string_view bytes);

// What stands in for a character that CP932 lacks: "〓".
const std::string& unconvertiblePlaceholder();

}  // namespace zazir

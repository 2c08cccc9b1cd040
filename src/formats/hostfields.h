// What a value may hold where the host reads it. The host takes ";" in an
// answer as the end of that answer (so that several go on one line), a
// line of "//" in a text as the text's end, a lone "0" in a list as the
// list's end, an empty answer as a cancel, and a control byte as a key:
// 0x1A even ends the replay of the upload file. Every value of a command
// passes one of these, whoever gave it: the log, the user or the
// configuration.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

// An answer to one of the host's prompts (a title, a file name, a chat or
// Notewall line) made harmless: ";" becomes the full-width "；", a control
// byte a blank, a lead byte with no trail byte after it "?", and an answer
// that reads as the end of a text takes full-width "／". Harmless input
// comes back as it was, and so does the result when given again.
std::string hostAnswer(std::string_view answer);

// True when the host would take the answer for no answer at all: empty or
// nothing but blanks.
bool isBlankAnswer(std::string_view answer);

// A composed text ("\n" line ends) made harmless line by line: a TAB
// becomes blanks up to the next column of eight, any other control byte a
// blank, a lead byte with no trail byte "?", and a line that reads as the
// end of the text ("//" between blanks) takes full-width "／". Offsets into
// the text given in `marks` (ascending, each where a character starts)
// are moved along. Harmless text comes back as it was, and so does the
// result when given again.
std::string hostText(std::string_view text, std::vector<std::size_t>* marks = nullptr);

// True for a line the host reads as the end of a text: "//", blanks
// (half or full width) around it allowed.
bool endsHostText(std::string_view line);

// True for an ID the host can take as one recipient: printable, with no
// blank, no ";", no broken character, and not read as the "0" that ends
// the list.
bool isHostId(std::string_view id);

// True for a board, message or file number the host can take: a "0"
// would end a list, a "-" is no number.
constexpr bool isHostNumber(std::int64_t number) {
  return number > 0;
}

}  // namespace zazir

// The small dialogs every screen uses: line input, the prompt box, the
// yes/no question, message boxes and the fatal error.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"

namespace zazir {

// Thrown to end the program: the entry point restores the terminal, prints
// `message` (CP932) and then `detail` on standard error when there are
// any, and exits with `status`.
struct ProgramExit {
  int status = 0;
  std::string message;
  int signal = 0;      // the signal (hang-up, termination) that ended the run
  std::string detail = {};  // the file and what the system said of it, in its codeset
};

inline constexpr int kExitFatal = 50;

// Reads one line at the 1-based position: at most `maxBytes` bytes, typed
// text in attribute 0x0A, `initial` offered as editable content. Esc gives
// the empty result.
std::string inputLine(Console& console, int x, int y, std::size_t maxBytes,
                      std::string_view initial = {});

// The framed prompt on rows 10 to 12 with `message` centred in its top
// border. An empty result means cancel.
std::string promptBox(Console& console, std::string_view message, std::string_view proposal = {});

enum class YesNoMode { DefaultYes = 0, DefaultNo = 1, NoDefault = 2 };
// Writes the choice hint at the cursor and waits for an answer: true for yes.
bool askYesNo(Console& console, YesNoMode mode);

enum class MessageId { NoPosts = 1, NothingWritten = 3, NoMarks = 4 };
// A full-screen message; returns after any key with the screen cleared.
void messageBox(Console& console, MessageId id);

// A screen's help box: "【title】", the described opening line, `lines`
// (CP932) and the line of the keys every screen takes alike, a page at a
// time; returns after a key on the last page (Esc on
// any page) with the screen cleared.
void helpBox(Console& console, std::string_view title, const std::vector<std::string_view>& lines);

// A full-screen notice in the manner of a message box, for what the
// program must tell and has no entry for (a file that cannot be written).
void noticeBox(Console& console, std::string_view title, std::string_view text);

// Shows the fatal-error screen and ends the program with status 50.
// `detail` (openProblem's "FILE: reason") follows the message on standard
// error only.
[[noreturn]] void fatalError(Console& console, std::string_view message,
                             std::string_view detail = {});

// A line of 80 bytes: "+", 78 times "-", "+".
std::string frameLine();

}  // namespace zazir

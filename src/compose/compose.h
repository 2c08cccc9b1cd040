// Composing in the external editor: the temporary file, the editor run,
// the signature and the preview. Every composer (board posts, uploads,
// mail, batch reply) goes through the same sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/privatefile.h"

namespace zazir {

struct App;
struct Config;
class HostCommand;

// A text larger than this in its file is refused unread, and stays in its
// file: far beyond any post the host takes, and the text is held whole
// while it is previewed and written.
inline constexpr std::uintmax_t kMaxComposedBytes = std::uintmax_t{2} << 20;

// One text being composed: the temporary file it is edited in from start
// to end, the text as prepared, and the text as the editor last left it,
// which is what the preview shows and what the command carries. Texts are
// CP932 with "\n" line ends, made harmless for the host (hostText) as
// soon as they are read, so that what the preview shows is what is
// written.
struct Composition {
  std::string path;      // the temporary file
  bool utf8 = false;     // its codeset: UTF-8 with LF, else Shift-JIS with CR LF
  std::string prepared;  // a reply's heading and quotation; empty for a new text
  std::string edited;    // the file's bytes as last read back
  std::string text;
  // Where `text` holds the placeholder of a character CP932 lacks.
  std::vector<std::size_t> unconvertible;
  bool untouched = false;  // the editor left the prepared text as it was
  // What the editor left at `path` when it was last read back: a link or
  // anything but the user's own file is never read.
  PrivateFileState found = PrivateFileState::Own;
  // A text for the host is made harmless as it is read; the upload file
  // itself (F) holds whole commands and is taken as the user left it.
  bool forHost = true;
  // The text's size when it is over `maxBytes` (then neither read nor
  // written); 0 otherwise.
  std::uintmax_t tooLarge = 0;
  std::uintmax_t maxBytes = kMaxComposedBytes;
};

// TEMPORARY_DIR followed by "ZQ2OFF.TMP": the temporary file's name when
// no file of that name is there.
std::string tempFileName(const Config& config);

// Creates the temporary file of a new composition, new and private, with
// `prepared` in the editor's codeset. A kept text under the usual name is
// told of and left alone. None, told on screen, when no file can be made.
std::optional<Composition> startComposition(App& app, std::string_view prepared = {});

// Reads the file back once after an editor run, unless it is over
// kMaxComposedBytes.
void readBack(Composition& composition);

// The signature question: true when the signature is wanted (never asked,
// and false, when there is no readable signature file).
bool askSignature(App& app);
// Adds the signature to the text and its file by the append rule; not
// when the two would be over kMaxComposedBytes (then `tooLarge` says so).
bool appendSignature(App& app, Composition& composition);

// The composition sequence after the temporary file is prepared: the
// editor, the empty-text check (message box 3), the signature question and
// the preview. True when the text is to be written. "N" in the preview
// deletes the file; an editor that fails is told and keeps it, as does an
// empty text that is not an empty file, and a text too large to read.
bool composeText(App& app, Composition& composition);

// Appends a composed command (its first lines, the text as previewed, the
// terminator) to the upload file. On success the temporary file is deleted
// and the screen cleared; on failure the user is told and the file stays.
// Returns whether it was written.
bool writeComposedCommand(App& app, const Composition& composition, const HostCommand& firstLines);

// The whole sequence for a command that carries a text: the temporary file
// with `prepared`, the composition, and the command with `firstLines` when
// the text is to be written. False when the command was refused or the
// temporary file could not be made (both told on screen).
bool composeAndWrite(App& app, std::string_view prepared, const HostCommand& firstLines);

}  // namespace zazir

// Composing in the external editor: the temporary file, the editor run,
// the signature and the preview. Every composer (board posts,
// uploads, mail, batch reply) goes through the same sequence.
#pragma once

#include <string>
#include <string_view>

namespace zazir {

struct App;
struct Config;

// TEMPORARY_DIR followed by "ZQ2OFF.TMP".
std::string tempFileName(const Config& config);

// Creates the temporary file empty (a new text), or with `text` (a reply's
// heading and quotation), without following a symbolic link. Returns
// whether it could be written.
bool prepareTempFile(const Config& config, std::string_view text = {});
// prepareTempFile, telling the user on screen when the file cannot be
// written.
bool startTempFile(App& app, std::string_view text = {});

// Runs the editor command line on the temporary file and waits for it.
void runEditor(App& app);

// The signature question: true when the signature is wanted (never asked,
// and false, when there is no readable signature file).
bool askSignature(App& app);
// Adds the signature to the temporary file by the append rule.
bool appendSignature(App& app);

// The preview pager over the temporary file with its Y/N/E question: true
// to write it. "E" edits again.
bool previewText(App& app, const std::string& path);

// The composition sequence after the temporary file is prepared: the
// editor, the empty-text check (message box 3), the signature question and
// the preview. True when the text is to be written; on "N" in the preview
// the temporary file is deleted; an empty text leaves it in place.
bool composeText(App& app);

// Appends a composed command (its first lines, the temporary file as the
// body, the terminator) to the upload file. On success the temporary file
// is deleted and the screen cleared; on failure the user is told and the
// temporary file stays. Returns whether it was written.
bool writeComposedCommand(App& app, std::string_view firstLines);

}  // namespace zazir

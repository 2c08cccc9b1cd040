// Composing in the external editor: the temporary file, the editor run,
// the signature, the preview and quoting. Every composer (board posts,
// uploads, mail, batch reply) goes through the same sequence.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zazir {

struct App;
struct Config;
class LineStream;

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

// The quotation prefix: QUOTATION formatted with the handle of the poster
// answered, cut so that a quoted line keeps room for text.
std::string quotePrefix(const Config& config, std::string_view handle);

// Reads one line of a message being quoted: at most 78 - prefixLength
// bytes, cleaned up, with the carry rule. False at the end of the stream.
// `endsLogLine`, when given, tells whether the piece ended its log line.
bool readQuotedLine(LineStream& log, std::size_t prefixLength, std::string& line,
                    bool* endsLogLine = nullptr);

// The log line at the read position, whole and cleaned up; the position
// stays. A quote's end is recognised on it, since a long prefix may leave
// each quoted piece too few bytes to show the end line's mark.
std::string peekLogLine(LineStream& log);

}  // namespace zazir

// The upload file: every action meant for the host becomes a command
// appended to it, for the terminal program to replay at the next visit.
#pragma once

#include <string>
#include <string_view>

#include "formats/hostcommands.h"

namespace zazir {

struct App;
class Console;
struct Config;

// UPLOADFILE_DIR followed by UPLOADFILE, as messages show it (UPLOADFILE
// keeps its padding to 13 characters).
std::string uploadFilePath(const Config& config);
// The path of the file on disk: the padding blanks dropped.
std::string uploadFileDiskPath(const Config& config);

// A refused command is told on screen (what the host would have made of
// the value); returns whether it was.
bool tellRefusal(Console& console, const HostCommand& command);

// Appends a whole command (chat and Notewall posts, the download batch). A
// refusal or a failure is told on screen; returns whether the command was
// written.
bool appendToUploadFile(App& app, const HostCommand& command);

// Appends a composed command (composedCommand): its first lines and the
// body, the text as the preview showed it. A refusal or a failure is told
// on screen, with the file `keptPath` where the text stays; returns whether
// the command was written.
bool appendComposedCommand(App& app, const HostCommand& firstLines, std::string_view body,
                           const std::string& keptPath);

// The editor command: EDITOR, or $VISUAL, $EDITOR, vi when it is empty.
std::string editorCommand(const Config& config);

// Runs the editor on `path` and waits for it. An editor that cannot start,
// is killed or fails is told on screen (the command line and the reason,
// then `afterFailure`); returns whether it ran and succeeded.
bool runEditorOn(App& app, const std::string& path, std::string_view afterFailure = {});

// The start-up policy for an upload file left from an earlier run.
void applyUploadFilePolicy(App& app);

}  // namespace zazir

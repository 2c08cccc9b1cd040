// The open log is never written, truncated or deleted: a file the program
// writes to that turns out to be the log is refused and the user told.
#pragma once

#include <string>
#include <string_view>

namespace zazir {

struct App;

// The notice text for a file refused as the log; `file` says which one,
// as in "ファイル[path]".
std::string theLogRefusedText(std::string_view file);

// At start-up: UPLOADFILE, IDFILE or GROUPLISTFILE naming the log (by any
// spelling or link) ends the run with a fatal error naming the setting and
// the file, before anything is written or deleted.
void refuseSettingsNamingTheLog(App& app);

}  // namespace zazir

// The door's side that people see: what it refused and why, told on
// screen, and the start-up checks of the files the settings name. The open
// log, and any other file that reads as a log, is never written, truncated
// or deleted.
#pragma once

#include <string>
#include <string_view>

#include "platform/filedoor.h"

namespace zazir {

struct App;

// The notice text for a file the door refused (isRefusal); `file` says
// which one, as in "ファイル[path]".
std::string refusedFileText(AppendOutcome outcome, std::string_view file);
// The same for the open log.
std::string theLogRefusedText(std::string_view file);

// At start-up, once the file names are derived, the files of UPLOADFILE,
// IDFILE and GROUPLISTFILE are chosen: a link of the user's own standing at
// a name is followed now, and only now.
void chooseSettingFiles(App& app);

// Then, before anything is written or deleted: a setting naming the open
// log (by any spelling or link) ends the run with a fatal error naming the
// setting and the file; one naming another file that reads as a log is
// told, and the file is left alone.
void refuseSettingsNamingTheLog(App& app);

}  // namespace zazir

// --export: the mail, messages, file entries, chat lines and Notewall of
// one or more logs into a directory of UTF-8 mailboxes and text files,
// merged in log order, each message once; a directory that holds an
// earlier export (an archive) gets what is new added to its files.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace zazir {

// Exports the logs (or directories of logs) `args` into `osDir`, which is
// created when missing. Nothing is written when any file to be written
// exists already and is not a file of the archive there, and an export
// that does not finish leaves every file as it was. Returns the exit
// status: 1 when the logs hold nothing to export,
// 50 on a file error (told on `err` with the file and the reason), 128+n
// when signal n (a hang-up, an interrupt, a termination) stopped it.
int runExport(const std::string& osDir, const std::vector<std::string>& args, std::FILE* err);

// The signal that asks the export to stop, 0 while none has.
using ExportStop = std::function<int()>;
int runExport(const std::string& osDir, const std::vector<std::string>& args, std::FILE* err,
              ExportStop stopped);

}  // namespace zazir

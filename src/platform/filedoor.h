// The one door through which every file the program creates, appends to,
// replaces or deletes is opened. It never writes to a communication log
// (the open one, by device and inode, or any other that reads as one), to
// anything but a regular file, or through a symbolic link that was not
// there when the file was chosen. Paths are CP932.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/fileidentity.h"

namespace zazir {

// What a file written must never be. The test of a log's head comes from
// above (the log's format is not this layer's); `settled` maps the files
// chosen at start-up that were links then to where they led (as the system
// names it, see ownLinkTarget); `commandsOnly` names the file that takes
// nothing but host commands (the upload file), when what is written is
// something else.
class FileGuard {
 public:
  using LogTest = bool (*)(std::string_view head);
  // Guards nothing: for files that cannot be a log (tests, new files).
  FileGuard() = default;
  FileGuard(std::optional<FileIdentity> theLog, LogTest readsAsLog, std::size_t headBytes,
            const std::map<std::string, std::string>* settled,
            const std::string* commandsOnly = nullptr)
      : theLog(theLog),
        readsAsLog(readsAsLog),
        headBytes(headBytes),
        settled(settled),
        commandsOnly(commandsOnly) {}

  std::optional<FileIdentity> theLog;
  LogTest readsAsLog = nullptr;
  std::size_t headBytes = 0;
  const std::map<std::string, std::string>* settled = nullptr;
  const std::string* commandsOnly = nullptr;
};

// How an append treats the text already in the file.
enum class AppendRule {
  // The new text follows the old byte for byte.
  AsItStands,
  // For a file that people or other programs may have edited: a trailing
  // 0x1A is replaced; otherwise the new text follows the old and starts on
  // a line of its own. The old text's last byte is never lost.
  OwnLine,
};
enum class AppendMode { CreateIfMissing, MustExist };
// A file the door creates: Shared as the umask says (0644 at most),
// Private exactly 0600, for files that can hold private text; these are
// never another user's.
enum class NewFile { Shared, Private };
// Links: Refuse opens no symbolic link in the file's place (unless it was
// settled at start-up); FollowOwn, for a file chosen just now, follows a
// link of the user's own to its target and refuses any other.
enum class Links { Refuse, FollowOwn };

// NotOpened: missing or not permitted; NotWritten: opened, and the text
// could not be written whole. The rest are refusals, nothing written:
// IsTheLog, the open log; IsALog, another file that reads as a log;
// IsALink, a symbolic link in the file's place; NotAFile, a device, a pipe
// or anything but a regular file; NotYours, another user's file where
// private text would go; CommandsOnly, the guard's `commandsOnly`.
enum class AppendOutcome {
  Written,
  NotOpened,
  NotWritten,
  IsTheLog,
  IsALog,
  IsALink,
  NotAFile,
  NotYours,
  CommandsOnly
};
bool isRefusal(AppendOutcome outcome);

struct AppendTarget {
  std::string path;
  AppendRule rule = AppendRule::OwnLine;
  AppendMode mode = AppendMode::CreateIfMissing;
  FileGuard guard;
  NewFile created = NewFile::Shared;
  Links links = Links::Refuse;
};

// Takes the next piece of the text, written in text mode. False once the
// append has failed: the rest need not be produced.
using TextSink = std::function<bool(std::string_view piece)>;
using TextProducer = std::function<void(const TextSink& put)>;

// The one way the program adds to a file. The file is opened for appending
// and locked (flock) from the checks of the guard and the append rule to
// its last byte, so that two runs on the same file interleave whole texts
// only. The text comes in pieces from `produce`, so that a long one is
// never held whole. A text that cannot be written whole is taken back: the
// file is cut to its old end and its end mark restored. An empty text
// changes nothing (a missing file is still created).
AppendOutcome appendText(const AppendTarget& target, const TextProducer& produce);
AppendOutcome appendText(const AppendTarget& target, std::string_view text);
// appendText of a whole text by the append rule; true when it was written.
bool appendOnOwnLine(const std::string& path, std::string_view text, const FileGuard& guard,
                     AppendMode mode = AppendMode::CreateIfMissing);

// What the guard would refuse about the file at `path` as it stands, for
// text of the kind `kind`; none when it may be written (a missing file
// included).
std::optional<AppendOutcome> refusalOf(const std::string& path, const FileGuard& guard,
                                       Links links = Links::Refuse,
                                       NewFile kind = NewFile::Shared);

// Opens `path` as the door does, for a writer that goes on by itself (the
// upload file rewritten in place): the name the door settles on, no link in
// the file's own place, non-blocking, and the file opened checked against
// the guard. -1 when it may not be written, with the reason in `refused`.
int openThroughDoor(const std::string& path, const FileGuard& guard, int flags, NewFile kind,
                    AppendOutcome& refused);

// Deletes the regular file at `path` unless the guard refuses it; a link
// is never deleted nor followed. True when it was deleted.
bool removeFile(const std::string& path, const FileGuard& guard);

// Where `path` leads when it is chosen now, as the system names it, when it
// is a symbolic link of the user's own: followed link by link as long as
// each is the user's. None for any other name.
std::optional<std::string> ownLinkTarget(const std::string& path);

// Creates or empties the regular file `path` (no link followed) and writes
// `text` in text mode.
bool writeTextFile(const std::string& path, std::string_view text);

// Creates `preferred` new and exclusively, with mode 0600 and no link
// followed, and writes `bytes`; when a file of that name exists, creates
// one of a fresh unique name beside it ("NAME-XXXXXX.EXT") instead.
// Returns the name used; none when no file could be made and written
// (nothing is then left behind).
std::optional<std::string> createPrivateFile(const std::string& preferred, std::string_view bytes);

// Puts `bytes` in place of the file `path` in one step: they are written in
// full to a new private file beside it first, so that a failure leaves the
// old file whole. A link in its place is replaced, never followed.
bool replacePrivateFile(const std::string& path, std::string_view bytes);

}  // namespace zazir

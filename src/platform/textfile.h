// Text files as the program's home platform wrote them: every "\n" written
// becomes CR LF, a read turns CR LF into "\n" and ends at a 0x1A byte.
// Paths are CP932 and converted for the operating system here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/fileidentity.h"

namespace zazir {

// "\n" to CR LF.
std::string toTextMode(std::string_view text);
// CR LF to "\n", ending at the first 0x1A.
std::string fromTextMode(std::string_view bytes);

bool fileExists(const std::string& path);
// True when `path` leads to a regular file, whether it can be read or not.
bool isRegularFile(const std::string& path);
bool removeFile(const std::string& path);

// The file's bytes as they are on disk, at most `limit` of them; none when
// it cannot be read or is not a regular file.
std::optional<std::string> readBinaryFile(const std::string& path,
                                          std::size_t limit = std::string::npos);
// True when `path` names a regular file that can be opened for reading.
bool isReadableFile(const std::string& path);
// What keeps the file at `path` from being opened for reading, or for
// appending to it as it stands: "FILE: reason", with FILE as the system
// names it and the reason in its words ("No such file or directory").
enum class OpenFor { Reading, Appending };
std::string openProblem(const std::string& path, OpenFor purpose = OpenFor::Reading);
// The same for a path as the system names it.
std::string osOpenProblem(const std::string& name, OpenFor purpose = OpenFor::Reading);

// The file read in text mode.
std::optional<std::string> readTextFile(const std::string& path);

// Creates or empties the file and writes `text` in text mode.
bool writeTextFile(const std::string& path, std::string_view text);

// How an append treats the text already in the file.
enum class AppendRule {
  // The new text follows the old byte for byte (the upload file's commands).
  AsItStands,
  // For a file that people or other programs may have edited: a trailing
  // 0x1A is replaced; otherwise the new text follows the old and starts on
  // a line of its own. The old text's last byte is never lost.
  OwnLine,
};
enum class AppendMode { CreateIfMissing, MustExist };
// NotOpened: missing or not permitted; NotWritten: opened, and the text
// could not be written whole; IsTheLog: the name leads to the open log.
enum class AppendOutcome { Written, NotOpened, NotWritten, IsTheLog };

struct AppendTarget {
  std::string path;
  AppendRule rule = AppendRule::OwnLine;
  AppendMode mode = AppendMode::CreateIfMissing;
  // The open log: when the file opened is this one (by device and inode),
  // nothing is written.
  std::optional<FileIdentity> theLog;
};

// Takes the next piece of the text, written in text mode. False once the
// append has failed: the rest need not be produced.
using TextSink = std::function<bool(std::string_view piece)>;
using TextProducer = std::function<void(const TextSink& put)>;

// The one way the program adds to a file. The file is opened for appending
// and locked (flock) from the checks of the append rule to its last byte,
// so that two runs on the same file interleave whole texts only. The text
// comes in pieces from `produce`, so that a long one is never held whole.
// A text that cannot be written whole is taken back: the file is cut to
// its old end and its end mark restored. An empty text changes nothing (a
// missing file is still created).
AppendOutcome appendText(const AppendTarget& target, const TextProducer& produce);
AppendOutcome appendText(const AppendTarget& target, std::string_view text);
// appendText of a whole text by the append rule; true when it was written.
bool appendOnOwnLine(const std::string& path, std::string_view text,
                     const std::optional<FileIdentity>& theLog,
                     AppendMode mode = AppendMode::CreateIfMissing);

}  // namespace zazir

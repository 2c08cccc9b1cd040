// Text files as the program's home platform wrote them: every "\n" written
// becomes CR LF, a read turns CR LF into "\n" and ends at a 0x1A byte.
// Paths are CP932 and converted for the operating system here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zazir {

// "\n" to CR LF.
std::string toTextMode(std::string_view text);
// CR LF to "\n", ending at the first 0x1A.
std::string fromTextMode(std::string_view bytes);

bool fileExists(const std::string& path);
bool removeFile(const std::string& path);

// The file's bytes as they are on disk, at most `limit` of them; none when
// it cannot be read or is not a regular file.
std::optional<std::string> readBinaryFile(const std::string& path,
                                          std::size_t limit = std::string::npos);
// True when `path` names a regular file that can be opened for reading.
bool isReadableFile(const std::string& path);
// The file read in text mode.
std::optional<std::string> readTextFile(const std::string& path);

// Creates or empties the file and writes `text` in text mode.
bool writeTextFile(const std::string& path, std::string_view text);
// Appends `text` in text mode, creating the file when it is missing. A
// write that fails leaves the file as it was.
bool appendTextFile(const std::string& path, std::string_view text);

// Appends to a text file that people or other programs may have edited: a
// trailing 0x1A is replaced; otherwise the new text follows the old and
// starts on a line of its own. The old text's last byte is never lost, and
// a write that fails leaves the file as it was.
// PrivateFile: the program's own file (the temporary file), which must
// exist and is never followed when it is a symbolic link.
enum class AppendMode { CreateIfMissing, MustExist, PrivateFile };
bool appendOnOwnLine(const std::string& path, std::string_view text,
                     AppendMode mode = AppendMode::CreateIfMissing);
// The same, telling a file that could not be opened (missing, not
// permitted) from one that was opened and could not be written.
enum class AppendOutcome { Written, NotOpened, NotWritten };
AppendOutcome appendOnOwnLineOutcome(const std::string& path, std::string_view text,
                                     AppendMode mode = AppendMode::CreateIfMissing);

// Creates or empties a file for the program's private use without following
// a symbolic link, and writes `text` in text mode.
bool writePrivateTextFile(const std::string& path, std::string_view text);

}  // namespace zazir

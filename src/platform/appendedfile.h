// A file that runs of the program append to (the upload file), read whole
// and rewritten under the same lock as their appends, so that a command
// appended by another run is never seen half made nor lost.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/fileidentity.h"
#include "platform/filedoor.h"

namespace zazir {

struct AppendedFile {
  std::string bytes;
  std::optional<FileIdentity> identity;  // none: there was no file
};

// The file's bytes, at most `limit` + 1 of them (more than `limit` tells
// that it is larger), read while no append is under way. A missing file
// reads as empty; none when it cannot be read or is not a regular file.
std::optional<AppendedFile> readAppendedFile(const std::string& path, std::size_t limit);

// What takes the place of the bytes the file holds now; none leaves them.
using Rewrite = std::function<std::optional<std::string>(std::string_view now)>;

// Declined: `rewrite` left the file as it was. Elsewhere: the path leads
// to another file than the one read, or to a link or no file at all.
// IsTheLog, IsALog: the door refused it as a log.
enum class RewriteOutcome { Written, Declined, Elsewhere, NotOpened, NotWritten, IsTheLog, IsALog };

// Rewrites `target.path` under the append lock, through the file door,
// when it is still the file `read` (when there was none, a regular file
// made since, or a new private one) and holds no more than `limit` bytes (else Declined). The file is
// written over in place, never replaced by another one: an appender
// waiting for the lock holds this file open. The space is taken before a
// byte changes, so that a full disk leaves the file whole.
RewriteOutcome rewriteAppendedFile(const AppendTarget& target,
                                   const std::optional<FileIdentity>& read, std::size_t limit,
                                   const Rewrite& rewrite);

}  // namespace zazir

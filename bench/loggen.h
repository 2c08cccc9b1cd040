// A synthetic communication log for the benchmark: a login banner, private
// mail, a board listing whose searched boards carry long runs of messages,
// one-line chat boards, the Notewall, file boards, and runs of ordinary
// host output. CP932 with CR LF line ends.
#pragma once

#include <cstdint>
#include <string>

namespace zazir::bench {

struct GeneratedLog {
  std::uint64_t bytes = 0;
  std::uint64_t lines = 0;
  int mails = 0;
  int messageBoards = 0;
  int fileBoards = 0;
  int chatBoards = 0;
};

// A board's line in the host's board listing, its status at byte 49.
std::string listingLine(int number, const std::string& name, const std::string& title,
                        const std::string& status);

// Writes about `targetBytes` bytes to `path`. Visit 0 is the benchmark's
// one log; other visits are later ones to the same host: their own mail,
// messages numbered on and chat lines, and a Notewall that shows 400 of
// the previous visit's 500 lines again. Returns false when the file
// cannot be written.
bool generateLog(const std::string& path, std::uint64_t targetBytes, GeneratedLog& made,
                 int visit = 0);

}  // namespace zazir::bench

// Every command ZAZIR writes to the upload file: the host's own keystrokes,
// for the terminal program to replay at the next visit. Lines end in "\n"
// (the upload file is written in text mode); the texts are CP932.
//
// Each command is built by buildCommand, and only there does a value meet
// the host: an answer or a text is made harmless (hostfields.h), and a
// value that cannot be (a blank answer, an ID or a number the host would
// read otherwise) refuses the whole command, which then carries no bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zazir {

// Why a command was refused, and the value that made it so.
enum class CommandFault : std::uint8_t {
  BlankAnswer,   // the host would take it for a cancel
  BadNumber,     // not a number the host knows (0 or less)
  BadId,         // a recipient the host would read as more than one ID
  NoRecipients,  // a mail to nobody
};
struct CommandRefusal {
  CommandFault fault;
  std::string value;
};

class HostCommand;

// The values that go into a command, by what the host makes of them.
namespace field {
struct Number {  // a board, message or file number
  std::int64_t value;
};
struct Answer {  // the answer to one prompt
  std::string_view text;
};
struct Ids {  // recipients, joined by ";"
  const std::vector<std::string>& ids;
};
struct Text {  // a composed text, line by line
  std::string_view text;
};
}  // namespace field
using CommandField = std::variant<field::Number, field::Answer, field::Ids, field::Text,
                                  std::reference_wrapper<const HostCommand>>;

// A command as built, or refused.
class HostCommand {
 public:
  explicit operator bool() const { return !refusal_; }
  const std::string& bytes() const { return bytes_; }
  const std::optional<CommandRefusal>& refusal() const { return refusal_; }

 private:
  friend HostCommand buildCommand(std::string_view shape, const std::vector<CommandField>& fields);
  std::string bytes_;
  std::optional<CommandRefusal> refusal_;
};

// `shape` (the program's own, never a value) with each "%i" or "%s" taking
// the next field; a command given as a field takes its refusal along.
HostCommand buildCommand(std::string_view shape, const std::vector<CommandField>& fields);

// A new post on a message board; its text follows (composedCommand). A
// reply that takes a new title is a new post on the same board.
HostCommand newPostCommand(std::int64_t boardNumber, std::string_view title);

// A reply that keeps the title of message `messageNumber`.
HostCommand replyCommand(std::int64_t boardNumber, std::int64_t messageNumber);

// A reply moved to another board: a new post on the target board.
HostCommand movedReplyCommand(std::int64_t targetBoardNumber, std::string_view title);

// A file upload to a file board; the file's description follows.
HostCommand uploadCommand(std::int64_t fileBoardNumber, std::string_view fileName,
                          std::string_view title);

// A mail to `recipients` (at least one).
HostCommand mailCommand(const std::vector<std::string>& recipients, std::string_view title);

// One line on a chat board, and one on the Notewall: whole commands.
HostCommand chatLineCommand(std::int64_t boardNumber, std::string_view line);
HostCommand notewallLineCommand(std::string_view line);

// A command that carries a composed text: its first lines, the text, and
// the end of the text ("//" on a line of its own, then "S" to send).
HostCommand composedCommand(const HostCommand& firstLines, std::string_view text);

// A file marked for download: its board's and its own number.
struct DownloadMark {
  std::int32_t boardNumber = 0;
  std::int32_t fileNumber = 0;
  bool operator==(const DownloadMark&) const = default;
};

// At most 49 files are marked for download at a time.
inline constexpr int kMaxDownloadMarks = 49;

// The download batch of the quit: marks sorted by board, groups of at most
// ten files per board.
HostCommand downloadBatch(std::vector<DownloadMark> marks);

}  // namespace zazir

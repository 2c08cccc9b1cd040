// The upload file read back as a host would read its replay, written from
// the commands' description alone: a line ends at CR LF, at a CR or an LF
// alone, and the replay at 0x1A; a lead byte takes any next byte along; a
// prompt splits its line at ";" into answers; a text ends at a line of
// "//" between blanks. A blank answer (a cancel), a "0" or a sign where a
// number is due, or a line out of its place is no command.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zazir::testing {

struct ParsedCommand {
  enum class Kind { Post, Reply, Mail, Upload, Download, Chat, Notewall };
  Kind kind = Kind::Post;
  // Post, chat: the board; reply: board, message; upload: the board;
  // download: the board, then its files.
  std::vector<std::int64_t> numbers;
  std::vector<std::string> ids;      // mail
  std::vector<std::string> answers;  // title; upload: file name, title; chat, Notewall: the line
  std::vector<std::string> text;     // the text's lines up to the "//"
  bool operator==(const ParsedCommand&) const = default;
};

// The commands of `bytes`; none, with `error` set, where the bytes stop
// reading as commands.
std::optional<std::vector<ParsedCommand>> parseUploadFile(std::string_view bytes,
                                                          std::string* error = nullptr);

}  // namespace zazir::testing

#include "support/command_roundtrip.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "formats/config.h"
#include "formats/hostcommands.h"
#include "formats/hostfields.h"
#include "formats/quote.h"
#include "platform/textfile.h"
#include "support/upload_parser.h"
#include "text/format.h"

namespace zazir::testing {

namespace {

using Kind = ParsedCommand::Kind;

// The lines the host reads between a command's first lines and its "//".
std::vector<std::string> textLines(std::string_view text) {
  std::vector<std::string> lines;
  const std::string ended = hostText(text) + "\n";
  for (std::size_t at = 0; at < ended.size();) {
    const std::size_t end = ended.find('\n', at);
    lines.push_back(ended.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

// A reply's text: the heading filled from the log and quoted lines, each
// behind the quotation prefix; or any text at all.
std::string composedText(const CommandDraws& draw, const Config& config) {
  if (draw.below(4) == 0) return draw.text();
  const std::string handle = draw.text();
  std::string text = formatConfigured(config.headReplyNews,
                                      {handle, formatText("%i", draw.number()), draw.text()});
  text += "\n\n";
  const std::string prefix = quotePrefix(config, handle);
  for (std::size_t n = draw.below(6); n > 0; --n) text += prefix + draw.text() + "\n";
  return text;
}

std::int64_t pair(std::int64_t board, std::int64_t file) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(board))
                                       << 32 |
                                   static_cast<std::uint32_t>(file));
}

// Consecutive downloads as one sorted list of board and file pairs.
std::vector<ParsedCommand> mergedDownloads(const std::vector<ParsedCommand>& in) {
  std::vector<ParsedCommand> out;
  for (const ParsedCommand& command : in) {
    if (command.kind != Kind::Download) {
      out.push_back(command);
      continue;
    }
    if (out.empty() || out.back().kind != Kind::Download)
      out.push_back({Kind::Download, {}, {}, {}, {}});
    std::vector<std::int64_t>& pairs = out.back().numbers;
    pairs.insert(pairs.end(), command.numbers.begin(), command.numbers.end());
    std::sort(pairs.begin(), pairs.end());
  }
  return out;
}

}  // namespace

std::string roundTripCommands(const CommandDraws& draw, int count, int* written) {
  Config config;
  config.quotation = draw.below(3) == 0 ? draw.text() : draw.below(2) ? "%s> " : "";
  config.headReplyNews = draw.below(3) == 0 ? draw.text() : "%s #%s %s";
  std::string bytes;
  std::vector<ParsedCommand> composed;
  for (int k = 0; k < count; ++k) {
    ParsedCommand expected;
    std::optional<HostCommand> head;
    const std::int64_t board = draw.number();
    const std::string answer = draw.text();
    switch (draw.below(7)) {
      case 0:
        expected = {Kind::Post, {board}, {}, {hostAnswer(answer)}, {}};
        head = newPostCommand(board, answer);
        break;
      case 1: {
        const std::int64_t message = draw.number();
        expected = {Kind::Reply, {board, message}, {}, {}, {}};
        head = replyCommand(board, message);
        break;
      }
      case 2: {
        std::vector<std::string> ids(1 + draw.below(4));
        for (std::string& id : ids) id = draw.text();
        expected = {Kind::Mail, {}, ids, {hostAnswer(answer)}, {}};
        head = mailCommand(ids, answer);
        break;
      }
      case 3: {
        const std::string name = draw.text();
        expected = {Kind::Upload, {board}, {}, {hostAnswer(name), hostAnswer(answer)}, {}};
        head = uploadCommand(board, name, answer);
        break;
      }
      case 4:
        expected = {Kind::Chat, {board}, {}, {hostAnswer(answer)}, {}};
        head = chatLineCommand(board, answer);
        break;
      case 5:
        expected = {Kind::Notewall, {}, {}, {hostAnswer(answer)}, {}};
        head = notewallLineCommand(answer);
        break;
      default: {
        std::vector<DownloadMark> marks(1 + draw.below(25));
        expected = {Kind::Download, {}, {}, {}, {}};
        for (DownloadMark& mark : marks) {
          mark = {static_cast<std::int32_t>(draw.number()),
                  static_cast<std::int32_t>(draw.number())};
          expected.numbers.push_back(pair(mark.boardNumber, mark.fileNumber));
        }
        head = downloadBatch(marks);
      }
    }
    if (!*head) continue;  // refused: nothing to write
    if (expected.kind == Kind::Chat || expected.kind == Kind::Notewall ||
        expected.kind == Kind::Download) {
      bytes += head->bytes();
    } else {
      const std::string text = composedText(draw, config);
      expected.text = textLines(text);
      const HostCommand whole = composedCommand(*head, text);
      if (!whole) return "a composed command refused for its text";
      bytes += whole.bytes();
    }
    composed.push_back(std::move(expected));
    if (written) ++*written;
  }

  std::string error;
  std::optional<std::vector<ParsedCommand>> parsed = parseUploadFile(toTextMode(bytes), &error);
  if (!parsed) return "unreadable: " + error;
  // A group is one board's files, at most ten.
  for (ParsedCommand& group : *parsed) {
    if (group.kind != Kind::Download) continue;
    if (group.numbers.size() > 11) return "a download group of more than ten files";
    const std::int64_t board = group.numbers[0];
    group.numbers.erase(group.numbers.begin());
    for (std::int64_t& file : group.numbers) file = pair(board, file);
  }
  const std::vector<ParsedCommand> read = mergedDownloads(*parsed);
  const std::vector<ParsedCommand> wanted = mergedDownloads(composed);
  if (read.size() != wanted.size()) {
    return formatText("%i commands read back, %i composed", read.size(), wanted.size());
  }
  for (std::size_t k = 0; k < read.size(); ++k) {
    if (read[k] != wanted[k]) return formatText("command %i differs", k);
  }
  return {};
}

}  // namespace zazir::testing

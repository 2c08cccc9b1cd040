#include "support/upload_parser.h"

#include <algorithm>

namespace zazir::testing {

namespace {

struct Unreadable {
  std::string why;
};

bool isLead(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) || byte >= 0xE0;
}

// Splits `text` where `at` says, a lead byte and the byte after it never
// split.
template <class At>
std::vector<std::string> split(std::string_view text, At at) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      pieces.back() += text.substr(i++, 2);
    } else if (const std::size_t skip = at(text, i)) {
      pieces.emplace_back();
      i += skip - 1;
    } else {
      pieces.back() += text[i];
    }
  }
  return pieces;
}

// `text` without its blanks at either end, a full-width blank
// ("\x81\x40") a whole character.
std::string trimmed(std::string_view text) {
  std::size_t first = text.size();
  std::size_t end = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t size =
        isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    const std::string_view character = text.substr(i, size);
    if (character != " " && character != "\x81\x40") {
      first = std::min(first, i);
      end = i + size;
    }
    i += size;
  }
  return first < end ? std::string(text.substr(first, end - first)) : std::string();
}

class Reader {
 public:
  explicit Reader(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  bool done() const { return next_ >= lines_.size(); }

  const std::string& line() {
    if (done()) throw Unreadable{"the file ends inside a command"};
    return lines_[next_++];
  }
  // The next line's answers, `count` of them (0: any number).
  std::vector<std::string> answers(std::size_t count) {
    std::vector<std::string> pieces =
        split(line(), [](std::string_view t, std::size_t i) -> std::size_t { return t[i] == ';'; });
    if (count && pieces.size() != count)
      throw Unreadable{"a line with other answers: " + lines_[next_ - 1]};
    for (const std::string& piece : pieces) {
      if (trimmed(piece).empty()) throw Unreadable{"a blank answer cancels: " + lines_[next_ - 1]};
    }
    return pieces;
  }
  void expect(const std::string& got, std::string_view wanted) {
    if (got != wanted)
      throw Unreadable{"\"" + got + "\" where \"" + std::string(wanted) + "\" is due"};
  }
  std::vector<std::string> text() {
    std::vector<std::string> lines;
    for (std::string next = line(); trimmed(next) != "//"; next = line()) lines.push_back(next);
    expect(answers(1)[0], "S");
    return lines;
  }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

std::int64_t number(std::string_view digits) {
  if (digits.empty() || digits.size() > 18 ||
      digits.find_first_not_of("0123456789") != std::string_view::npos) {
    throw Unreadable{"no number: " + std::string(digits)};
  }
  const std::int64_t value = std::stoll(std::string(digits));
  if (value <= 0) throw Unreadable{"0 ends the host's list"};
  return value;
}

ParsedCommand command(Reader& in) {
  using Kind = ParsedCommand::Kind;
  ParsedCommand parsed;
  const std::vector<std::string> first = in.answers(0);
  const std::string& head = first[0];
  if (head.starts_with("EW") && first.size() == 1) {
    parsed = {Kind::Chat, {number(head.substr(2))}, {}, {in.answers(1)[0]}, {}};
    in.expect(in.answers(1)[0], "Y");
  } else if (head.starts_with("EW") && first.size() == 3) {
    parsed = {Kind::Post, {number(head.substr(2))}, {}, {first[1]}, {}};
    in.expect(first[2], "Y");
    parsed.text = in.text();
  } else if (head.starts_with("ER") && first.size() == 3) {
    parsed = {Kind::Reply, {number(head.substr(2)), number(first[1])}, {}, {}, {}};
    in.expect(first[2], "Y");
    parsed.text = in.text();
  } else if (head.starts_with("EM")) {
    parsed.kind = Kind::Mail;
    std::vector<std::string> ids = first;
    ids[0] = ids[0].substr(2);
    // The list ends at the first "0"; nothing may follow it.
    const auto end = std::find(ids.begin(), ids.end(), "0");
    if (end == ids.begin() || end + 1 != ids.end()) throw Unreadable{"a recipient list: " + head};
    parsed.ids.assign(ids.begin(), end);
    const std::vector<std::string> title = in.answers(2);
    parsed.answers = {title[0]};
    in.expect(title[1], "Y");
    parsed.text = in.text();
  } else if (head.starts_with("F") && first.size() == 1) {
    parsed.numbers = {number(head.substr(1))};
    const std::vector<std::string> next = in.answers(0);
    if (next.size() == 1 && next[0] == "ZU") {
      parsed.kind = Kind::Upload;
      parsed.answers = {in.answers(1)[0], in.answers(1)[0]};
      in.expect(in.answers(1)[0], "Y");
      parsed.text = in.text();
    } else if (next[0].starts_with("ZD") && next.size() % 2 == 1) {
      parsed.kind = Kind::Download;
      for (std::size_t i = 0; i + 1 < next.size(); i += 2) {
        parsed.numbers.push_back(number(i == 0 ? next[0].substr(2) : next[i]));
        in.expect(next[i + 1], "Y");
      }
      in.expect(next.back(), "0");
      in.expect(in.answers(1)[0], "0");
      in.expect(in.answers(1)[0], "0");
    } else {
      throw Unreadable{"neither an upload nor a download: " + next[0]};
    }
  } else if (head == "P" && first.size() == 1) {
    parsed = {Kind::Notewall, {}, {}, {in.answers(1)[0]}, {}};
    in.expect(in.line(), "");
  } else {
    throw Unreadable{"no command: " + head};
  }
  return parsed;
}

}  // namespace

std::optional<std::vector<ParsedCommand>> parseUploadFile(std::string_view bytes,
                                                          std::string* error) {
  bytes = bytes.substr(0, bytes.find('\x1a'));
  std::vector<std::string> lines =
      split(bytes, [](std::string_view t, std::size_t i) -> std::size_t {
        if (t[i] == '\r') return t.substr(i, 2) == "\r\n" ? 2 : 1;
        return t[i] == '\n';
      });
  if (lines.back().empty()) lines.pop_back();  // after the last line end
  Reader in(std::move(lines));
  std::vector<ParsedCommand> commands;
  try {
    while (!in.done()) commands.push_back(command(in));
  } catch (const Unreadable& unreadable) {
    if (error) *error = unreadable.why;
    return std::nullopt;
  }
  return commands;
}

}  // namespace zazir::testing

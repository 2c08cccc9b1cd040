#include "formats/addressfiles.h"

#include "formats/hostfields.h"
#include "platform/linestream.h"
#include "text/cp932.h"

namespace zazir {
namespace {

// One line of an address book file, its line end removed.
struct FileLine {
  std::string_view text;
  bool ended = false;  // the line had a line feed
};

// Reads the lines one by one, each whole: the rest of a line longer than
// the line limit is never taken as a line of its own (it would make a bogus
// entry or shift the pairing of group lines).
class LineCursor {
 public:
  explicit LineCursor(std::string_view bytes) : bytes_(bytes) {}

  bool next(FileLine& line) {
    if (at_ >= bytes_.size()) return false;
    std::size_t end = bytes_.find('\n', at_);
    line.ended = end != std::string_view::npos;
    if (!line.ended) end = bytes_.size();
    std::string_view text = bytes_.substr(at_, end - at_);
    at_ = line.ended ? end + 1 : end;
    // A line ends at its first CR, not only at a CR right before the line
    // feed: a file whose line ends were converted twice (CR CR LF) or that
    // holds a stray CR would otherwise give IDs with a CR in them, which
    // would split the mail command in the upload file.
    if (const std::size_t cr = text.find('\r'); cr != std::string_view::npos) {
      text = text.substr(0, cr);
    }
    line.text = text;
    return true;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// The next ","-separated token from `at`; leading commas are skipped, so a
// run of commas separates like one. Empty when none is left.
std::string_view nextToken(std::string_view text, std::size_t& at) {
  while (at < text.size() && text[at] == ',') ++at;
  const std::size_t start = at;
  while (at < text.size() && text[at] != ',') ++at;
  return text.substr(start, at - start);
}

// A field as the ID file can hold it: see idFileLine.
std::string idFileField(std::string_view text) {
  std::string field;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (isLeadByte(byte) && at + 1 < text.size()) {
      field += text.substr(at++, 2);
    } else if (byte == ',') {
      field += "\x81\x43";
    } else if (byte == ';') {
      field += "\x81\x47";
    } else {
      field += byte < 0x20 || byte == 0x7F ? ' ' : static_cast<char>(byte);
    }
  }
  return field;
}

}  // namespace

std::optional<std::string> idFileLine(std::string_view id, std::string_view handle,
                                      std::string_view memo) {
  if (!isHostId(id) || id.find(',') != std::string_view::npos) return std::nullopt;
  return std::string(id) + ',' + idFileField(handle) + ',' + idFileField(memo) + '\n';
}

std::vector<IdEntry> parseIdFile(std::string_view bytes) {
  std::vector<IdEntry> entries;
  LineCursor lines(bytes);
  FileLine line;
  while (lines.next(line)) {
    if (!line.ended) break;  // a last line without a line end (a lone 0x1A among them)
    std::string_view text = cutToBytes(line.text, kLineLimit);
    if (!text.empty() && text.front() == ';') continue;
    text = text.substr(0, text.find(';'));
    std::size_t at = 0;
    IdEntry entry;
    entry.id = cutToBytes(nextToken(text, at), kIdWidth);
    entry.handle = cutToBytes(nextToken(text, at), kHandleWidth);
    entry.memo = cutToBytes(nextToken(text, at), kMemoWidth);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<GroupEntry> parseGroupFile(std::string_view bytes) {
  std::vector<GroupEntry> groups;
  LineCursor lines(bytes);
  FileLine line;
  while (groups.size() < kMaxGroups && lines.next(line)) {
    if (line.text.empty() || line.text.front() != '[') continue;
    if (!line.ended) break;
    GroupEntry group;
    // Whatever the last character is, it goes with the first.
    const std::string_view name = cutToBytes(line.text, kLineLimit).substr(1);
    group.name = cutToBytes(cutToBytes(name, name.empty() ? 0 : name.size() - 1), kGroupNameWidth);
    // A member line is kept whole: cutting it could split an ID.
    FileLine members;
    if (lines.next(members)) group.members = members.text;
    groups.push_back(std::move(group));
  }
  return groups;
}

}  // namespace zazir

// The address book's files: the ID file (one host ID per line, with a
// handle name and a memo) and the group file (named lists of IDs). The
// readers take the file's bytes and give records; nothing here draws.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

// Field widths of an ID file entry, in bytes; longer fields are cut on a
// character boundary.
inline constexpr std::size_t kIdWidth = 9;
inline constexpr std::size_t kHandleWidth = 29;
inline constexpr std::size_t kMemoWidth = 39;

struct IdEntry {
  std::string id;
  std::string handle;
  std::string memo;
  bool operator==(const IdEntry&) const = default;
};

// Entries in file order: ";" at the start makes a comment line, a later
// ";" drops the rest of the line, fields are taken as ","-separated tokens
// (a run of commas separates like one), and a last line without a line end
// is not used. The ID list pages, so there is no fixed capacity.
std::vector<IdEntry> parseIdFile(std::string_view bytes);

// The line that adds an entry to the ID file ("ID,handle,memo" and "\n"),
// or none when the ID would not read back as the one ID it is (a "," or
// ";" would split or end it, a blank or a control byte breaks it). In the
// handle and the memo, which come from the log and the keyboard, "," and
// ";" become the full-width "，" and "；" and a control byte a blank, so
// that each reads back as it was written.
std::optional<std::string> idFileLine(std::string_view id, std::string_view handle,
                                      std::string_view memo);

// The group name is cut to this; the member line is kept whole, since a
// group registered from the ID list may hold all 32 IDs.
inline constexpr std::size_t kGroupNameWidth = 79;
inline constexpr std::size_t kMaxGroups = 128;

struct GroupEntry {
  std::string name;
  std::string members;  // IDs joined by ";"
  bool operator==(const GroupEntry&) const = default;
};

// Groups in file order, at most kMaxGroups: a line beginning with "[" names
// a group (its first and last characters dropped) and the next line, ended
// or not, holds its members; other lines between groups are comments. A
// name line that ends the file without a line end is not used.
std::vector<GroupEntry> parseGroupFile(std::string_view bytes);

}  // namespace zazir

#include "marks/readmarks.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <ctime>
#include <map>

#include "platform/directory.h"
#include "platform/encoding.h"
#include "platform/privatefile.h"
#include "platform/textfile.h"

namespace zazir {

namespace {

// Another run holds the lock for the few milliseconds of a save; one
// stopped for good must not keep this one from ending. Start-up needs the
// lock only to clean up, which can wait for another run.
constexpr std::chrono::milliseconds kSaveLockWait{5000};
constexpr std::chrono::milliseconds kLoadLockWait{250};
// A file read but not written is marked used at most this often.
constexpr std::int64_t kUsedAgainSeconds = 24 * 60 * 60;
// What the name of the mail's series may take in a file.
constexpr std::uint64_t kMailNameBytes = 16;
constexpr std::string_view kExtension = ".marks";

std::string hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

bool isHex(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// A state file's name: 16 hexadecimal digits and ".marks".
bool isStateFileName(std::string_view name) {
  return name.size() == 16 + kExtension.size() && isHex(name.substr(0, 16)) &&
         name.substr(16) == kExtension;
}

// Also the name of a file a save was writing when its run was ended: the
// state file's with "-XXXXXX" before the extension.
bool isStateFileOrLeftover(std::string_view name) {
  return isStateFileName(name) ||
         (name.size() == 16 + 7 + kExtension.size() && isHex(name.substr(0, 16)) &&
          name[16] == '-' && name.substr(23) == kExtension);
}

// Whether two runs' marks of a series are marks of the same items.
bool sameItems(const SeriesMarks& a, const SeriesMarks& b) {
  return a.name == b.name && a.items == b.items &&
         (a.fingerprint == b.fingerprint || a.fingerprint == kUnknownFingerprint ||
          b.fingerprint == kUnknownFingerprint);
}

}  // namespace

std::optional<std::string> stateDirectory(const char* xdgStateHome, const char* home) {
  if (xdgStateHome != nullptr && xdgStateHome[0] == '/') {
    return std::string(xdgStateHome) + "/zazir/";
  }
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/zazir/";
  return std::nullopt;
}

ReadMarks ReadMarks::load(const std::string& directory, const LogIndex& index,
                          std::uint64_t logBytes, const std::string& logOsPath) {
  ReadMarks marks;
  marks.directory_ = directory;
  const LogIdentity identity = logIdentity(index);
  marks.marks_.identity = identity.value;
  marks.marks_.records = identity.records;
  std::uint64_t names = kMailNameBytes;
  for (const auto* boards : {&index.messageBoards, &index.fileBoards}) {
    for (const BoardEntry& board : *boards) names += board.name.size();
  }
  marks.bound_ =
      marksFileBound(logBytes, 1 + index.messageBoards.size() + index.fileBoards.size(), names);

  // Saves and clean-ups take turns; a load that cannot have the lock soon
  // still reads, as files are only ever replaced whole.
  const std::optional<DirectoryLock> lock = lockDirectory(directory, kLoadLockWait);
  std::vector<std::string> stateFiles;
  if (const auto entries = listDirectory(directory)) {
    for (const DirectoryEntry& entry : *entries) {
      if (isStateFileOrLeftover(entry.name)) stateFiles.push_back(entry.name);
    }
  }
  std::string inUse = marks.path();
  if (const std::optional<MarksFile> own = marks.readOwn()) {
    marks.marks_.series = std::move(own->series);
  } else {
    inUse = marks.takeOverEarlierSelf(index, stateFiles);
    if (inUse.empty()) inUse = marks.takeOverFormerFile(logOsPath);
  }
  if (lock) marks.removeUnused(stateFiles, inUse);
  return marks;
}

std::string ReadMarks::path() const {
  return directory_ + hex(marks_.identity) + std::string(kExtension);
}

std::optional<MarksFile> ReadMarks::readOwn() const {
  const std::optional<std::string> bytes = readPrivateFile(fromOsName(path()), bound_);
  if (!bytes) return std::nullopt;
  std::optional<MarksFile> file = decodeMarksFile(*bytes);
  if (!file || file->version != kMarksVersion || file->identity != marks_.identity ||
      file->records != marks_.records) {
    return std::nullopt;
  }
  return file;
}

std::string ReadMarks::takeOverEarlierSelf(const LogIndex& index,
                                           const std::vector<std::string>& stateFiles) {
  // Each file's header tells how many records its log had, and their
  // identity; one whose identity is that of this log's first records is of
  // an earlier self.
  std::multimap<std::uint64_t, std::uint64_t> candidates;  // records, identity
  for (const std::string& name : stateFiles) {
    if (!isStateFileName(name)) continue;
    const std::optional<std::string> start =
        readBinaryFile(fromOsName(directory_ + name), kMarksHeaderBytes);
    const std::optional<MarksFile> header = start ? decodeMarksHeader(*start) : std::nullopt;
    if (header && header->version == kMarksVersion && header->records > 0 &&
        header->records < marks_.records && name.substr(0, 16) == hex(header->identity)) {
      candidates.emplace(header->records, header->identity);
    }
  }
  if (candidates.empty()) return {};
  std::vector<std::uint64_t> matches;  // in the log's order: the longest last
  walkIdentity(index, [&](std::uint64_t count, std::uint64_t value) {
    const auto [from, to] = candidates.equal_range(count);
    for (auto it = from; it != to; ++it) {
      if (it->second == value) matches.push_back(value);
    }
  });
  for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
    const std::string earlier = directory_ + hex(*it) + std::string(kExtension);
    const std::optional<std::string> bytes = readPrivateFile(fromOsName(earlier), bound_);
    std::optional<MarksFile> file = bytes ? decodeMarksFile(*bytes) : std::nullopt;
    if (file && file->version == kMarksVersion && file->identity == *it) {
      // The series are checked again as they are tracked: a board that has
      // grown keeps its marks, one whose items moved loses them.
      marks_.series = std::move(file->series);
      changed_ = true;
      return earlier;
    }
  }
  return {};
}

std::string ReadMarks::takeOverFormerFile(const std::string& logOsPath) {
  const std::optional<std::uint64_t> key = formerLogKey(logOsPath);
  if (!key) return {};
  const std::string former = directory_ + hex(*key) + std::string(kExtension);
  const std::optional<std::string> bytes = readPrivateFile(fromOsName(former), bound_);
  std::optional<MarksFile> file = bytes ? decodeMarksFile(*bytes) : std::nullopt;
  if (!file || file->version != 1 || file->identity != *key) return {};
  marks_.series = std::move(file->series);
  former_ = former;
  changed_ = true;
  return former;
}

void ReadMarks::removeUnused(const std::vector<std::string>& stateFiles,
                             const std::string& inUse) const {
  const std::time_t now = std::time(nullptr);
  for (const std::string& name : stateFiles) {
    const std::string file = fromOsName(directory_ + name);
    const std::optional<std::time_t> modified = ownFileModified(file);
    if (!modified) continue;
    const std::int64_t age = static_cast<std::int64_t>(now) - *modified;
    if (directory_ + name == inUse) {
      if (age > kUsedAgainSeconds) touchOwnFile(file);
    } else if (age > kUnusedStateSeconds) {
      removeFile(file, FileGuard());
    }
  }
}

SeriesMarks* ReadMarks::find(MarkSection section, int board) {
  for (SeriesMarks& entry : marks_.series) {
    if (entry.section == section && entry.board == board) return &entry;
  }
  return nullptr;
}

const SeriesMarks* ReadMarks::find(MarkSection section, int board) const {
  return const_cast<ReadMarks*>(this)->find(section, board);
}

void ReadMarks::track(MarkSection section, int board, std::string_view name,
                      std::span<const LogOffset> starts) {
  starts = starts.first(std::min<std::size_t>(starts.size(), kMaxSeriesItems));
  const auto count = static_cast<std::uint32_t>(starts.size());
  const std::uint64_t fingerprint = seriesFingerprint(starts);
  SeriesMarks* known = find(section, board);
  if (known != nullptr && known->name == name) {
    if (known->items == count && known->fingerprint == fingerprint) return;
    // Marks taken over from a file of the former kind name their items by
    // count alone.
    const bool sameCount = known->items == count && known->fingerprint == kUnknownFingerprint;
    // A series that has grown since: its earlier items start where they
    // started.
    const bool grown = known->items < count && known->fingerprint != kUnknownFingerprint &&
                       seriesFingerprint(starts.first(known->items)) == known->fingerprint;
    if (sameCount || grown) {
      known->items = count;
      known->fingerprint = fingerprint;
      known->bits.resize(marksWordsFor(count), 0);
      changed_ = true;
      return;
    }
  }
  if (known != nullptr) {
    std::erase_if(marks_.series, [&](const SeriesMarks& entry) { return &entry == known; });
  }
  marks_.series.push_back({section, board, std::string(name), count, fingerprint,
                           std::vector<std::uint64_t>(marksWordsFor(count), 0)});
  changed_ = true;
}

bool ReadMarks::isRead(MarkSection section, int board, int item) const {
  const SeriesMarks* entry = find(section, board);
  if (entry == nullptr || item < 0 || static_cast<std::uint32_t>(item) >= entry->items)
    return false;
  return (entry->bits[static_cast<std::size_t>(item) / 64] >> (item % 64) & 1) != 0;
}

void ReadMarks::markRead(MarkSection section, int board, int item) {
  SeriesMarks* entry = find(section, board);
  if (entry == nullptr || item < 0 || static_cast<std::uint32_t>(item) >= entry->items) return;
  std::uint64_t& word = entry->bits[static_cast<std::size_t>(item) / 64];
  const std::uint64_t bit = std::uint64_t{1} << (item % 64);
  if ((word & bit) == 0) {
    changed_ = true;
    ++unkept_;
  }
  word |= bit;
}

bool ReadMarks::keep() {
  unkept_ = 0;
  if (!kept() || !changed() || save() || failureTold_) return true;
  failureTold_ = true;
  return false;
}

std::optional<int> ReadMarks::unreadCount(MarkSection section, int board) const {
  const SeriesMarks* entry = find(section, board);
  if (entry == nullptr) return std::nullopt;
  std::uint32_t read = 0;
  for (const std::uint64_t word : entry->bits)
    read += static_cast<std::uint32_t>(std::popcount(word));
  return static_cast<int>(entry->items - read);
}

std::optional<int> ReadMarks::itemCount(MarkSection section, int board) const {
  const SeriesMarks* entry = find(section, board);
  if (entry == nullptr) return std::nullopt;
  return static_cast<int>(entry->items);
}

void ReadMarks::merge(const MarksFile& disk) {
  for (const SeriesMarks& theirs : disk.series) {
    SeriesMarks* ours = find(theirs.section, theirs.board);
    if (ours == nullptr) {
      marks_.series.push_back(theirs);
    } else if (sameItems(*ours, theirs)) {
      if (ours->fingerprint == kUnknownFingerprint) ours->fingerprint = theirs.fingerprint;
      for (std::size_t k = 0; k < ours->bits.size(); ++k) ours->bits[k] |= theirs.bits[k];
    }
    // Else this run tracked the series anew against the log: its marks hold.
  }
}

bool ReadMarks::save() {
  if (directory_.empty() || !makePrivateDirectories(directory_)) return false;
  const std::optional<DirectoryLock> lock = lockDirectory(directory_, kSaveLockWait);
  if (!lock) return false;
  if (const std::optional<MarksFile> disk = readOwn()) merge(*disk);
  if (!replacePrivateFile(fromOsName(path()), encodeMarksFile(marks_))) return false;
  if (!former_.empty()) {
    removeFile(fromOsName(former_), FileGuard());
    former_.clear();
  }
  changed_ = false;
  return true;
}

}  // namespace zazir

#include "export/archive.h"

#include <algorithm>
#include <unordered_map>

#include "export/archivereader.h"
#include "export/seenset.h"

namespace zazir {

namespace {

// An index larger than this is no index of this program's.
constexpr std::uint64_t kIndexLimit = std::uint64_t{1} << 32;

// The files an export may have written, where it writes them.
std::vector<std::string> archiveNames(const FileSet& set) {
  std::vector<std::string> names;
  const std::vector<std::string> top = set.filesIn("");
  for (const char* name : {"mail.mbox", "notewall.txt"}) {
    if (std::ranges::binary_search(top, std::string(name))) names.emplace_back(name);
  }
  for (const auto& [folder, suffix] :
       {std::pair{"boards", ".mbox"}, {"files", ".txt"}, {"chat", ".txt"}}) {
    for (const std::string& name : set.filesIn(folder)) {
      if (name.ends_with(suffix)) names.push_back(std::string(folder) + "/" + name);
    }
  }
  return names;
}

// The file's facts and items as it stands; false when it is not a file an
// export wrote.
bool readFile(const FileSet& set, const std::string& name, ArchiveFile& file) {
  std::map<std::string, FileFacts> found;
  std::string problem;
  if (!set.survey({name}, found, problem) || found.count(name) == 0) return false;
  const int fd = set.openToRead(name);
  if (fd < 0) return false;
  const auto stream = FileLineStream::adopt(fd, 256 * 1024);
  std::optional<ArchiveContents> read = readArchiveItems(*stream, file.kind);
  if (!read) return false;
  file.facts = found[name];
  if (file.kind == ArchiveKind::Mailbox) {
    // What was written stays known, though a mail reader deleted it: the
    // index says it, else the file.
    if (file.numbered.empty()) {
      file.numbered = std::move(read->numbered);
    } else {
      for (const NumberedKey& message : read->numbered) read->items.push_back(message.key);
    }
    if (file.parents.empty()) file.parents = std::move(read->parents);
    std::vector<std::uint64_t> numberedKeys;
    for (const NumberedKey& message : file.numbered) numberedKeys.push_back(message.key);
    std::ranges::sort(numberedKeys);
    file.items.insert(file.items.end(), read->items.begin(), read->items.end());
    std::ranges::sort(file.items);
    file.items.erase(std::unique(file.items.begin(), file.items.end()), file.items.end());
    std::erase_if(file.items,
                  [&](std::uint64_t key) { return std::ranges::binary_search(numberedKeys, key); });
  } else {
    file.items = std::move(read->items);
  }
  return true;
}

}  // namespace

void Archive::load(const FileSet& set, std::FILE* err) {
  const std::optional<std::string> bytes = set.readSmall(kArchiveIndexName, kIndexLimit);
  std::optional<ArchiveIndex> read;
  if (bytes) read = decodeArchiveIndex(*bytes);
  if (read) {
    index_ = std::move(*read);
    for (auto at = index_.begin(); at != index_.end();) {
      std::map<std::string, FileFacts> found;
      std::string problem;
      const bool there = set.survey({at->first}, found, problem) && found.count(at->first);
      const bool same = there && found[at->first] == at->second.facts;
      at = same || (there && readFile(set, at->first, at->second)) ? std::next(at)
                                                                   : index_.erase(at);
    }
    return;
  }
  // Made again from the files that read as an export's; a text file's
  // items then stand for every run that brought them.
  int files = 0;
  for (const std::string& name : archiveNames(set)) {
    ArchiveFile file;
    file.kind = archiveKindOf(name);
    if (!readFile(set, name, file) || file.facts.length == 0) continue;
    if (file.kind != ArchiveKind::Mailbox) file.lastRun = file.items;
    index_.emplace(name, std::move(file));
    ++files;
  }
  if (bytes || files > 0) {
    const char* why = !bytes                          ? "missing"
                      : isEarlierArchiveIndex(*bytes) ? "of an earlier version"
                                                      : "damaged";
    std::fprintf(err, "zazir: %s: %s; made again from the %d files of the archive\n",
                 set.shown(kArchiveIndexName).c_str(), why, files);
  }
}

bool Archive::admit(const FileSet& set, const std::vector<std::string>& names,
                    std::string& problem) {
  std::map<std::string, FileFacts> found;
  if (!set.survey(names, found, problem)) return false;
  for (const auto& [name, facts] : found) {
    if (index_.count(name) == 0) {
      problem = set.shown(name) + ": exists and is not a file of this archive";
      return false;
    }
  }
  existing_ = std::move(found);
  return true;
}

const FileFacts* Archive::existing(const std::string& name) const {
  const auto found = existing_.find(name);
  return found == existing_.end() ? nullptr : &found->second;
}

ArchiveFile& Archive::record(const std::string& name) {
  const auto [at, made] = index_.try_emplace(name);
  if (made) at->second.kind = archiveKindOf(name);
  return at->second;
}

void Archive::seed(SeenSet& seen) const {
  std::size_t keys = 0;
  for (const auto& [name, file] : index_) {
    if (file.kind == ArchiveKind::Mailbox) keys += file.items.size() + file.numbered.size();
  }
  // With room for a visit or so more.
  seen.reserve(keys + keys / 8);
  for (const auto& [name, file] : index_) {
    if (file.kind != ArchiveKind::Mailbox) continue;
    for (const std::uint64_t key : file.items) seen.insert(key);
    for (const NumberedKey& message : file.numbered) seen.insert(message.key);
  }
}

std::uint64_t Archive::numbered(std::string_view board, int number) const {
  const auto file = index_.find(std::string(board));
  if (file == index_.end()) return 0;
  const std::vector<NumberedKey>& messages = file->second.numbered;
  const auto at = std::ranges::lower_bound(messages, number, {}, &NumberedKey::number);
  return at != messages.end() && at->number == number ? at->key : 0;
}

std::uint64_t Archive::parentOf(std::uint64_t key) const {
  // A parent may be another board's: a moved reply names its board.
  for (const auto& [name, file] : index_) {
    const auto at = std::ranges::lower_bound(file.parents, key, {}, &ParentLink::key);
    if (at != file.parents.end() && at->key == key) return at->parent;
  }
  return 0;
}

std::string Archive::encode(const std::map<std::string, FileFacts>& facts) {
  for (const auto& [name, fact] : facts) record(name).facts = fact;
  return encodeArchiveIndex(index_);
}

std::vector<bool> itemsToWrite(ArchiveFile& file, const std::vector<std::uint64_t>& run,
                               bool window) {
  std::vector<bool> write(run.size(), false);
  if (run.empty()) return write;
  const auto counts = [](const std::vector<std::uint64_t>& items) {
    std::unordered_map<std::uint64_t, int> count;
    for (const std::uint64_t item : items) ++count[item];
    return count;
  };
  const std::uint64_t hash = runHash(run);
  bool held = std::ranges::find(file.runs, hash) != file.runs.end();
  if (!held && !file.items.empty()) {
    auto read = counts(file.items);
    held = std::ranges::all_of(run, [&](std::uint64_t item) { return read[item]-- > 0; });
  }
  if (!held) {
    auto before = counts(window ? file.lastRun : std::vector<std::uint64_t>());
    for (std::size_t i = 0; i < run.size(); ++i) write[i] = before[run[i]]-- <= 0;
  }
  if (std::ranges::find(file.runs, hash) == file.runs.end()) file.runs.push_back(hash);
  file.lastRun = run;
  return write;
}

}  // namespace zazir

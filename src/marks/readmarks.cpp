#include "marks/readmarks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>

#include "platform/encoding.h"
#include "platform/privatefile.h"

namespace zazir {

namespace {

constexpr std::string_view kMagic = "ZAZIR read marks\n";
constexpr std::uint32_t kVersion = 1;
// More than any board holds: a count beyond it is damage, not a board.
constexpr std::uint32_t kMaxItems = 1u << 28;

std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes) {
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001B3ull;
  }
  return hash;
}
constexpr std::uint64_t kFnvBasis = 0xCBF29CE484222325ull;

void putNumber(std::string& out, std::uint64_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) out += static_cast<char>(value >> (8 * k) & 0xFF);
}

// Reads numbers and texts from a file's bytes; once past its end, every
// read fails.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool number(std::uint64_t& value, int bytes) {
    if (left() < static_cast<std::size_t>(bytes)) return false;
    value = 0;
    for (int k = 0; k < bytes; ++k) {
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_++])) << (8 * k);
    }
    return true;
  }
  std::size_t left() const { return bytes_.size() - at_; }
  bool text(std::size_t size, std::string_view& value) {
    if (left() < size) return false;
    value = bytes_.substr(at_, size);
    at_ += size;
    return true;
  }
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

std::string hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// Makes every missing directory of `path` (OS form), readable by the user
// alone as the state directory asks.
bool makeDirectories(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::size_t wordsFor(std::uint32_t items) {
  return (static_cast<std::size_t>(items) + 63) / 64;
}

}  // namespace

LogKey logKeyOf(std::uint64_t size, std::string_view head, std::string_view tail) {
  std::string sized;
  putNumber(sized, size, 8);
  return {fnv1a(fnv1a(fnv1a(kFnvBasis, sized), head), tail)};
}

std::optional<LogKey> logKeyOfFile(const std::string& osPath) {
  const int fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<LogKey> key;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const auto readAt = [&](std::uint64_t offset, std::string& into) {
      into.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kLogKeyBlock, size - offset)));
      std::size_t got = 0;
      while (got < into.size()) {
        const ssize_t step = ::pread(fd, into.data() + got, into.size() - got,
                                     static_cast<off_t>(offset + got));
        if (step < 0 && errno == EINTR) continue;
        if (step <= 0) return false;
        got += static_cast<std::size_t>(step);
      }
      return true;
    };
    std::string head;
    std::string tail;
    if (readAt(0, head) && readAt(size - std::min<std::uint64_t>(size, kLogKeyBlock), tail)) {
      key = logKeyOf(size, head, tail);
    }
  }
  ::close(fd);
  return key;
}

std::optional<std::string> stateDirectory(const char* xdgStateHome, const char* home) {
  if (xdgStateHome != nullptr && xdgStateHome[0] == '/') {
    return std::string(xdgStateHome) + "/zazir/";
  }
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/zazir/";
  return std::nullopt;
}

ReadMarks ReadMarks::load(const std::string& directory, LogKey key) {
  ReadMarks marks;
  marks.directory_ = directory;
  marks.key_ = key;
  if (const auto bytes = readPrivateFile(fromOsName(marks.path()))) {
    if (!decode(*bytes, key, marks.boards_)) marks.boards_.clear();
  }
  return marks;
}

std::string ReadMarks::path() const {
  return directory_ + hex(key_.value) + ".marks";
}

ReadMarks::Board* ReadMarks::find(MarkSection section, int board) {
  for (Board& entry : boards_) {
    if (entry.section == section && entry.board == board) return &entry;
  }
  return nullptr;
}

const ReadMarks::Board* ReadMarks::find(MarkSection section, int board) const {
  return const_cast<ReadMarks*>(this)->find(section, board);
}

void ReadMarks::track(MarkSection section, int board, std::string_view name, int items) {
  const auto count = static_cast<std::uint32_t>(std::clamp<int>(items, 0, kMaxItems));
  if (const Board* known = find(section, board)) {
    if (known->name == name && known->items == count) return;
    std::erase_if(boards_, [&](const Board& entry) { return &entry == known; });
  }
  boards_.push_back({section, board, std::string(name), count,
                     std::vector<std::uint64_t>(wordsFor(count), 0)});
  changed_ = true;
}

bool ReadMarks::isRead(MarkSection section, int board, int item) const {
  const Board* entry = find(section, board);
  if (entry == nullptr || item < 0 || static_cast<std::uint32_t>(item) >= entry->items) return false;
  return (entry->bits[static_cast<std::size_t>(item) / 64] >> (item % 64) & 1) != 0;
}

void ReadMarks::markRead(MarkSection section, int board, int item) {
  Board* entry = find(section, board);
  if (entry == nullptr || item < 0 || static_cast<std::uint32_t>(item) >= entry->items) return;
  std::uint64_t& word = entry->bits[static_cast<std::size_t>(item) / 64];
  const std::uint64_t bit = std::uint64_t{1} << (item % 64);
  if ((word & bit) == 0) changed_ = true;
  word |= bit;
}

std::optional<int> ReadMarks::unreadCount(MarkSection section, int board) const {
  const Board* entry = find(section, board);
  if (entry == nullptr) return std::nullopt;
  std::uint32_t read = 0;
  for (const std::uint64_t word : entry->bits) read += static_cast<std::uint32_t>(std::popcount(word));
  return static_cast<int>(entry->items - read);
}

std::optional<int> ReadMarks::itemCount(MarkSection section, int board) const {
  const Board* entry = find(section, board);
  if (entry == nullptr) return std::nullopt;
  return static_cast<int>(entry->items);
}

std::string ReadMarks::encode() const {
  std::string out(kMagic);
  putNumber(out, kVersion, 4);
  putNumber(out, key_.value, 8);
  putNumber(out, boards_.size(), 4);
  for (const Board& entry : boards_) {
    putNumber(out, static_cast<std::uint8_t>(entry.section), 1);
    putNumber(out, static_cast<std::uint32_t>(entry.board), 4);
    putNumber(out, entry.name.size(), 4);
    out += entry.name;
    putNumber(out, entry.items, 4);
    for (const std::uint64_t word : entry.bits) putNumber(out, word, 8);
  }
  putNumber(out, fnv1a(kFnvBasis, out), 8);
  return out;
}

bool ReadMarks::decode(std::string_view bytes, LogKey key, std::vector<Board>& boards) {
  if (bytes.size() < kMagic.size() + 8 || bytes.substr(0, kMagic.size()) != kMagic) return false;
  // The checksum covers everything before it: a file cut short or changed
  // is damaged as a whole.
  const std::string_view body = bytes.substr(0, bytes.size() - 8);
  std::uint64_t sum = 0;
  if (!Reader(bytes.substr(body.size())).number(sum, 8) || sum != fnv1a(kFnvBasis, body)) {
    return false;
  }
  Reader in(body.substr(kMagic.size()));
  std::uint64_t version = 0;
  std::uint64_t fileKey = 0;
  std::uint64_t count = 0;
  if (!in.number(version, 4) || version != kVersion || !in.number(fileKey, 8) ||
      fileKey != key.value || !in.number(count, 4)) {
    return false;
  }
  for (std::uint64_t k = 0; k < count; ++k) {
    std::uint64_t section = 0;
    std::uint64_t board = 0;
    std::uint64_t nameSize = 0;
    std::uint64_t items = 0;
    std::string_view name;
    if (!in.number(section, 1) || section > 2 || !in.number(board, 4) || board > INT32_MAX ||
        !in.number(nameSize, 4) || !in.text(nameSize, name) || !in.number(items, 4) ||
        items > kMaxItems) {
      return false;
    }
    Board entry{static_cast<MarkSection>(section), static_cast<int>(board), std::string(name),
                static_cast<std::uint32_t>(items), {}};
    if (in.left() / 8 < wordsFor(entry.items)) return false;
    entry.bits.resize(wordsFor(entry.items));
    for (std::uint64_t& word : entry.bits) {
      if (!in.number(word, 8)) return false;
    }
    // A mark past the last item would count an item that is not there.
    if (entry.items % 64 != 0 && entry.bits.back() >> (entry.items % 64) != 0) return false;
    boards.push_back(std::move(entry));
  }
  return in.atEnd();
}

bool ReadMarks::save() {
  if (directory_.empty() || !makeDirectories(directory_)) return false;
  if (!replacePrivateFile(fromOsName(path()), encode())) return false;
  changed_ = false;
  return true;
}

}  // namespace zazir

#include "export/archiveindex.h"

#include <algorithm>
#include <cstring>

namespace zazir {

namespace {

constexpr std::string_view kMagic = "ZAZIR-INDEX 2\n";
constexpr std::string_view kEarlierMagic = "ZAZIR-INDEX 1\n";
constexpr std::uint64_t kPrime = 0x100000001b3ull;

// Whole words at a time: the index of a large archive is checked quickly.
std::uint64_t checksum(std::string_view bytes) {
  std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ bytes.size();
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    hash = (hash ^ word) * kPrime;
    hash ^= hash >> 29;
  }
  for (; at < bytes.size(); ++at) hash = (hash ^ static_cast<unsigned char>(bytes[at])) * kPrime;
  return hash ^ (hash >> 32);
}

void put(std::string& out, std::uint64_t value) {
  char bytes[8];
  for (char& byte : bytes) {
    byte = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
  out.append(bytes, sizeof bytes);
}

void putAll(std::string& out, const std::vector<std::uint64_t>& values) {
  put(out, values.size());
  for (const std::uint64_t value : values) put(out, value);
}

// Numbers go as their distance from the one before, 7 bits a byte: a
// board's numbers rise, so most take one byte.
void putVarint(std::string& out, std::uint64_t value) {
  for (; value >= 0x80; value >>= 7) out += static_cast<char>((value & 0x7F) | 0x80);
  out += static_cast<char>(value);
}

void putNumbered(std::string& out, const std::vector<NumberedKey>& numbered) {
  put(out, numbered.size());
  int before = 0;
  for (const NumberedKey& message : numbered) {
    putVarint(out, static_cast<std::uint64_t>(message.number - before));
    put(out, message.key);
    before = message.number;
  }
}

void putParents(std::string& out, const std::vector<ParentLink>& parents) {
  put(out, parents.size());
  for (const ParentLink& link : parents) {
    put(out, link.key);
    put(out, link.parent);
  }
}

class Reader {
 public:
  static constexpr std::uint64_t kMaxNumber = 0x7FFFFFFF;

  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool get(std::uint64_t& value) {
    if (bytes_.size() < 8) return false;
    value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes_[i]);
    bytes_.remove_prefix(8);
    return true;
  }
  bool getAll(std::vector<std::uint64_t>& values) {
    std::uint64_t count = 0;
    if (!get(count) || count > bytes_.size() / 8) return false;
    values.resize(count);
    for (std::uint64_t& value : values) get(value);
    return true;
  }
  bool getText(std::string& text) {
    std::uint64_t size = 0;
    if (!get(size) || size > bytes_.size()) return false;
    text.assign(bytes_.substr(0, size));
    bytes_.remove_prefix(size);
    return true;
  }
  bool getVarint(std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64 && !bytes_.empty(); shift += 7) {
      const auto byte = static_cast<unsigned char>(bytes_.front());
      bytes_.remove_prefix(1);
      value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if (byte < 0x80) return true;
    }
    return false;
  }
  // Rising numbers, each with its key.
  bool getNumbered(std::vector<NumberedKey>& numbered) {
    std::uint64_t count = 0;
    if (!get(count) || count > bytes_.size() / 9) return false;
    numbered.resize(count);
    std::uint64_t number = 0;
    for (NumberedKey& message : numbered) {
      std::uint64_t step = 0;
      if (!getVarint(step) || step == 0 || step > kMaxNumber - number) return false;
      number += step;
      message.number = static_cast<int>(number);
      if (!get(message.key)) return false;
    }
    return true;
  }
  // Keys rising, each with its parent.
  bool getParents(std::vector<ParentLink>& parents) {
    std::uint64_t count = 0;
    if (!get(count) || count > bytes_.size() / 16) return false;
    parents.resize(count);
    for (std::size_t i = 0; i < parents.size(); ++i) {
      get(parents[i].key);
      get(parents[i].parent);
      if (i > 0 && parents[i].key <= parents[i - 1].key) return false;
    }
    return true;
  }
  bool done() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

}  // namespace

ArchiveKind archiveKindOf(std::string_view name) {
  if (name.ends_with(".mbox")) return ArchiveKind::Mailbox;
  if (name.starts_with("files/")) return ArchiveKind::Entries;
  return ArchiveKind::Lines;
}

std::string encodeArchiveIndex(const ArchiveIndex& index) {
  // Made in one piece: the index of a large archive is megabytes.
  std::size_t size = kMagic.size() + 16;
  for (const auto& [name, file] : index) {
    size += name.size() + 8 * (10 + file.items.size() + file.runs.size() + file.lastRun.size()) +
            10 * file.numbered.size() + 16 * file.parents.size();
  }
  std::string out;
  out.reserve(size);
  out += kMagic;
  put(out, index.size());
  for (const auto& [name, file] : index) {
    put(out, name.size());
    out += name;
    put(out, static_cast<std::uint64_t>(file.kind));
    put(out, file.facts.identity.device);
    put(out, file.facts.identity.inode);
    put(out, file.facts.length);
    putAll(out, file.items);
    putAll(out, file.runs);
    putAll(out, file.lastRun);
    putNumbered(out, file.numbered);
    putParents(out, file.parents);
  }
  put(out, checksum(out));
  return out;
}

std::optional<ArchiveIndex> decodeArchiveIndex(std::string_view bytes) {
  if (bytes.size() < kMagic.size() + 16 || !bytes.starts_with(kMagic)) return std::nullopt;
  const std::string_view body = bytes.substr(0, bytes.size() - 8);
  std::uint64_t sum = 0;
  if (!Reader(bytes.substr(body.size())).get(sum) || sum != checksum(body)) return std::nullopt;
  Reader in(body.substr(kMagic.size()));
  std::uint64_t count = 0;
  if (!in.get(count)) return std::nullopt;
  ArchiveIndex index;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::string name;
    ArchiveFile file;
    std::uint64_t kind = 0;
    if (!in.getText(name) || !in.get(kind) || kind > 2 || !in.get(file.facts.identity.device) ||
        !in.get(file.facts.identity.inode) || !in.get(file.facts.length) ||
        !in.getAll(file.items) || !in.getAll(file.runs) || !in.getAll(file.lastRun) ||
        !in.getNumbered(file.numbered) || !in.getParents(file.parents) ||
        archiveKindOf(name) != static_cast<ArchiveKind>(kind)) {
      return std::nullopt;
    }
    file.kind = static_cast<ArchiveKind>(kind);
    index.emplace(std::move(name), std::move(file));
  }
  if (!in.done()) return std::nullopt;
  return index;
}

bool isEarlierArchiveIndex(std::string_view bytes) {
  return bytes.starts_with(kEarlierMagic);
}

void addNumbered(std::vector<NumberedKey>& numbered, std::vector<NumberedKey> written,
                 std::vector<std::uint64_t>& rest) {
  std::erase_if(written, [&](const NumberedKey& message) {
    if (message.number <= 0) rest.push_back(message.key);
    return message.number <= 0;
  });
  if (written.empty()) return;
  // Of a number written twice the later stands.
  std::ranges::stable_sort(written, {}, &NumberedKey::number);
  std::vector<NumberedKey> latest;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (i + 1 == written.size() || written[i + 1].number != written[i].number) {
      latest.push_back(written[i]);
    } else {
      rest.push_back(written[i].key);
    }
  }
  std::vector<NumberedKey> merged;
  merged.reserve(numbered.size() + latest.size());
  auto old = numbered.begin();
  for (const NumberedKey& message : latest) {
    for (; old != numbered.end() && old->number < message.number; ++old) merged.push_back(*old);
    if (old != numbered.end() && old->number == message.number) rest.push_back((old++)->key);
    merged.push_back(message);
  }
  merged.insert(merged.end(), old, numbered.end());
  numbered = std::move(merged);
}

void addParents(std::vector<ParentLink>& parents, std::vector<ParentLink> written) {
  std::erase_if(written, [](const ParentLink& link) { return link.parent == 0; });
  if (written.empty()) return;
  std::ranges::sort(written, {}, &ParentLink::key);
  std::vector<ParentLink> merged;
  merged.reserve(parents.size() + written.size());
  auto old = parents.begin();
  for (const ParentLink& link : written) {
    for (; old != parents.end() && old->key < link.key; ++old) merged.push_back(*old);
    // A message is written once: one known already keeps its parent.
    if (old != parents.end() && old->key == link.key) continue;
    if (!merged.empty() && merged.back().key == link.key) continue;
    merged.push_back(link);
  }
  merged.insert(merged.end(), old, parents.end());
  parents = std::move(merged);
}

void ItemHash::add(std::string_view bytes) {
  for (const char byte : bytes) hash_ = (hash_ ^ static_cast<unsigned char>(byte)) * kPrime;
}

std::uint64_t ItemHash::value() const {
  std::uint64_t hash = hash_;
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdull;
  hash ^= hash >> 33;
  return hash;
}

std::uint64_t runHash(const std::vector<std::uint64_t>& items) {
  ItemHash hash;
  std::string word;
  for (const std::uint64_t item : items) {
    word.clear();
    put(word, item);
    hash.add(word);
  }
  return hash.value();
}

}  // namespace zazir

#include "export/seenset.h"

#include <new>
#include <utility>

namespace zazir {

namespace {

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ull;

void mix(std::uint64_t& hash, std::string_view bytes) {
  // The length first, so that fields cannot run into each other.
  for (std::uint64_t size = bytes.size(), i = 0; i < 8; ++i, size >>= 8) {
    hash = (hash ^ (size & 0xFF)) * kFnvPrime;
  }
  for (const char byte : bytes) hash = (hash ^ static_cast<unsigned char>(byte)) * kFnvPrime;
}

// Spreads every input bit over the whole word, so that the low bits index
// the table well.
std::uint64_t finish(std::uint64_t hash) {
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdull;
  hash ^= hash >> 33;
  hash *= 0xc4ceb9fe1a85ec53ull;
  hash ^= hash >> 33;
  return hash;
}

}  // namespace

std::uint64_t messageKey(std::string_view board, int number,
                         const std::vector<std::string>& header) {
  std::uint64_t hash = kFnvOffset;
  mix(hash, board);
  mix(hash, std::to_string(number));
  for (const std::string& line : header) mix(hash, line);
  return finish(hash);
}

bool SeenSet::insert(std::uint64_t key) {
  if (key == 0) key = 1;  // 0 marks a free slot
  if ((count_ + 1) * 4 > size_ * 3) grow();
  const std::size_t mask = size_ - 1;
  for (std::size_t at = key & mask;; at = (at + 1) & mask) {
    if (slots_[at] == key) return false;
    if (slots_[at] == 0) {
      slots_[at] = key;
      ++count_;
      return true;
    }
  }
}

void SeenSet::grow() {
  rehash(size_ == 0 ? 1024 : size_ * 2);
}

void SeenSet::reserve(std::size_t keys) {
  std::size_t slots = size_ == 0 ? 1024 : size_;
  while (keys * 4 > slots * 3) slots *= 2;
  if (slots > size_) rehash(slots);
}

void SeenSet::rehash(std::size_t slots) {
  auto* fresh = static_cast<std::uint64_t*>(std::calloc(slots, sizeof(std::uint64_t)));
  if (fresh == nullptr) throw std::bad_alloc();
  std::unique_ptr<std::uint64_t[], Free> old(fresh);
  old.swap(slots_);
  const std::size_t oldSize = std::exchange(size_, slots);
  const std::size_t mask = slots - 1;
  for (std::size_t k = 0; k < oldSize; ++k) {
    const std::uint64_t key = old[k];
    if (key == 0) continue;
    std::size_t at = key & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = key;
  }
}

}  // namespace zazir

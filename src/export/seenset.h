// What an export has already written, to write a message found in several
// logs once: 64-bit hashes in one open-addressing table, 8 bytes a slot,
// filled to at most three quarters before it doubles (11 to 21 bytes a
// message).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

// A message's identity: its board (empty for mail), its number and its
// header lines as the log has them. Also the ground of its Message-ID.
std::uint64_t messageKey(std::string_view board, int number,
                         const std::vector<std::string>& header);

class SeenSet {
 public:
  // True when `key` was not there before.
  bool insert(std::uint64_t key);
  // Makes room for `keys` in all at once: an archive's hundreds of
  // thousands of keys grew the table ten times, clearing each.
  void reserve(std::size_t keys);
  std::size_t size() const { return count_; }
  std::size_t bytes() const { return size_ * sizeof(std::uint64_t); }

 private:
  void grow();
  void rehash(std::size_t slots);

  struct Free {
    void operator()(std::uint64_t* slots) const { std::free(slots); }
  };
  // Taken zeroed from calloc, which gets a large table as pages the
  // system has cleared, instead of clearing it once more.
  std::unique_ptr<std::uint64_t[], Free> slots_;  // 0: free
  std::size_t size_ = 0;
  std::size_t count_ = 0;
};

}  // namespace zazir

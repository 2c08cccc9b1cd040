// What an export has already written, to write a message found in several
// logs once: 64-bit hashes in one open-addressing table, 8 bytes a slot,
// filled to at most three quarters before it doubles (11 to 21 bytes a
// message).
#pragma once

#include <cstdint>
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
  std::size_t size() const { return count_; }
  std::size_t bytes() const { return slots_.size() * sizeof(std::uint64_t); }

 private:
  void grow();

  std::vector<std::uint64_t> slots_;  // 0: free
  std::size_t count_ = 0;
};

}  // namespace zazir

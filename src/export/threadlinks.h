// Which message each reply of an export answers, by Message-ID, so that
// mail readers thread a board. A Message-ID is made from the message's
// header lines (messageKey): a reply is linked only to a message whose
// header lines were read, in this export or remembered from an earlier one
// into the same archive. A parent that no log read holds cannot be named,
// and its reply gets no link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/logindex.h"
#include "platform/linestream.h"

namespace zazir {

// Ancestors named in References, the nearest kept.
inline constexpr std::size_t kMaxReferences = 20;

class ThreadLinks {
 public:
  // Reads the message boards of a log, before the export writes them: each
  // message's identity and what it answers (formats/answered.h). A reply
  // is linked to the latest message known of the number it names: this
  // log's own, else an earlier log's; one named from a later log waits for
  // finish().
  void collect(LineStream& log, const LogIndex& index);
  // Links what still waits, once every log is collected.
  void finish();

  // A message known from before (an earlier export), with its parent's key
  // (0: none).
  void remember(std::string_view board, int number, std::uint64_t key, std::uint64_t parent = 0);

  // The keys of the messages `key` refers to, the farthest first and its
  // parent last; empty when its parent is not known.
  std::vector<std::uint64_t> references(std::uint64_t key) const;

 private:
  // A reply still to be linked: its key, the board and numbers it names.
  struct Reply {
    std::uint64_t key;
    int board;
    std::vector<int> numbers;
  };
  int boardId(std::string_view board);
  bool link(const Reply& reply);
  // Links `key` to `parent` unless that closes a cycle.
  bool join(std::uint64_t key, std::uint64_t parent);
  // The message that stands for the whole thread of `key`.
  std::uint64_t thread(std::uint64_t key);

  std::unordered_map<std::string, int> boards_;
  std::unordered_map<std::uint64_t, std::uint64_t> byNumber_;  // board and number: the key
  std::unordered_map<std::uint64_t, std::uint64_t> parents_;   // key: its parent's key
  // Who stands for a thread (a key absent stands for itself), so that a
  // cycle is told without walking a long thread up for every reply.
  std::unordered_map<std::uint64_t, std::uint64_t> threads_;
  std::vector<Reply> waiting_;
};

}  // namespace zazir

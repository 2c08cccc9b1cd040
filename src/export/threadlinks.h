// Which message each reply of an export answers, by Message-ID, so that
// mail readers thread a board. A Message-ID is made from the message's
// header lines (messageKey): a reply is linked only to a message whose
// header lines were read, in this export or written by an earlier one
// into the same archive. A parent that no log read holds cannot be named,
// and its reply gets no link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/logindex.h"
#include "platform/linestream.h"

namespace zazir {

// Ancestors named in References, the nearest kept.
inline constexpr std::size_t kMaxReferences = 20;

// What earlier exports into the same archive wrote, asked only for what
// this export's logs hold and name, so that linking costs as the new logs
// do, not as the archive.
class EarlierMessages {
 public:
  // The message of that number written last to the board's mailbox; 0:
  // none.
  virtual std::uint64_t numbered(std::string_view board, int number) const = 0;
  // The parent a message was written with; 0: none.
  virtual std::uint64_t parentOf(std::uint64_t key) const = 0;

 protected:
  ~EarlierMessages() = default;
};

class ThreadLinks {
 public:
  // The name a board goes by, as the log names it; the archive knows a
  // board by its mailbox. None: the log's name.
  using BoardName = std::function<std::string(std::string_view)>;
  explicit ThreadLinks(BoardName boardName = {}) : boardName_(std::move(boardName)) {}

  // Reads the message boards of a log, before the export writes them: each
  // message's identity and what it answers (formats/answered.h).
  void collect(LineStream& log, const LogIndex& index);
  // Links the replies of the logs collected, in their order. A reply is
  // linked to the latest message known of the number it names: its own
  // log's, else an earlier log's, else one `earlier` wrote (as though it
  // came from a log before the first), else a later log's. A message that
  // `earlier` wrote with a parent keeps it.
  void finish(const EarlierMessages* earlier = nullptr);

  // The keys of the messages `key` refers to, the farthest first and its
  // parent last; empty when its parent is not known.
  std::vector<std::uint64_t> references(std::uint64_t key) const;

 private:
  struct Message {
    std::uint64_t key;
    int board;
    int number;
  };
  // A reply to be linked: its key, the board and numbers it names, and the
  // log it comes in (one past the last message of its log).
  struct Reply {
    std::uint64_t key;
    int board;
    std::vector<int> numbers;
    std::size_t logEnd;
  };
  int boardId(std::string_view board);
  bool link(const Reply& reply);
  // Takes in what `earlier_` knows of `key`'s ancestors.
  void adopt(std::uint64_t key);
  // Links `key` to `parent` unless that closes a cycle.
  bool join(std::uint64_t key, std::uint64_t parent);
  // The message that stands for the whole thread of `key`.
  std::uint64_t thread(std::uint64_t key);

  BoardName boardName_;
  std::unordered_map<std::string, int> boards_;
  std::vector<std::string> boardNames_;
  std::vector<Message> messages_;  // every log's, in order
  std::vector<Reply> replies_;
  const EarlierMessages* earlier_ = nullptr;
  std::unordered_map<std::uint64_t, std::uint64_t> byNumber_;  // board and number: the key
  std::unordered_map<std::uint64_t, std::uint64_t> parents_;   // key: its parent's key
  // Who stands for a thread (a key absent stands for itself), so that a
  // cycle is told without walking a long thread up for every reply.
  std::unordered_map<std::uint64_t, std::uint64_t> threads_;
};

}  // namespace zazir

#include "export/threadlinks.h"

#include <algorithm>

#include "export/logparts.h"
#include "export/seenset.h"
#include "formats/answered.h"
#include "formats/boardlog.h"

namespace zazir {

namespace {

// Body lines kept of a message at most, blank ones included.
constexpr std::size_t kKeptLines = 64;

std::uint64_t slot(int board, int number) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(board)) << 32 |
         static_cast<std::uint32_t>(number);
}

struct Collected {
  std::uint64_t key;
  int number;
  Answered answered;
};

// A board's messages: identity, title and the start of the first lines.
class HeadSink : public ItemSink {
 public:
  HeadSink(std::string_view board, std::vector<Collected>& out) : board_(board), out_(out) {}

  Take begin(const std::vector<std::string>& header) override {
    number_ = header.empty() ? 0 : messageNumber(header.front());
    key_ = messageKey(board_, number_, header);
    title_ = header.size() > 2 ? messageTitle(header[2]) : std::string();
    lines_.clear();
    line_.clear();
    read_ = 0;
    return Take::Body;
  }
  void text(std::string_view piece) override {
    // One byte more than is read, so that the cut falls on a character.
    if (!done()) line_.append(piece.substr(0, kAnsweredLineBytes + 1 - line_.size()));
  }
  void lineEnd() override {
    if (done()) return;
    read_ += !isBlankLine(line_);
    lines_.push_back(std::move(line_));
    line_.clear();
  }
  void end() override { out_.push_back({key_, number_, answeredBy(title_, lines_)}); }

 private:
  bool done() const { return read_ >= kAnsweredLines || lines_.size() >= kKeptLines; }

  std::string_view board_;
  std::vector<Collected>& out_;
  int number_ = 0;
  std::uint64_t key_ = 0;
  std::string title_;
  std::vector<std::string> lines_;
  std::string line_;
  int read_ = 0;
};

}  // namespace

int ThreadLinks::boardId(std::string_view board) {
  const std::string name = boardName_ ? boardName_(board) : std::string(board);
  const auto [at, made] = boards_.try_emplace(name, static_cast<int>(boards_.size()));
  if (made) boardNames_.push_back(name);
  return at->second;
}

std::uint64_t ThreadLinks::thread(std::uint64_t key) {
  for (auto up = threads_.find(key); up != threads_.end(); up = threads_.find(key)) {
    const auto next = threads_.find(up->second);
    if (next != threads_.end()) up->second = next->second;  // halves the way for the next time
    key = up->second;
  }
  return key;
}

bool ThreadLinks::join(std::uint64_t key, std::uint64_t parent) {
  // `key` has no parent yet: the link closes a cycle when `parent` is in
  // its thread already.
  const std::uint64_t top = thread(parent);
  const std::uint64_t own = thread(key);
  if (top == own) return false;
  threads_[own] = top;
  parents_.emplace(key, parent);
  return true;
}

void ThreadLinks::collect(LineStream& log, const LogIndex& index) {
  std::vector<Collected> messages;
  for (int b = 0; b < index.messageBoardCount(); ++b) {
    const std::string& board = index.messageBoards[static_cast<std::size_t>(b)].name;
    const int id = boardId(board);
    messages.clear();
    HeadSink sink(board, messages);
    walkMessages(log, index, b, sink);
    for (Collected& message : messages) {
      messages_.push_back({message.key, id, message.number});
      if (message.answered.numbers.empty()) continue;
      const std::string& named = message.answered.board;
      replies_.push_back({message.key, named.empty() ? id : boardId(named),
                          std::move(message.answered.numbers), 0});
    }
  }
  for (std::size_t r = replies_.size(); r-- > 0 && replies_[r].logEnd == 0;) {
    replies_[r].logEnd = messages_.size();
  }
}

void ThreadLinks::finish(const EarlierMessages* earlier) {
  earlier_ = earlier;
  std::vector<const Reply*> waiting;
  std::size_t known = 0;
  for (auto reply = replies_.begin(); reply != replies_.end();) {
    // Every message of the reply's log is known first: a reply may name
    // one after it.
    for (; known < reply->logEnd; ++known) {
      const Message& message = messages_[known];
      if (message.number > 0) byNumber_[slot(message.board, message.number)] = message.key;
      adopt(message.key);
    }
    for (const std::size_t end = reply->logEnd; reply != replies_.end() && reply->logEnd == end;
         ++reply) {
      if (!link(*reply)) waiting.push_back(&*reply);
    }
  }
  for (; known < messages_.size(); ++known) {
    const Message& message = messages_[known];
    if (message.number > 0) byNumber_[slot(message.board, message.number)] = message.key;
    adopt(message.key);
  }
  for (const Reply* reply : waiting) link(*reply);
  messages_.clear();
  replies_.clear();
  earlier_ = nullptr;
}

void ThreadLinks::adopt(std::uint64_t key) {
  // A chain longer than this is no archive's own: it is taken in so far.
  constexpr std::size_t kMaxAdopted = 4096;
  if (!earlier_ || parents_.contains(key)) return;
  const std::uint64_t first = earlier_->parentOf(key);
  if (first == 0) return;
  std::vector<std::uint64_t> chain{key, first};
  while (chain.size() < kMaxAdopted && !parents_.contains(chain.back())) {
    const std::uint64_t parent = earlier_->parentOf(chain.back());
    if (parent == 0) break;
    chain.push_back(parent);
  }
  for (std::size_t i = chain.size() - 1; i-- > 0;) {
    if (!parents_.contains(chain[i])) join(chain[i], chain[i + 1]);
  }
}

bool ThreadLinks::link(const Reply& reply) {
  if (parents_.contains(reply.key)) return true;  // the same message, in an earlier log
  for (const int number : reply.numbers) {
    const auto found = byNumber_.find(slot(reply.board, number));
    std::uint64_t parent = found == byNumber_.end() ? 0 : found->second;
    if (parent == 0 && earlier_) {
      parent = earlier_->numbered(boardNames_[static_cast<std::size_t>(reply.board)], number);
      if (parent != 0) adopt(parent);
    }
    if (parent != 0 && join(reply.key, parent)) return true;
  }
  return false;
}

std::vector<std::uint64_t> ThreadLinks::references(std::uint64_t key) const {
  std::vector<std::uint64_t> chain;
  for (auto up = parents_.find(key); up != parents_.end() && chain.size() < kMaxReferences;
       up = parents_.find(up->second)) {
    chain.push_back(up->second);
  }
  std::reverse(chain.begin(), chain.end());
  return chain;
}

}  // namespace zazir

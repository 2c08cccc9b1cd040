#include "marks/logidentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "marks/marksfile.h"

namespace zazir {

namespace {

// A hash fed eight bytes at a step. Not made to withstand a forger, who
// would gain nothing but shared read marks.
class Hasher {
 public:
  explicit Hasher(std::uint64_t state = 0x9E3779B97F4A7C15ull) : state_(state) {}
  Hasher& number(std::uint64_t value) {
    state_ = (state_ ^ value) * 0xFF51AFD7ED558CCDull;
    state_ ^= state_ >> 32;
    return *this;
  }
  // The size goes first, so that two texts never run into each other.
  Hasher& text(std::string_view bytes) {
    number(bytes.size());
    while (bytes.size() >= 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data(), 8);
      number(word);
      bytes.remove_prefix(8);
    }
    std::uint64_t rest = 0;
    if (!bytes.empty()) std::memcpy(&rest, bytes.data(), bytes.size());
    return number(rest);
  }
  std::uint64_t value() const { return state_; }

 private:
  std::uint64_t state_;
};

enum Kind : std::uint64_t { Chat = 1, Mail, MessageBoard, FileBoard };

void hashBoard(Hasher& hash, Kind kind, const BoardEntry& board) {
  hash.number(kind).number(static_cast<std::uint64_t>(board.listOffset));
  hash.number(static_cast<std::uint32_t>(board.number)).text(board.name).text(board.label);
}

// The walk, with `after` inlined.
template <typename After>
void walkRecords(const LogIndex& index, After&& after) {
  // Each table is in the log's order; the walk takes the earliest next
  // record of the four. A chat board's place is the line after its listing
  // line, which may be the place of a mail or a board: the chat board was
  // found first.
  constexpr LogOffset kNone = INT64_MAX;
  std::size_t chat = 0;
  auto mail = index.mails.begin();
  auto message = index.messageBoards.begin();
  auto file = index.fileBoards.begin();
  Hasher hash;
  std::uint64_t count = 0;
  while (true) {
    const LogOffset atChat =
        chat < index.chatContentOffset.size() ? index.chatContentOffset[chat] : kNone;
    const LogOffset atMail = mail != index.mails.end() ? mail->headerOffset : kNone;
    const LogOffset atMessage =
        message != index.messageBoards.end() ? message->listOffset : kNone;
    const LogOffset atFile = file != index.fileBoards.end() ? file->listOffset : kNone;
    const LogOffset at = std::min({atChat, atMail, atMessage, atFile});
    if (at == kNone) return;
    if (at == atChat) {
      const ChatBoardEntry& board = index.chatBoards[chat++];
      hash.number(Chat).number(static_cast<std::uint64_t>(at)).number(board.hasNew);
      hash.number(static_cast<std::uint32_t>(board.number)).text(board.name).text(board.label);
    } else if (at == atMail) {
      hash.number(Mail).number(static_cast<std::uint64_t>(at)).text(mail->senderId);
      hash.text(mail->senderName).text(mail->dateText).text(mail->timeText).text(mail->title);
      ++mail;
    } else if (at == atMessage) {
      hashBoard(hash, MessageBoard, *message++);
    } else {
      hashBoard(hash, FileBoard, *file++);
    }
    after(++count, hash.value());
  }
}

}  // namespace

void walkIdentity(const LogIndex& index,
                  const std::function<void(std::uint64_t count, std::uint64_t value)>& after) {
  walkRecords(index, after);
}

LogIdentity logIdentity(const LogIndex& index) {
  LogIdentity identity{Hasher().value(), 0};
  walkRecords(index, [&](std::uint64_t count, std::uint64_t value) {
    identity = {value, count};
  });
  return identity;
}

std::uint64_t seriesFingerprint(std::span<const LogOffset> starts) {
  Hasher hash;
  for (const LogOffset start : starts) hash.number(static_cast<std::uint64_t>(start));
  // Never the unknown fingerprint.
  return hash.value() | 1;
}

std::optional<std::uint64_t> formerLogKey(const std::string& osPath) {
  constexpr std::uint64_t kBlock = 64 << 10;
  const int fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::uint64_t> key;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const auto readAt = [&](std::uint64_t offset, std::string& into) {
      into.resize(static_cast<std::size_t>(std::min(kBlock, size - offset)));
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
    if (readAt(0, head) && readAt(size - std::min(size, kBlock), tail)) {
      // FNV-1a over the size (8 bytes, little-endian), the head and the tail.
      std::uint64_t hash = 0xCBF29CE484222325ull;
      const auto feed = [&](std::string_view bytes) {
        for (const char byte : bytes) {
          hash ^= static_cast<unsigned char>(byte);
          hash *= 0x100000001B3ull;
        }
      };
      std::string sized;
      for (int k = 0; k < 8; ++k) sized += static_cast<char>(size >> (8 * k) & 0xFF);
      feed(sized);
      feed(head);
      feed(tail);
      key = hash;
    }
  }
  ::close(fd);
  return key;
}

}  // namespace zazir

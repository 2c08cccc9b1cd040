// The log index over any log, read three ways (line by line, with the fast
// skip over memory, and with the skip over a file through a small buffer
// that refills), must give the same index, and the skip with every
// instruction set must stop at every line that matters. Made in steps
// through a window of the log, as a search makes it, it holds after each
// step every part that starts before the step's end, and the same index at
// the last.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/logindex.h"
#include "formats/logscan.h"
#include "fuzz_check.h"
#include "platform/linestream.h"
#include "platform/windowstream.h"
#include "support/plain_stream.h"
#include "support/skip_check.h"

using namespace zazir;

namespace {

using zazir::testing::PlainStream;

bool sameBoards(const std::vector<BoardEntry>& a, const std::vector<BoardEntry>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].listOffset != b[i].listOffset || a[i].number != b[i].number ||
        a[i].name != b[i].name || a[i].label != b[i].label) {
      return false;
    }
  }
  return true;
}

bool sameIndex(const LogIndex& a, const LogIndex& b) {
  if (!sameBoards(a.messageBoards, b.messageBoards) || !sameBoards(a.fileBoards, b.fileBoards) ||
      a.chatContentOffset != b.chatContentOffset || a.notewallOffset != b.notewallOffset ||
      a.chatBoards.size() != b.chatBoards.size() || a.mails.size() != b.mails.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.chatBoards.size(); ++i) {
    const ChatBoardEntry& x = a.chatBoards[i];
    const ChatBoardEntry& y = b.chatBoards[i];
    if (x.name != y.name || x.hasNew != y.hasNew || x.number != y.number || x.label != y.label) {
      return false;
    }
  }
  for (std::size_t i = 0; i < a.mails.size(); ++i) {
    const MailEntry& x = a.mails[i];
    const MailEntry& y = b.mails[i];
    if (x.headerOffset != y.headerOffset || x.senderId != y.senderId ||
        x.senderName != y.senderName || x.title != y.title || x.timeText != y.timeText ||
        x.dateText != y.dateText) {
      return false;
    }
  }
  return true;
}

void checkBoards(const std::vector<BoardEntry>& boards, LogOffset size) {
  LogOffset previous = -1;
  for (const BoardEntry& board : boards) {
    FUZZ_CHECK(board.listOffset > previous && board.listOffset < size);
    FUZZ_CHECK(!board.name.empty() && board.name.size() < 80);
    previous = board.listOffset;
  }
}

void checkIndex(const LogIndex& index, const std::string& log) {
  const auto size = static_cast<LogOffset>(log.size());
  checkBoards(index.messageBoards, size);
  checkBoards(index.fileBoards, size);
  FUZZ_CHECK(index.chatBoardCount() <= kMaxChatBoards);
  FUZZ_CHECK(index.chatContentOffset.size() == index.chatBoards.size());
  for (std::size_t i = 0; i < index.chatBoards.size(); ++i) {
    FUZZ_CHECK(index.chatContentOffset[i] > 0 && index.chatContentOffset[i] <= size);
    FUZZ_CHECK(index.chatBoards[i].name.size() <= 12);
    FUZZ_CHECK(index.chatBoards[i].label.size() <= 48);
  }
  LogOffset previous = -1;
  for (const MailEntry& mail : index.mails) {
    FUZZ_CHECK(mail.headerOffset > previous && mail.headerOffset < size &&
               log.compare(static_cast<std::size_t>(mail.headerOffset), 7, "Private") == 0);
    previous = mail.headerOffset;
    FUZZ_CHECK(mail.senderId.size() <= 19 && mail.senderName.size() <= 29 &&
               mail.title.size() <= 79 && mail.timeText.size() <= 9 && mail.dateText.size() <= 9);
  }
  FUZZ_CHECK(index.notewallOffset == -1 ||
             (index.notewallOffset > 0 && index.notewallOffset <= size));
}

// Whether `part` (of the index made in steps) begins as `whole` does, and
// holds every entry of it that starts before `limit`.
template <typename Entry, typename Start>
bool startsAs(const Entry& part, const Entry& whole, LogOffset limit, Start start) {
  std::size_t before = 0;
  while (before < whole.size() && start(whole[before]) < limit) ++before;
  if (part.size() < before || part.size() > whole.size()) return false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (start(part[i]) != start(whole[i])) return false;
  }
  return true;
}

bool holdsWhatStartsBefore(const LogIndex& part, const LogIndex& whole, LogOffset limit) {
  const auto board = [](const BoardEntry& entry) { return entry.listOffset; };
  return startsAs(part.messageBoards, whole.messageBoards, limit, board) &&
         startsAs(part.fileBoards, whole.fileBoards, limit, board) &&
         startsAs(part.mails, whole.mails, limit,
                  [](const MailEntry& mail) { return mail.headerOffset; }) &&
         startsAs(part.chatContentOffset, whole.chatContentOffset, limit,
                  [](LogOffset offset) { return offset; });
}

int memoryFile() {
  static const int fd = memfd_create("zazir-fuzz-log", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string log(reinterpret_cast<const char*>(data), size);

  PlainStream plain(log);
  LogIndex byLine;
  indexLog(plain, byLine);
  checkIndex(byLine, log);

  MemoryLineStream memory(log);
  LogIndex skipped;
  indexLog(memory, skipped);
  FUZZ_CHECK(sameIndex(byLine, skipped));

  const int fd = memoryFile();
  FUZZ_CHECK(fd >= 0 && ftruncate(fd, 0) == 0);
  FUZZ_CHECK(pwrite(fd, log.data(), log.size(), 0) == static_cast<ssize_t>(log.size()));
  auto file = FileLineStream::open("/proc/self/fd/" + std::to_string(fd), 2048);
  FUZZ_CHECK(file != nullptr);
  LogIndex fromFile;
  indexLog(*file, fromFile);
  FUZZ_CHECK(sameIndex(byLine, fromFile));

  // A window over the middle of the log, the file elsewhere.
  file->seek(0);
  WindowStream window(*file);
  const std::size_t start = log.size() / 3;
  const std::size_t bytes = log.size() / 2;
  window.show(std::string_view(log).substr(start, bytes), static_cast<LogOffset>(start),
              start + bytes == log.size());
  LogIndex stepped;
  LogIndexer indexer(window, stepped);
  const auto step = static_cast<LogOffset>(std::max<std::size_t>(1, log.size() / 7));
  for (LogOffset limit = 0; limit <= static_cast<LogOffset>(log.size()); limit += step) {
    indexer.indexTo(limit);
    FUZZ_CHECK(holdsWhatStartsBefore(stepped, byLine, limit));
  }
  indexer.indexTo(logscan::kNoLimit);
  FUZZ_CHECK(indexer.finished() && sameIndex(byLine, stepped));

  for (const logscan::Isa isa : {logscan::Isa::Portable, logscan::Isa::Sse2, logscan::Isa::Avx2}) {
    if (!logscan::isaAvailable(isa)) continue;
    FUZZ_CHECK(zazir::testing::judgeSkip(log, isa).fault.empty());
  }
  return 0;
}

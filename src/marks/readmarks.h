// Read marks: which mails, messages and file entries were shown in their
// reader, kept across runs in a small state file per log. A log is known
// by its content, so that one renamed or copied keeps its marks and two
// different logs never share them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

enum class MarkSection : std::uint8_t { Mail = 0, MessageBoard = 1, FileBoard = 2 };

// A log's content key: a hash of its size and of its first and last
// kLogKeyBlock bytes. The login and logout the host wrote at either end
// (dates, times, counts) tell two captures apart; reading no more keeps
// start-up quick on a log of any size.
struct LogKey {
  std::uint64_t value = 0;
  bool operator==(const LogKey&) const = default;
};
inline constexpr std::size_t kLogKeyBlock = 64 << 10;

LogKey logKeyOf(std::uint64_t size, std::string_view head, std::string_view tail);
// The key of the file at `osPath`; none when it cannot be read.
std::optional<LogKey> logKeyOfFile(const std::string& osPath);

// Where the state files live: $XDG_STATE_HOME/zazir/ when that is an
// absolute path, else $HOME/.local/state/zazir/; none without either.
// Ends with "/".
std::optional<std::string> stateDirectory(const char* xdgStateHome, const char* home);

class ReadMarks {
 public:
  // The marks of the log of `key`, from its file in `directory` (a path the
  // operating system takes as it stands). A missing or damaged file, or one
  // of another log, only means that nothing is read yet.
  static ReadMarks load(const std::string& directory, LogKey key);

  // Makes a board known with its name and number of items: mail is board 0
  // of its section, a board is its index in the log index's table. Marks
  // kept for a board of another name or size are dropped, as they may
  // belong to other items. Needed before markRead.
  void track(MarkSection section, int board, std::string_view name, int items);

  bool isRead(MarkSection section, int board, int item) const;
  void markRead(MarkSection section, int board, int item);
  // Items not read of a board tracked now or in an earlier run; none for
  // a board never tracked.
  std::optional<int> unreadCount(MarkSection section, int board) const;
  // The items of such a board, read or not.
  std::optional<int> itemCount(MarkSection section, int board) const;

  bool changed() const { return changed_; }
  // Whether the marks have a file to be kept in (none without a state
  // directory: they live for the run only).
  bool kept() const { return !directory_.empty(); }
  // Writes the state file whole beside the old one and renames it over
  // that one; the directory is made when missing. False when it cannot be
  // written (the old file is then left as it was).
  bool save();

  std::string path() const;

 private:
  struct Board {
    MarkSection section = MarkSection::Mail;
    int board = 0;
    std::string name;
    std::uint32_t items = 0;
    std::vector<std::uint64_t> bits;  // one per item, read when set
  };
  Board* find(MarkSection section, int board);
  const Board* find(MarkSection section, int board) const;
  std::string encode() const;
  static bool decode(std::string_view bytes, LogKey key, std::vector<Board>& boards);

  std::string directory_;
  LogKey key_;
  std::vector<Board> boards_;
  bool changed_ = false;
};

}  // namespace zazir

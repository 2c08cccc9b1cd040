// The parts of a log the export takes out, walked straight from the log:
// the messages of a message board, a mail, the entries of a file board, a
// chat board's new lines and the Notewall's lines. A log line is one line
// however long, cleaned up as the readers clean theirs (it ends at its
// first CR, its first TAB is a blank), and goes over in pieces, so that no
// line is ever held whole.
#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "formats/logindex.h"
#include "platform/linestream.h"

namespace zazir {

enum class Take { Body, Skip, Stop };

// Receives the items of one walk: a message or mail with its header lines,
// a file entry, a chat or Notewall line (these have no header lines; their
// lines are the body).
class ItemSink {
 public:
  virtual ~ItemSink() = default;
  // An item begins. Skip passes over its body; Stop ends the walk.
  virtual Take begin(const std::vector<std::string>& header) = 0;
  // A piece of the current body line, then its end.
  virtual void text(std::string_view piece) = 0;
  virtual void lineEnd() = 0;
  virtual void end() = 0;
};

// Counts the items of a walk, bodies passed over, up to `limit`.
class ItemCounter : public ItemSink {
 public:
  explicit ItemCounter(int limit = INT_MAX) : limit_(limit) {}
  Take begin(const std::vector<std::string>&) override {
    return ++count_ < limit_ ? Take::Skip : Take::Stop;
  }
  void text(std::string_view) override {}
  void lineEnd() override {}
  void end() override {}
  int count() const { return count_; }

 private:
  int limit_;
  int count_ = 0;
};

// The header lines of a message or mail are kept up to this many bytes.
inline constexpr std::size_t kHeaderLineBytes = 4096;

// A line the index takes as the start of another part: a board's listing
// line, a mail's first header line or the Notewall heading. A message, a
// mail, a file entry or the chat lines end before it, so that a part whose
// end line is missing never runs into the next.
bool startsOtherPart(std::string_view line);

// The messages of message board `board`, each with its three header lines
// (fewer when the next message or the board's end comes first).
void walkMessages(LineStream& log, const LogIndex& index, int board, ItemSink& sink);
// Mail `mail` with its three header lines.
void walkMail(LineStream& log, const LogIndex& index, int mail, ItemSink& sink);
// The entries of file board `board`: the entry line and its description.
void walkFileEntries(LineStream& log, const LogIndex& index, int board, ItemSink& sink);
// The new lines of chat board `chat`, one item each.
void walkChatLines(LineStream& log, const LogIndex& index, int chat, ItemSink& sink);
// The Notewall's lines, one item each.
void walkNotewall(LineStream& log, const LogIndex& index, ItemSink& sink);

}  // namespace zazir

// Messages and mail as mboxrd, the way mail readers take it: a "From "
// line, headers (non-ASCII text as RFC 2047 encoded words of UTF-8), the
// body in UTF-8 with ">From " quoting, and a blank line after each.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/archiveindex.h"
#include "export/logparts.h"

namespace zazir {

class OutputFile;
class SeenSet;
class ThreadLinks;
class Utf8Decoder;

// A date and time as the host wrote them, in Japan's time.
struct HostDate {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "96/06/02" and "21:40:12" (or "21:40"); a two-digit year 70..99 is 19xx,
// 00..69 20xx. None unless every part is in its range.
std::optional<HostDate> parseHostDate(std::string_view date, std::string_view time);
// "Sun, 02 Jun 1996 21:40:12 +0900".
std::string mailDate(const HostDate& date);

// A header's text: as it stands when it is plain printable ASCII, else
// encoded words, folded onto lines of their own.
std::string headerText(std::string_view utf8);
// "handle" <id@zazir.invalid>: the ID as a local part (quoted when it must
// be), the handle as a quoted or encoded phrase.
std::string mailboxOf(std::string_view id, std::string_view handle);

// The "From " line and headers of one message, up to the blank line that
// ends them. `header` holds the log's header lines (CP932); `board` is
// empty for mail; `references` the keys of the messages it answers, its
// parent last.
std::string mboxHeaders(const std::vector<std::string>& header, std::string_view board, int number,
                        std::uint64_t key, const std::vector<std::uint64_t>& references,
                        Utf8Decoder& decoder);

// Writes the messages or mails of a walk to an mbox file; one already
// written (found in `seen`) is counted and left out. A message's body
// starts with its first line: the blank line the host puts after the
// header lines is not written again after the blank line that ends the
// mail headers. A board's replies name their parents by `links`.
class MboxSink : public ItemSink {
 public:
  MboxSink(OutputFile& file, Utf8Decoder& decoder, SeenSet& seen, std::string_view board,
           const ThreadLinks* links = nullptr)
      : file_(file), decoder_(decoder), seen_(seen), board_(board), links_(links) {}

  Take begin(const std::vector<std::string>& header) override;
  void text(std::string_view piece) override;
  void lineEnd() override;
  void end() override;

  int written() const { return written_; }
  int duplicates() const { return duplicates_; }
  // The messages written, in order, by number (0 for mail), and the
  // replies with their parents.
  const std::vector<NumberedKey>& numbered() const { return numbered_; }
  const std::vector<ParentLink>& parents() const { return parents_; }

 private:
  void endQuoting(bool quote);

  OutputFile& file_;
  Utf8Decoder& decoder_;
  SeenSet& seen_;
  std::string board_;
  const ThreadLinks* links_;
  int written_ = 0;
  bool bodyStart_ = false;  // nothing of the body written yet
  int duplicates_ = 0;
  std::vector<NumberedKey> numbered_;
  std::vector<ParentLink> parents_;
  // A line's start while it may still be ">>From ": its '>' bytes and how
  // much of "From " has come.
  bool lineStart_ = true;
  std::size_t quotes_ = 0;
  std::size_t fromBytes_ = 0;
};

}  // namespace zazir

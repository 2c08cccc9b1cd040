#include "formats/quote.h"

#include "formats/config.h"
#include "formats/loglines.h"
#include "text/cp932.h"
#include "text/format.h"
#include "text/textutil.h"

namespace zazir {

namespace {

constexpr std::size_t kQuotedLineBytes = 78;
// A longer prefix would leave no room for a double-byte character.
constexpr std::size_t kMaxPrefixBytes = kQuotedLineBytes - 2;
// The header lines and the line after them.
constexpr int kUnquotedLines = 4;
// Every end mark a caller tests fits in this many bytes.
constexpr std::size_t kHeadBytes = 32;
// A reply's quote stays a quote, whatever a log line holds.
constexpr std::size_t kLogLineBytes = kLineLimit;
constexpr std::size_t kQuoteBytes = 256 * 1024;

// Passes over the line at the read position, holding none of it.
bool skipLine(LineStream& log) {
  std::string none;
  return readWholeLine(log, none, 0);
}

// The first bytes of the line at the read position, cleaned up; the
// position stays.
std::string lineHead(LineStream& log) {
  const LogOffset at = log.tell();
  std::string head;
  log.readLine(head, kHeadBytes);
  log.seek(at);
  stripLineEnd(head);
  return head;
}

// Quotes the log line at the read position piece by piece. False when the
// log has ended or the quote is full.
bool quoteLogLine(LineStream& log, const QuoteRule& rule, std::string& text) {
  std::size_t taken = 0;
  std::string piece;
  bool ended = false;
  while (!ended) {
    if (!readQuotedLine(log, rule.prefix.size(), piece, &ended)) return false;
    const bool cut = taken + piece.size() > kLogLineBytes;
    if (cut) piece.resize(characterBoundary(piece, kLogLineBytes - taken));
    taken += piece.size();
    if (!piece.empty() || (!cut && !rule.dropEmptyLines)) {
      if (text.size() + rule.prefix.size() + piece.size() + 1 > kQuoteBytes) return false;
      text += rule.prefix;
      text += piece;
      text += '\n';
    }
    if (cut) return ended || skipLine(log);
  }
  return true;
}

}  // namespace

std::string quotePrefix(const Config& config, std::string_view handle) {
  return std::string(cutToBytes(formatConfigured(config.quotation, {handle}), kMaxPrefixBytes));
}

bool readQuotedLine(LineStream& log, std::size_t prefixLength, std::string& line,
                    bool* endsLogLine) {
  const std::size_t limit = prefixLength < kMaxPrefixBytes ? kQuotedLineBytes - prefixLength
                                                           : kQuotedLineBytes - kMaxPrefixBytes;
  if (!readWrappedLine(log, line, limit)) return false;
  if (endsLogLine) *endsLogLine = !line.empty() && line.back() == '\n';
  stripLineEnd(line);
  return true;
}

std::string quoteMessage(LineStream& log, LogOffset start, const QuoteRule& rule) {
  log.seek(start);
  std::string text;
  for (int line = 0;; ++line) {
    if (rule.end >= 0 && log.tell() >= rule.end) break;
    // A message's own first line is never its end: it is what the caller
    // found the message by.
    if (line > 0 && rule.endsAt && rule.endsAt(lineHead(log))) break;
    const bool more = line < kUnquotedLines ? skipLine(log) : quoteLogLine(log, rule, text);
    if (!more) break;
  }
  return text;
}

}  // namespace zazir

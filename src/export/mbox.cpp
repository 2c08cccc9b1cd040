#include "export/mbox.h"

#include <charconv>

#include "export/outputfile.h"
#include "export/seenset.h"
#include "export/threadlinks.h"
#include "export/utf8text.h"
#include "formats/boardlog.h"
#include "text/format.h"
#include "text/textutil.h"

namespace zazir {

namespace {

constexpr std::string_view kDomain = "@zazir.invalid";
constexpr std::string_view kFrom = "From ";
constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// UTF-8 bytes in one encoded word: 60 base64 characters, 72 with the
// markers, so a folded line stays short.
constexpr std::size_t kWordBytes = 45;
// A plain header text longer than this is encoded, so that it is folded.
constexpr std::size_t kPlainLimit = 900;

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    std::uint32_t group = 0;
    const std::size_t take = std::min<std::size_t>(3, bytes.size() - at);
    for (std::size_t i = 0; i < 3; ++i) {
      group = group << 8 | (i < take ? static_cast<unsigned char>(bytes[at + i]) : 0u);
    }
    for (std::size_t i = 0; i < 4; ++i) {
      out += i <= take ? kDigits[(group >> (18 - 6 * i)) & 0x3F] : '=';
    }
  }
  return out;
}

// Encoded words of at most kWordBytes each, never splitting a character,
// on folded lines.
std::string encodedWords(std::string_view utf8) {
  std::string out;
  while (!utf8.empty()) {
    std::size_t size = std::min(utf8.size(), kWordBytes);
    while (size < utf8.size() && size > 1 &&
           (static_cast<unsigned char>(utf8[size]) & 0xC0) == 0x80) {
      --size;
    }
    if (!out.empty()) out += "\n ";
    out += "=?UTF-8?B?" + base64(utf8.substr(0, size)) + "?=";
    utf8.remove_prefix(size);
  }
  return out;
}

bool isPrintableAscii(std::string_view text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Unfolded, unquoted and not taken for an encoded word by any reader.
bool isPlain(std::string_view text) {
  return text.size() <= kPlainLimit && isPrintableAscii(text) &&
         text.find("=?") == std::string_view::npos &&
         (text.empty() || (text.front() != ' ' && text.back() != ' '));
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c >= 0 && c < 0x20 ? '?' : c;
  }
  return out + "\"";
}

bool isDotAtom(std::string_view text) {
  if (text.empty() || text.front() == '.' || text.back() == '.' ||
      text.find("..") != std::string_view::npos) {
    return false;
  }
  for (const char c : text) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigitChar(c);
    if (!letter && std::string_view("!#$%&'*+-/=?^_`{|}~.").find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

std::optional<int> number(std::string_view digits, std::size_t maxDigits) {
  int value = 0;
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// Up to three numbers separated by one of `separators`; `maxDigits` for each.
std::vector<int> numbers(std::string_view text, std::string_view separators,
                         std::size_t maxDigits) {
  std::vector<int> parts;
  while (parts.size() < 4) {
    const std::size_t end = text.find_first_of(separators);
    const std::optional<int> part = number(text.substr(0, end), maxDigits);
    if (!part) return {};
    parts.push_back(*part);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return parts;
}

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  constexpr int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kDaysIn[month - 1] + (month == 2 && isLeapYear(year));
}

// 0 for Sunday.
int weekday(const HostDate& date) {
  const int y = date.year - (date.month <= 2);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const long days = static_cast<long>(era) * 146097 + dayOfEra - 719468;  // from 1970-01-01
  return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

std::string hex(std::uint64_t value) {
  std::string out(16, '0');
  for (std::size_t i = 16; i-- > 0; value >>= 4) out[i] = "0123456789abcdef"[value & 0xF];
  return out;
}

struct Sender {
  std::string_view id;
  std::string_view handle;
};

// The word after "from:" in a first header line (or at byte 24, where the
// reader looks when there is no "from:"), and the rest of the line.
Sender senderOf(std::string_view line) {
  const std::size_t from = line.find("from:");
  std::string_view rest =
      line.substr(std::min(from == std::string_view::npos ? 24 : from + 5, line.size()));
  const auto trim = [](std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
  };
  rest = trim(rest);
  const std::string_view id = rest.substr(0, rest.find(' '));
  return {id, trim(rest.substr(id.size()))};
}

std::string fromLineDate(const std::optional<HostDate>& date) {
  if (!date) return "Thu Jan  1 00:00:00 1970";
  return formatText("%s %s %2i %02i:%02i:%02i %i", kDays[weekday(*date)], kMonths[date->month - 1],
                    date->day, date->hour, date->minute, date->second, date->year);
}

}  // namespace

std::optional<HostDate> parseHostDate(std::string_view date, std::string_view time) {
  const std::vector<int> day = numbers(date, "/-", 4);
  const std::vector<int> clock = numbers(time, ":", 2);
  if (day.size() != 3 || clock.size() < 2 || clock.size() > 3) return std::nullopt;
  HostDate out;
  const std::size_t yearDigits = date.find_first_of("/-");
  if (yearDigits == 2) {
    out.year = day[0] + (day[0] >= 70 ? 1900 : 2000);
  } else if (yearDigits == 4) {
    out.year = day[0];
  } else {
    return std::nullopt;
  }
  out.month = day[1];
  out.day = day[2];
  out.hour = clock[0];
  out.minute = clock[1];
  out.second = clock.size() == 3 ? clock[2] : 0;
  if (out.month < 1 || out.month > 12 || out.day < 1 ||
      out.day > daysInMonth(out.year, out.month) || out.hour > 23 || out.minute > 59 ||
      out.second > 59) {
    return std::nullopt;
  }
  return out;
}

std::string mailDate(const HostDate& date) {
  return formatText("%s, %02i %s %i %02i:%02i:%02i +0900", kDays[weekday(date)], date.day,
                    kMonths[date.month - 1], date.year, date.hour, date.minute, date.second);
}

std::string headerText(std::string_view utf8) {
  return isPlain(utf8) ? std::string(utf8) : encodedWords(utf8);
}

std::string mailboxOf(std::string_view id, std::string_view handle) {
  // Headers are ASCII: an ID that is not (a damaged log) is no address.
  const std::string local = isDotAtom(id)                         ? std::string(id)
                            : id.empty() || !isPrintableAscii(id) ? "unknown"
                                                                  : quoted(id);
  std::string address = "<" + local + std::string(kDomain) + ">";
  if (handle.empty()) return address;
  const std::string phrase = isPrintableAscii(handle) ? quoted(handle) : encodedWords(handle);
  return phrase + " " + address;
}

std::string mboxHeaders(const std::vector<std::string>& header, std::string_view board, int number,
                        std::uint64_t key, const std::vector<std::uint64_t>& references,
                        Utf8Decoder& decoder) {
  const auto line = [&](std::size_t at) {
    return at < header.size() ? std::string_view(header[at]) : std::string_view();
  };
  // Parts of lines whose odd bytes the X-Original-Header lines count.
  Utf8Decoder counted;
  const auto utf8 = [&](std::string_view cp932) { return toUtf8(cp932, counted); };
  const Sender sender = senderOf(line(0));
  const std::string id = utf8(sender.id);
  const std::optional<HostDate> date = parseHostDate(wordAt(line(1), 1), wordAt(line(1), 2));
  const std::string_view title = line(2).size() > 6 ? line(2).substr(6) : "";

  std::string out = "From ";
  out += isDotAtom(id) ? id : std::string("unknown");
  out += std::string(kDomain) + " " + fromLineDate(date) + "\n";
  out += "From: " + mailboxOf(id, utf8(sender.handle)) + "\n";
  out += "Subject: " + headerText(utf8(title)) + "\n";
  if (date) out += "Date: " + mailDate(*date) + "\n";
  const auto messageId = [](std::uint64_t of) {
    return "<" + hex(of) + std::string(kDomain) + ">";
  };
  out += "Message-ID: " + messageId(key) + "\n";
  if (!references.empty()) {
    out += "In-Reply-To: " + messageId(references.back()) + "\n";
    out += "References:";
    const char* gap = " ";
    for (const std::uint64_t of : references) {
      out += gap + messageId(of);
      gap = "\n ";
    }
    out += "\n";
  }
  if (!board.empty()) {
    out += "X-Board: " + headerText(toUtf8(board, decoder)) + "\n";
    out += formatText("X-Message-Number: %i\n", number);
  }
  for (const std::string& original : header) {
    out += "X-Original-Header: " + headerText(toUtf8(original, decoder)) + "\n";
  }
  out +=
      "MIME-Version: 1.0\n"
      "Content-Type: text/plain; charset=UTF-8\n"
      "Content-Transfer-Encoding: 8bit\n\n";
  return out;
}

Take MboxSink::begin(const std::vector<std::string>& header) {
  const int number = board_.empty() || header.empty() ? 0 : messageNumber(header.front());
  const std::uint64_t key = messageKey(board_, number, header);
  if (!seen_.insert(key)) {
    ++duplicates_;
    return Take::Skip;
  }
  ++written_;
  const std::vector<std::uint64_t> references =
      links_ && !board_.empty() ? links_->references(key) : std::vector<std::uint64_t>();
  numbered_.push_back({number, key});
  if (!references.empty()) parents_.push_back({key, references.back()});
  file_.buffer() += mboxHeaders(header, board_, number, key, references, decoder_);
  bodyStart_ = true;
  return Take::Body;
}

void MboxSink::text(std::string_view piece) {
  if (piece.empty()) return;
  bodyStart_ = false;
  while (lineStart_ && !piece.empty()) {
    const char c = piece.front();
    if (fromBytes_ == 0 && c == '>') {
      ++quotes_;
    } else if (c == kFrom[fromBytes_]) {
      ++fromBytes_;
    } else {
      endQuoting(false);
      break;
    }
    piece.remove_prefix(1);
    if (fromBytes_ == kFrom.size()) endQuoting(true);
  }
  decoder_.decode(piece, file_.buffer());
  file_.spill();  // a line may be longer than memory should hold
}

// mboxrd: a line of any number of '>' and then "From " gets one '>' more,
// which readers take away again.
void MboxSink::endQuoting(bool quote) {
  std::string& out = file_.buffer();
  if (quote) out += '>';
  out.append(quotes_, '>');
  out += kFrom.substr(0, fromBytes_);
  lineStart_ = false;
}

void MboxSink::lineEnd() {
  if (bodyStart_) {  // the host's blank line after the header lines
    bodyStart_ = false;
    return;
  }
  if (lineStart_) endQuoting(false);
  decoder_.finish(file_.buffer());
  file_.buffer() += '\n';
  lineStart_ = true;
  quotes_ = 0;
  fromBytes_ = 0;
  file_.spill();
}

void MboxSink::end() {
  file_.buffer() += '\n';
  file_.spill();
}

}  // namespace zazir

#include "formats/answered.h"

#include <algorithm>
#include <unordered_map>

#include "platform/encoding.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// Message numbers of more digits are something else (a telephone number).
constexpr int kMaxDigits = 9;

std::size_t charSize(std::string_view text, std::size_t at) {
  return isLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

bool textAt(std::string_view text, std::size_t at, std::string_view what) {
  return text.substr(std::min(at, text.size()), what.size()) == what;
}

// The value of an ASCII or full-width digit at `at` and its `size`; -1
// when there is none.
int digitAt(std::string_view text, std::size_t at, std::size_t& size) {
  if (at < text.size() && isDigitChar(text[at])) {
    size = 1;
    return text[at] - '0';
  }
  if (at + 1 < text.size() && static_cast<unsigned char>(text[at]) == 0x82) {
    const auto trail = static_cast<unsigned char>(text[at + 1]);
    if (trail >= 0x4F && trail <= 0x58) {  // ０ to ９
      size = 2;
      return trail - 0x4F;
    }
  }
  return -1;
}

// The digits from `at`: where they end, and their value when they can be a
// message number (0 when not).
struct Digits {
  std::size_t end;
  int value;
};
Digits digitsAt(std::string_view text, std::size_t at) {
  Digits run{at, 0};
  int count = 0;
  std::size_t size = 0;
  for (int digit; (digit = digitAt(text, run.end, size)) >= 0; run.end += size) {
    if (++count <= kMaxDigits) run.value = run.value * 10 + digit;
  }
  if (count > kMaxDigits) run.value = 0;
  return run;
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size()) {
    if (text[at] == ' ' || text[at] == '\t') {
      ++at;
    } else if (textAt(text, at, "　"_sj)) {
      at += 2;
    } else {
      break;
    }
  }
  return at;
}

// What may follow "#101" or "101番" when it names the message answered.
bool endsReference(std::string_view line, std::size_t at) {
  at = skipBlanks(line, at);
  if (at >= line.size()) return true;
  for (const std::string* words :
       {&"「"_sj, &"『"_sj, &"へのレス"_sj, &"へのﾚｽ"_sj, &"への返事"_sj, &"への返信"_sj,
        &"へのお返事"_sj, &"にレス"_sj, &"に対し"_sj, &"について"_sj, &"を読んで"_sj,
        &"の書き込み"_sj, &"の発言"_sj}) {
    if (textAt(line, at, *words)) return true;
  }
  return false;
}

void addOnce(std::vector<int>& numbers, int number) {
  if (number > 0 && numbers.size() < kMaxAnswered &&
      std::find(numbers.begin(), numbers.end(), number) == numbers.end()) {
    numbers.push_back(number);
  }
}

// Whether what names a message may begin at `at`: '>', '#', a digit, or
// their full-width forms. Most characters are none, and are passed by this
// test alone.
bool mayBegin(std::string_view text, std::size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte == '>' || byte == '#' || isDigitChar(text[at])) return true;
  if (at + 1 >= text.size()) return false;
  const auto trail = static_cast<unsigned char>(text[at + 1]);
  return (byte == 0x81 && (trail == 0x84 || trail == 0x94)) ||  // ＞ ＃
         (byte == 0x82 && trail >= 0x4F && trail <= 0x58);      // ０ to ９
}

// A '#' after these is a part of a word or an address ("C#1", "page#101").
bool joinsMark(char before) {
  return isDigitChar(before) || (before >= 'A' && before <= 'Z') ||
         (before >= 'a' && before <= 'z') || before == '/';
}

// The numbers `line` names, added to `numbers`.
void namedIn(std::string_view line, std::vector<int>& numbers) {
  bool joined = false;  // the character before `at` makes a '#' a part of a word
  for (std::size_t at = 0; at < line.size();) {
    if (!mayBegin(line, at)) {
      joined = joinsMark(line[at]);
      at += charSize(line, at);
      continue;
    }
    const bool anchor = textAt(line, at, ">>");
    if (anchor || textAt(line, at, "＞＞"_sj)) {
      const std::size_t from = at + (anchor ? 2 : 4);
      const Digits digits = digitsAt(line, from);
      if (digits.end == from) return;  // quote marks: the rest is another text
      addOnce(numbers, digits.value);
      at = digits.end;
      joined = true;
      continue;
    }
    if (line[at] == '>' || textAt(line, at, "＞"_sj)) return;
    const std::size_t mark = line[at] == '#' && !joined ? 1 : textAt(line, at, "＃"_sj) ? 2 : 0;
    const Digits digits = digitsAt(line, at + mark);
    if (digits.end == at + mark) {
      joined = mark == 0 && joinsMark(line[at]);
      at += mark > 0 ? mark : charSize(line, at);
      continue;
    }
    std::size_t end = digits.end;
    const bool counter = textAt(line, end, "番"_sj);
    if (counter) end += 2;
    if ((mark > 0 || counter) && endsReference(line, end)) addOnce(numbers, digits.value);
    at = end;
    joined = true;
  }
}

}  // namespace

bool isBlankLine(std::string_view line) {
  return skipBlanks(line, 0) >= line.size();
}

std::vector<int> answeredNumbers(const std::vector<std::string>& bodyLines) {
  std::vector<int> numbers;
  int read = 0;
  for (const std::string& line : bodyLines) {
    if (read == kAnsweredLines) break;
    if (isBlankLine(line)) continue;
    ++read;
    namedIn(cutToBytes(line, kAnsweredLineBytes), numbers);
  }
  return numbers;
}

std::optional<MovedFrom> movedFrom(std::string_view title) {
  std::size_t word = 0;  // where the word under the walk began
  for (std::size_t at = 0; at < title.size(); at += charSize(title, at)) {
    if (title[at] == ' ' || textAt(title, at, "　"_sj)) word = skipBlanks(title, at);
    if (!mayBegin(title, at)) continue;
    const std::size_t mark = title[at] == '#' ? 1 : textAt(title, at, "＃"_sj) ? 2 : 0;
    if (mark == 0) continue;
    const Digits digits = digitsAt(title, at + mark);
    if (digits.value == 0 || !textAt(title, digits.end, "より移動"_sj)) continue;
    MovedFrom moved{{}, digits.value};
    // '-' is never the second byte of a character: the board's name ends there.
    if (at > word && title[at - 1] == '-') moved.board = title.substr(word, at - 1 - word);
    return moved;
  }
  return std::nullopt;
}

Answered answeredBy(std::string_view title, const std::vector<std::string>& bodyLines) {
  if (const std::optional<MovedFrom> moved = movedFrom(title)) {
    if (moved->board.empty()) return {};
    return {moved->board, {moved->number}};
  }
  return {{}, answeredNumbers(bodyLines)};
}

std::vector<int> answersOnBoard(std::string_view board, std::string_view title,
                                const std::vector<std::string>& bodyLines) {
  Answered answered = answeredBy(title, bodyLines);
  if (!answered.board.empty() && answered.board != board) return {};
  return std::move(answered.numbers);
}

std::vector<int> boardParents(std::string_view board, const std::vector<MessageHead>& messages) {
  std::vector<MessageAnswers> answers;
  answers.reserve(messages.size());
  for (const MessageHead& head : messages) {
    answers.push_back({head.number, answersOnBoard(board, head.title, head.firstLines)});
  }
  return boardParents(answers);
}

std::vector<int> boardParents(const std::vector<MessageAnswers>& messages) {
  const int count = static_cast<int>(messages.size());
  std::unordered_map<int, std::vector<int>> where;  // a number's messages, in order
  for (int i = 0; i < count; ++i) where[messages[static_cast<std::size_t>(i)].number].push_back(i);

  std::vector<int> parents(messages.size(), -1);
  // Who stands for each message's thread, so that a cycle is told without
  // walking a long thread up for every reply.
  std::vector<int> threads(messages.size());
  for (int i = 0; i < count; ++i) threads[static_cast<std::size_t>(i)] = i;
  const auto thread = [&](int message) {
    while (threads[static_cast<std::size_t>(message)] != message) {
      int& up = threads[static_cast<std::size_t>(message)];
      up = threads[static_cast<std::size_t>(up)];  // halves the way for the next time
      message = up;
    }
    return message;
  };
  for (int i = 0; i < count; ++i) {
    for (const int number : messages[static_cast<std::size_t>(i)].answers) {
      const auto found = where.find(number);
      if (found == where.end()) continue;
      int parent = -1;
      for (const int candidate : found->second) {
        if (candidate == i) continue;
        if (candidate > i && parent >= 0) break;
        parent = candidate;
        if (candidate > i) break;
      }
      // Message i has no parent yet: the link closes a cycle when the
      // parent is in its thread already.
      if (parent < 0 || thread(parent) == thread(i)) continue;
      threads[static_cast<std::size_t>(thread(i))] = thread(parent);
      parents[static_cast<std::size_t>(i)] = parent;
      break;
    }
  }
  return parents;
}

}  // namespace zazir

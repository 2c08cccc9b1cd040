// What a reply answers, as the people of the host write it in the first
// lines of its body: a reader's heading ("山田太郎さんの #101「初めての投稿」へ
// のレスです。"), the batch reply's "●　田中さんの103番の書き込みに対して", the
// hand-written "101番へのレス", ">>101", "#101 への返事". A moved reply names
// its message in its title instead ("pc98-#101より移動:..."). No screen: the
// export threads its mailboxes with it, and a list can draw threads.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

// A reply names what it answers at its start: only the first lines of a
// body that are not blank are read, and of each only its start. A batch
// reply names one message per heading, between the quotes; the headings
// past these lines are not seen, and the first named is the parent anyway.
inline constexpr int kAnsweredLines = 6;
inline constexpr std::size_t kAnsweredLineBytes = 256;
// A batch reply answers at most 20 messages; more numbers are not kept.
inline constexpr std::size_t kMaxAnswered = 20;

// Blanks only (ASCII or full-width): such a line is not counted among
// kAnsweredLines.
bool isBlankLine(std::string_view line);

// The message numbers the first lines of a body name as answered, in the
// order named, each once. A number is named
// - as ">>101" or "＞＞101" anywhere in a line;
// - as "#101", "＃１０１" or "101番" followed (blanks between) by the line's
//   end, a title in 「」 or 『』, or a reply's words: へのレス, への返事,
//   への返信, へのお返事, にレス, に対し, について, を読んで, の書き込み,
//   の発言.
// A '>' before the number makes the line a quote of another text: it names
// nothing. So do prices, dates and numbers in prose.
std::vector<int> answeredNumbers(const std::vector<std::string>& bodyLines);

// The message a moved reply's title says it comes from ("board-#101より
// 移動:title", blanks and a word such as "Re:" before it allowed).
struct MovedFrom {
  std::string board;  // empty when the title does not name it
  int number = 0;
};
std::optional<MovedFrom> movedFrom(std::string_view title);

struct Answered {
  std::string board;         // the board of `numbers`; empty: the reply's own
  std::vector<int> numbers;  // the first that can be found is the parent
};

// A moved reply answers the message its title names on the board it names,
// and nothing when it names no board (the numbers in its body are another
// board's); any other message, what answeredNumbers finds in its body.
Answered answeredBy(std::string_view title, const std::vector<std::string>& bodyLines);

// A message of a board as far as its parent needs it.
struct MessageHead {
  int number = 0;
  std::string title;
  std::vector<std::string> firstLines;  // its body lines from the start
};

// A message of a board once read: its number and the numbers on its own
// board it answers (answersOnBoard), all its parent needs.
struct MessageAnswers {
  int number = 0;
  std::vector<int> answers;
};

// What a message of board `board` answers on that board: none when it was
// moved from another.
std::vector<int> answersOnBoard(std::string_view board, std::string_view title,
                                const std::vector<std::string>& bodyLines);

// The parent of each message of board `board` (an index into `messages`,
// -1 for none): the first message it answers that is on the board; of a
// number there more than once, the nearest before it, else the first after.
// A message never answers itself, nor one that answers it already, however
// far up (a cycle): the next number it names is tried instead.
std::vector<int> boardParents(std::string_view board, const std::vector<MessageHead>& messages);
std::vector<int> boardParents(const std::vector<MessageAnswers>& messages);

}  // namespace zazir

// Where the parts the export takes out of a log begin and end, and how
// their lines come out: whole, however long, cleaned as the readers clean
// theirs.
#include <gtest/gtest.h>

#include <functional>

#include "export/logparts.h"
#include "formats/logindex.h"
#include "formats/logindex_support.h"

namespace zazir {
namespace {

using testing::listingLine;
using testing::logOf;
using testing::sj;

// Each item as "header|header:line/line/." (CP932 as it came).
class Recorder : public ItemSink {
 public:
  Take begin(const std::vector<std::string>& header) override {
    std::string item;
    for (const std::string& line : header) item += (item.empty() ? "" : "|") + line;
    items.push_back(item + ":");
    return Take::Body;
  }
  void text(std::string_view piece) override { items.back() += piece; }
  void lineEnd() override { items.back() += "/"; }
  void end() override { items.back() += "."; }
  std::vector<std::string> items;
};

using Walk = std::function<void(LineStream&, const LogIndex&, ItemSink&)>;

void messagesOfEveryBoard(LineStream& log, const LogIndex& index, ItemSink& sink) {
  for (int b = 0; b < index.messageBoardCount(); ++b) walkMessages(log, index, b, sink);
}
void everyMail(LineStream& log, const LogIndex& index, ItemSink& sink) {
  for (int m = 0; m < index.mailCount(); ++m) walkMail(log, index, m, sink);
}
void entriesOfEveryBoard(LineStream& log, const LogIndex& index, ItemSink& sink) {
  for (int b = 0; b < index.fileBoardCount(); ++b) walkFileEntries(log, index, b, sink);
}
void linesOfEveryChat(LineStream& log, const LogIndex& index, ItemSink& sink) {
  for (int c = 0; c < index.chatBoardCount(); ++c) walkChatLines(log, index, c, sink);
}

std::string listedBoard(int number, const char* name) {
  return listingLine(number, name, "title", "検索中");
}
const std::string kCountLine = sj("新しいメッセージが 2 件あります。");

TEST(LogParts, WhereEachPartBeginsAndEnds) {
  const std::string longLine = std::string(1500, 'x') + "\ty\tz";
  struct Case {
    const char* what;
    std::string log;
    Walk walk;
    std::vector<std::string> items;
  } cases[] = {
      {"messages end at the next one and at a stop line; none is taken after it",
       logOf({listedBoard(1, "a"), kCountLine, "Message  #1 is from: A x", "Date: d", "T: one", "", "b1",
              "Message  #2 is from: B y", "Date: e", "T: two", "c1", "*CH >",
              "Message  #3 is from: C z", "D", "T", "lost"}),
       messagesOfEveryBoard,
       {"Message  #1 is from: A x|Date: d|T: one:/b1/.",
        "Message  #2 is from: B y|Date: e|T: two:c1/."}},
      {"a header cut short by the next message keeps that message whole",
       logOf({listedBoard(1, "a"), kCountLine, "Message  #1 is from: A x", "Message  #2 is from: B y",
              "Date: e", "T: two", "c1"}),
       messagesOfEveryBoard,
       {"Message  #1 is from: A x:.", "Message  #2 is from: B y|Date: e|T: two:c1/."}},
      {"a board's part ends at the next board's listing line",
       logOf({listedBoard(1, "a"), kCountLine, "Message  #1 is from: A x", "D", "T", "b1", listedBoard(2, "b"),
              kCountLine, "Message  #9 is from: B y", "D", "T", "c1"}),
       messagesOfEveryBoard,
       {"Message  #1 is from: A x|D|T:b1/.", "Message  #9 is from: B y|D|T:c1/."}},
      {"the last board without a stop line ends before a chat board",
       logOf({listedBoard(1, "a"), kCountLine, "Message  #1 is from: A x", "D", "T", "b1",
              listedBoard(7, "#chat"), "", sj("新しいメッセージが 1 個あります。"), "",
              "ID00001       >hello", ""}),
       messagesOfEveryBoard,
       {"Message  #1 is from: A x|D|T:b1/."}},
      {"a long line stays one line; a CR ends it; only its first TAB is a blank",
       logOf(
           {listedBoard(1, "a"), kCountLine, "Message  #1 is from: A x", "D", "T", longLine, "a\rb\tc"}),
       messagesOfEveryBoard,
       {"Message  #1 is from: A x|D|T:" + std::string(1500, 'x') + " y\tz/a/."}},
      {"mail ends at the host's question, or before the next mail when that is missing",
       logOf({"Private Message is from: A x", "Date: d", "T: one", "m1", sj("削除しますか (Y/N)"),
              "Private Message is from: B y", "Date: e", "T: two", "m2",
              "Private Message is from: C z", "Date: f", "T: three", "MAIN (A,B) >"}),
       everyMail,
       {"Private Message is from: A x|Date: d|T: one:m1/.",
        "Private Message is from: B y|Date: e|T: two:m2/.",
        "Private Message is from: C z|Date: f|T: three:."}},
      {"file entries: an entry line, its description, up to the next or *CH",
       logOf({"FILE NEWS: " + sj("日付指定"), listedBoard(1, "soft"), "001:A.LZH  1", "  about A",
              "1234: not an entry", "  7:B.LZH  2", "*CH >", "003:C.LZH"}),
       entriesOfEveryBoard,
       {":001:A.LZH  1/  about A/1234: not an entry/.", ":  7:B.LZH  2/."}},
      {"chat: as many lines as the count says, or up to an empty line",
       logOf({listedBoard(7, "#one"), "--", sj("新しいメッセージが 2 個あります。"), "--",
              "ID00001       >a", "ID00002       >b", "ID00003       >c", "", listedBoard(8, "#two"),
              "--", "no count here", "--", "ID00004       >d", "ID00005       >e", "",
              "ID00006       >f"}),
       linesOfEveryChat,
       {":ID00001       >a/.", ":ID00002       >b/.", ":ID00004       >d/.",
        ":ID00005       >e/."}},
      {"Notewall: the lines with ':' at byte 14",
       logOf({sj("《 気軽な伝言板 》"), "-----", "ID00001       :(a) one", "ID00002       :(b) two",
              "-----", "ID00003       :(c) lost"}),
       walkNotewall,
       {":ID00001       :(a) one/.", ":ID00002       :(b) two/."}},
  };
  for (const Case& c : cases) {
    MemoryLineStream log(c.log);
    LogIndex index;
    indexLog(log, index);
    Recorder recorder;
    c.walk(log, index, recorder);
    EXPECT_EQ(recorder.items, c.items) << c.what;
  }
}

}  // namespace
}  // namespace zazir

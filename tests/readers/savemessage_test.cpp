// Saving with "S" in the message board reader and the file board reader.
#include "readers/savemessage.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "console/render.h"
#include "readers/fileboard.h"
#include "readers/messageboard.h"
#include "support/test_app.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::sj;
using testing::TestApp;

// The file as it should be on disk: each line and CR LF.
std::string onDisk(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

class SaveTest : public TestApp, public ::testing::Test {
 protected:
  // A message's lines as the log holds them (and a cut file keeps them).
  std::vector<std::string> messageLines(int number, std::vector<std::string> body) {
    std::vector<std::string> lines = {
        formatText("Message  #%04i is from: ID%04i h", number, number), "Date: 96/01/01",
        formatText("Title:t%i", number)};
    lines.insert(lines.end(), body.begin(), body.end());
    for (const std::string& line : lines) log.add(line);
    return lines;
  }
  // The keys of one save that takes the proposed name.
  void saveAsProposed() { backend.type("s").press(key::kEnter); }
};

TEST_F(SaveTest, TheSameMessageSavedTwiceIsInTheFileTwiceWhole) {
  messageBoard(3, "TEST");
  messageLines(1, {"one"});
  const std::vector<std::string> two = messageLines(
      2, {"----", std::string(200, 'l') + sj("長い行"), "", std::string(1500, 'w'), "\tend\t",
          "a *CH not at the start is text", std::string(1100, 'c') + "\tx\t\rgone"});
  messageLines(3, {"three"});
  backend.press(key::kRight);
  saveAsProposed();
  saveAsProposed();
  backend.press(key::kEscape);
  readMessageBoard(withLog(), reading.search, reading.listPositions, 0);

  std::vector<std::string> saved = two;
  saved[7] = " end\t";  // cleaned up: the first TAB only, up to a CR
  saved[9] = std::string(1100, 'c') + " x\t";
  EXPECT_EQ(fileBytes(dir + "TEST.TXT"), onDisk(saved) + onDisk(saved));
  EXPECT_EQ(backend.rowAtKey(2, 10), "+" + std::string(13, '-') +
                                         "書き込みを保存するファイルのファイル名 無入力：ｷｬﾝｾﾙ" +
                                         std::string(13, '-') + "+");
  EXPECT_EQ(backend.rowAtKey(2, 11), testing::utf8(dir) + "TEST.TXT");
  EXPECT_EQ(backend.screenAtKey(3), backend.screenAtKey(1));  // the message shown again
}

TEST_F(SaveTest, AnOldFileKeepsItsTextWhole) {
  struct Case {
    std::string old, kept;
  } cases[] = {
      {"", ""},
      {"old line\r\n", "old line\r\n"},
      {"no line end", "no line end\r\n"},
      {"old\r\n\x1a", "old\r\n"},
      {"old\x1a", "old\r\n"},
  };
  messageBoard(3, "TEST");
  const std::vector<std::string> one = messageLines(1, {"body"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.old);
    const std::string path = dir + "OLD.TXT";
    testing::writeBytes(path, c.old);
    backend.type("s").press(key::kCtrlU).type(path + "\r").press(key::kEscape);
    readMessageBoard(withLog(), reading.search, reading.listPositions, 0);
    EXPECT_EQ(fileBytes(path), c.kept + onDisk(one));
  }
}

TEST_F(SaveTest, ACopyEndsAtTheNextBoardAStopLineOrTheEndOfTheLog) {
  messageBoard(3, "FIRST");
  const std::vector<std::string> first = messageLines(1, {"up to the next board"});
  messageBoard(4, "STOPPED");
  const std::vector<std::string> stopped = messageLines(2, {"before", ""});
  log.add("0012:34 the host's prompt");
  log.add("never saved");
  messageBoard(5, "LAST");
  const std::vector<std::string> last = messageLines(3, {"the last line has no line end"});
  log.addRaw("without CR LF");

  const std::vector<std::string> lastSaved = [&] {
    std::vector<std::string> lines = last;
    lines.push_back("without CR LF");
    return lines;
  }();
  struct Case {
    int board;
    std::string file;
    std::vector<std::string> saved;
  } cases[] = {{0, "FIRST.TXT", first}, {1, "STOPPED.TXT", stopped}, {2, "LAST.TXT", lastSaved}};
  for (const Case& c : cases) {
    saveAsProposed();
    backend.press(key::kEscape);
    readMessageBoard(withLog(), reading.search, reading.listPositions, c.board);
    EXPECT_EQ(fileBytes(dir + c.file), onDisk(c.saved)) << c.file;
  }
}

TEST_F(SaveTest, AFileEntryIsSavedUpToAPromptLineThatTheScreenShows) {
  fileBoard(5, "FILES");
  log.add("001: A.LZH");
  log.add("about A");
  log.add("0012:34 a prompt line");
  log.add("after it");
  log.add("002: B.LZH");
  log.add("about B");
  fileBoard(6, "NEXT");
  log.add("001: C.LZH");
  saveAsProposed();
  backend.press(key::kRight);
  saveAsProposed();
  backend.press(key::kEscape);
  readFileBoard(withLog(), reading.search, reading.downloads, 0);
  EXPECT_EQ(backend.rowAtKey(0, 3), "after it");  // the screen does not stop at the prompt line
  EXPECT_EQ(fileBytes(dir + "FILES.TXT"),
            onDisk({"001: A.LZH", "about A", "002: B.LZH", "about B"}));
}

TEST_F(SaveTest, AnEmptyAnswerCancelsAndTheMessageIsShownAgain) {
  messageBoard(3, "TEST");
  messageLines(1, std::vector<std::string>(30, "body"));
  backend.type("s").press(key::kEscape);  // Esc empties the answer
  backend.type("x").press(key::kEscape);
  readMessageBoard(withLog(), reading.search, reading.listPositions, 0);
  EXPECT_EQ(fileBytes(dir + "TEST.TXT"), "<none>");
  EXPECT_NE(backend.rowAtKey(1, 10).find("書き込みを保存する"), std::string::npos);
  EXPECT_EQ(backend.screenAtKey(2), backend.screenAtKey(0));
}

TEST_F(SaveTest, AFileThatCannotBeWrittenIsTold) {
  config.cutfileDir = dir + "missing/";
  messageBoard(3, "TEST");
  messageLines(1, {"body"});
  saveAsProposed();
  backend.type("k").press(key::kEscape);
  readMessageBoard(withLog(), reading.search, reading.listPositions, 0);
  EXPECT_EQ(backend.rowAtKey(2, 0), "【ファイルに保存できません】");
  EXPECT_NE(backend.rowAtKey(2, 2).find(testing::utf8(dir) + "missing/TEST.TXT"),
            std::string::npos);
  EXPECT_EQ(backend.rowAtKey(3, 0), "Message  #0001 is from: ID0001 h");
}

TEST_F(SaveTest, ABoardNameNeverLeadsIntoAnotherDirectory) {
  messageBoard(3, "../UP");
  messageLines(1, {"body"});
  backend.type("s").press(key::kEscape).press(key::kEscape);
  readMessageBoard(withLog(), reading.search, reading.listPositions, 0);
  EXPECT_EQ(backend.rowAtKey(1, 11), testing::utf8(dir) + ".._UP.TXT");
}

}  // namespace
}  // namespace zazir

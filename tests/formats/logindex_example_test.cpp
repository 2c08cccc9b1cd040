// The bundled example log and files stay valid: they index as intended and
// every section has the layout its reader expects.
#include <gtest/gtest.h>

#include "formats/logindex.h"
#include "formats/logindex_support.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "text/textutil.h"

namespace zazir {
namespace {

using testing::sj;

const std::string kExamples = std::string(ZAZIR_SOURCE_DIR) + "/examples/";

std::string example(const std::string& name) {
  return readBinaryFile(kExamples + name).value_or("");
}

// The cleaned lines of `log` from `offset` on.
std::vector<std::string> linesFrom(LineStream& log, LogOffset offset, int count) {
  log.seek(offset);
  std::vector<std::string> lines;
  std::string line;
  while (static_cast<int>(lines.size()) < count && log.readLine(line)) {
    stripLineEnd(line);
    lines.push_back(line);
  }
  return lines;
}

class DemoLog : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = FileLineStream::open(kExamples + "DEMO.LOG");
    ASSERT_TRUE(log_);
    indexLog(*log_, index_);
  }

  std::unique_ptr<FileLineStream> log_;
  LogIndex index_;
};

TEST_F(DemoLog, Mail) {
  ASSERT_EQ(index_.mailCount(), 3);
  const struct {
    const char* id;
    const char* name;
    const char* title;
  } expected[] = {{"AKN00412", "かずや", "来週のオフ会について"},
                  {"AKN00208", "Hiro", "モデムの設定、うまくいきました"},
                  {"AKN00153", "まさる", "Re:写真の件"}};
  bool longLine = false;
  for (int i = 0; i < 3; ++i) {
    const MailEntry& mail = index_.mails[static_cast<std::size_t>(i)];
    EXPECT_EQ(mail.senderId, expected[i].id);
    EXPECT_EQ(mail.senderName, sj(expected[i].name));
    EXPECT_EQ(mail.title, sj(expected[i].title));
    EXPECT_EQ(mail.dateText.size(), 8u);
    EXPECT_EQ(mail.timeText.size(), 8u);
    // The body runs to the host's question or a menu prompt.
    const auto lines = linesFrom(*log_, mail.headerOffset, 40);
    std::size_t end = 3;
    while (end < lines.size() && !startsWith(lines[end], sj("削除しますか")) &&
           !startsWith(lines[end], "MAIN (A,")) {
      longLine = longLine || lines[end].size() > 77;
      ++end;
    }
    EXPECT_LT(end, lines.size()) << "mail " << i << " has no end line";
    EXPECT_GT(end, 5u) << "mail " << i << " has a body";
  }
  EXPECT_TRUE(longLine) << "a mail shows lines longer than a screen row";
}

TEST_F(DemoLog, MessageBoards) {
  ASSERT_EQ(index_.messageBoardCount(), 6);
  EXPECT_EQ(index_.messageBoards[1].label,
            sj("   2: pc98       パソコン何でも相談室 ★未読あり(3件)"));
  EXPECT_EQ(index_.messageBoards[0].label.substr(0, 6), "   1: ");
  EXPECT_TRUE(index_.messageBoards[0].label.ends_with(sj("未読なし")));
  EXPECT_TRUE(index_.messageBoards[4].label.ends_with("No messages found"));
  int searched = 0;
  for (int b = 0; b < 6; ++b) {
    const BoardEntry& board = index_.messageBoards[static_cast<std::size_t>(b)];
    EXPECT_EQ(board.number, b + 1);
    // The count in a searched board's label is the number of its messages,
    // each with three header lines, a fourth line and a body.
    const std::size_t open = board.label.rfind('(');
    if (open == std::string::npos) continue;
    ++searched;
    const int announced = parseDecimal(std::string_view(board.label).substr(open + 1));
    const LogOffset end = b + 1 < 6
                              ? index_.messageBoards[static_cast<std::size_t>(b) + 1].listOffset
                              : static_cast<LogOffset>(example("DEMO.LOG").size());
    log_->seek(board.listOffset);
    int messages = 0;
    std::string line;
    while (log_->tell() < end && log_->readLine(line)) {
      stripLineEnd(line);
      // The readers' stop lines; the reply to the last message quotes up to
      // the host's prompt that begins with four digits and a colon.
      if (startsWith(line, "*CH") || hasNumberColonPrefix(line)) break;
      if (!startsWith(line, "Message  #")) continue;
      ++messages;
      EXPECT_EQ(line[24] == ' ', false) << "a word starts at byte 24: " << testing::utf8(line);
      const auto header = linesFrom(*log_, log_->tell(), 2);
      ASSERT_EQ(header.size(), 2u);
      EXPECT_TRUE(startsWith(header[1], sj("題名: "))) << testing::utf8(header[1]);
    }
    EXPECT_EQ(messages, announced) << board.name;
  }
  EXPECT_EQ(searched, 3);
  EXPECT_LT(log_->tell(), static_cast<LogOffset>(example("DEMO.LOG").size()))
      << "the last board's messages end before the end of the log";
}

TEST_F(DemoLog, ChatBoardsAndNotewall) {
  ASSERT_EQ(index_.chatBoardCount(), 3);
  const struct {
    const char* name;
    int hasNew;
    int lines;
  } expected[] = {{"#雑談", 1, 5}, {"#PC", 1, 3}, {"#深夜", 0, 0}};
  for (std::size_t i = 0; i < 3; ++i) {
    const ChatBoardEntry& chat = index_.chatBoards[i];
    EXPECT_EQ(chat.name, sj(expected[i].name));
    EXPECT_EQ(chat.hasNew, expected[i].hasNew);
    EXPECT_EQ(chat.label.find('\xA5'), std::string::npos) << "the leader is trimmed";
    if (chat.hasNew == 0) continue;
    // One line, the count line, one line, the chat lines, an empty line.
    const auto lines = linesFrom(*log_, index_.chatContentOffset[i], 4 + expected[i].lines);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(4 + expected[i].lines));
    EXPECT_EQ(lines[1],
              sj("新しいメッセージが ") + std::to_string(expected[i].lines) + sj(" 個あります。"));
    for (int k = 0; k < expected[i].lines; ++k) EXPECT_EQ(lines[3 + k][14], '>');
    EXPECT_TRUE(lines.back().empty());
  }
  ASSERT_GE(index_.notewallOffset, 0);
  const auto notes = linesFrom(*log_, index_.notewallOffset, 8);
  int run = 0;
  while (run < static_cast<int>(notes.size()) && notes[run].size() > 14 && notes[run][14] == ':')
    ++run;
  EXPECT_EQ(run, 6);
}

TEST_F(DemoLog, FileBoards) {
  ASSERT_EQ(index_.fileBoardCount(), 3);
  EXPECT_EQ(index_.fileBoards[0].label, sj("   1: tools      通信ソフト・ツール ★新着あり"));
  EXPECT_TRUE(index_.fileBoards[1].label.ends_with(sj("新着なし")));
  EXPECT_TRUE(index_.fileBoards[2].label.ends_with(sj(" ★新着あり")));
  // Entry lines follow the new boards, and "*CH" ends the last one.
  const auto lines = linesFrom(*log_, index_.fileBoards[2].listOffset, 20);
  int entries = 0;
  for (const std::string& line : lines) {
    if (startsWith(line, "*CH")) break;
    if (line.size() > 4 && parseDecimal(line.substr(0, 3)) > 0 && line[3] == ':') ++entries;
  }
  EXPECT_EQ(entries, 3);
}

TEST(ExampleFiles, AreCp932WithCrLfLineEnds) {
  for (const char* name : {"DEMO.LOG", "ID.TXT", "GROUP.TXT", "SIGN.TXT"}) {
    const std::string bytes = example(name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_TRUE(bytes.ends_with("\r\n")) << name;
    for (std::size_t at = bytes.find('\n'); at != std::string::npos;
         at = bytes.find('\n', at + 1)) {
      ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << name << " has a bare line feed at " << at;
    }
    EXPECT_TRUE(cp932ToUtf8(bytes).has_value()) << name;
  }
}

// The configuration is the user's file: UTF-8, as a Linux editor keeps it.
TEST(ExampleFiles, TheConfigurationShowsEveryKeyInReadableUtf8Lines) {
  const std::string bytes = example("ZAZIR.CFG");
  ASSERT_TRUE(isUtf8Text(bytes));
  const std::string config = utf8ToCp932(bytes).value_or("");
  for (const char* key : {"EDITOR=", "EDITOR_OPT1=", "EDITOR_OPT2=", "SIGNATURE=SIGN.TXT",
                          "QUOTATION=", "LOGFILE_DIR=", ";UPLOADFILE_DIR=", "UPLOADFILE=%s.UP",
                          "CUTFILE_DIR=", "TEMPORARY_DIR=", "IDFILE=ID.TXT",
                          "GROUPLISTFILE=GROUP.TXT", "HEADREPLYMAIL=", "HEADREPLYNEWS=",
                          "HEADREPLYNEWSTITLECHANGE=", "UPLOADFILE_EXIST=WRITE_QUESTION",
                          "LINECHAT_QUOTE=LINECHAT_QUESTION", "DELETENULLLINE=FALSE"}) {
    EXPECT_NE(config.find(std::string("\n") + key), std::string::npos) << key;
  }
  // The reader takes 79 bytes of CP932 at a time: a longer line would be
  // split.
  std::size_t start = 0;
  for (std::size_t end; (end = config.find('\n', start)) != std::string::npos; start = end + 1) {
    EXPECT_LE(end - start + 2, 79u) << testing::utf8(config.substr(start, end - start));
  }
}

}  // namespace
}  // namespace zazir

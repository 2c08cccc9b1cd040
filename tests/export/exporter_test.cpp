// --export and --list over logs in files: merging, each message once,
// stable Message-IDs, the body as mboxrd has it, and the refusals that
// come before anything is written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "export/exporter.h"
#include "export/listing.h"
#include "formats/logindex_support.h"
#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::listingLine;
using testing::logOf;
using testing::sj;
using testing::TempDir;
using testing::writeBytes;

struct Result {
  int status;
  std::string out;
  std::string err;
};

std::string contents(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

Result exportLogs(const std::string& dir, const std::vector<std::string>& logs,
                  ExportStop stop = {}) {
  std::FILE* err = std::tmpfile();
  const int status = stop ? runExport(dir, logs, err, stop) : runExport(dir, logs, err);
  return {status, "", contents(err)};
}

Result listLogs(const std::vector<std::string>& logs) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = runList(logs, out, err);
  return {status, contents(out), contents(err)};
}

// Each value of header `name`, in order.
std::vector<std::string> headerValues(const std::string& mbox, const std::string& name) {
  std::vector<std::string> values;
  for (std::size_t at = mbox.find("\n" + name + ": "); at != std::string::npos;
       at = mbox.find("\n" + name + ": ", at + 1)) {
    const std::size_t start = at + name.size() + 3;
    values.push_back(mbox.substr(start, mbox.find('\n', start) - start));
  }
  return values;
}

std::vector<std::string> message(int number, const char* id, const char* title,
                                 std::initializer_list<std::string> body) {
  std::vector<std::string> lines = {
      "Message  #" + std::to_string(number) + " is from: " + id + " h", "Date: 96/06/01 10:00:00",
      sj("題名: ") + title};
  lines.insert(lines.end(), body);
  return lines;
}

std::string boardLog(std::initializer_list<std::vector<std::string>> parts) {
  std::string log;
  for (const std::vector<std::string>& part : parts) {
    for (const std::string& line : part) log += line + "\r\n";
  }
  return log;
}

std::vector<std::string> board(int number, const char* name) {
  return {listingLine(number, name, "title", "検索中"), sj("新しいメッセージが 1 件あります。")};
}

std::vector<std::string> mail(const char* id, const char* title,
                              std::initializer_list<std::string> body) {
  std::vector<std::string> lines = {std::string("Private Message is from: ") + id + " h",
                                    "Date: 96/06/02 21:40:12", sj("題名: ") + title};
  lines.insert(lines.end(), body);
  lines.push_back(sj("削除しますか (Y/N) > N"));
  return lines;
}

TEST(Export, MergesLogsInOrderWritingEachMessageOnce) {
  TempDir temp;
  writeBytes(temp.path("A.LOG"), boardLog({mail("M1", "one", {"m"}),
                                           board(1, "a/b"),
                                           message(1, "X", "1", {"b"}),
                                           message(2, "Y", "2", {"b"}),
                                           board(2, "a_b"),
                                           message(5, "Z", "5", {"b"}),
                                           {"*CH >"}}));
  // The second visit sees message 2 and the first mail again, and more.
  writeBytes(temp.path("B.LOG"), boardLog({mail("M1", "one", {"m"}),
                                           mail("M2", "two", {"n"}),
                                           board(1, "a/b"),
                                           message(2, "Y", "2", {"b", "seen again"}),
                                           message(3, "Y", "3", {"b"}),
                                           {"*CH >"}}));
  const Result both = exportLogs(temp.path("out"), {temp.path("A.LOG"), temp.path("B.LOG")});
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.err, "");

  // "a/b" and "a_b" come to the same safe name and share its file.
  const std::string boards = fileBytes(temp.path("out/boards/a_b.mbox"));
  EXPECT_EQ(headerValues(boards, "X-Message-Number"),
            (std::vector<std::string>{"1", "2", "5", "3"}));
  EXPECT_EQ(headerValues(boards, "X-Board"),
            (std::vector<std::string>{"a/b", "a/b", "a_b", "a/b"}));
  EXPECT_EQ(boards.find("seen again"), std::string::npos);
  const std::string mails = fileBytes(temp.path("out/mail.mbox"));
  EXPECT_EQ(headerValues(mails, "Subject"), (std::vector<std::string>{"one", "two"}));
  struct stat info {};
  ASSERT_EQ(stat(temp.path("out/mail.mbox").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // The same message has the same Message-ID in any export.
  ASSERT_EQ(exportLogs(temp.path("again"), {temp.path("B.LOG")}).status, 0);
  const std::vector<std::string> ids = headerValues(boards, "Message-ID");
  const std::vector<std::string> again =
      headerValues(fileBytes(temp.path("again/boards/a_b.mbox")), "Message-ID");
  ASSERT_EQ(ids.size(), 4u);
  EXPECT_EQ(again, (std::vector<std::string>{ids[1], ids[3]}));
}

// A reply names its parent by Message-ID: on its board, in an earlier log
// or a later one, on the board a moved reply names; never in a cycle, and
// not at all when no log holds the parent. The body starts with the
// message's first line, not with the blank line after the header lines.
TEST(Export, RepliesNameTheMessageTheyAnswer) {
  TempDir temp;
  writeBytes(temp.path("A.LOG"), boardLog({board(1, "x"),
                                           message(1, "X", "1", {"", "first"}),
                                           message(3, "Y", "3", {"", ">>4"}),
                                           message(5, "Z", "5", {"", ">>6"}),
                                           message(6, "Z", "6", {"", ">>5"}),
                                           board(2, "y"),
                                           message(1, "W", sj("x-#1より移動:1").c_str(), {">>3"}),
                                           message(2, "W", sj("#1より移動:1").c_str(), {">>1"}),
                                           {"*CH >"}}));
  writeBytes(temp.path("B.LOG"), boardLog({board(1, "x"),
                                           message(2, "Y", "2", {"", sj("#1「1」へのレス")}),
                                           message(4, "Y", "4", {"", ">>2"}),
                                           message(7, "Y", "7", {"", ">>99"}),
                                           {"*CH >"}}));
  const Result result = exportLogs(temp.path("out"), {temp.path("A.LOG"), temp.path("B.LOG")});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string x = fileBytes(temp.path("out/boards/x.mbox"));
  const std::vector<std::string> ids = headerValues(x, "Message-ID");  // 1, 3, 5, 6, 2, 4, 7
  ASSERT_EQ(ids.size(), 7u);
  // 3 answers 4, 5 answers 6 (and 6 not 5 again), 2 answers 1, 4 answers 2.
  EXPECT_EQ(headerValues(x, "In-Reply-To"),
            (std::vector<std::string>{ids[5], ids[3], ids[0], ids[4]}));
  EXPECT_NE(x.find("References: " + ids[0] + "\n " + ids[4] + "\n " + ids[5] + "\n"),
            std::string::npos);
  EXPECT_NE(x.find("8bit\n\nfirst\n"), std::string::npos);
  const std::string y = fileBytes(temp.path("out/boards/y.mbox"));
  EXPECT_EQ(headerValues(y, "In-Reply-To"), std::vector<std::string>{ids[0]});
}

TEST(Export, BodyAsMboxrdInUtf8WithOddBytesCounted) {
  TempDir temp;
  const std::string longLine = std::string(1022, 'x') + sj("あ") + "y";  // split inside a character
  writeBytes(temp.path("A.LOG"), boardLog({mail("M1", "t",
                                                {"From here", ">From there", ">>From x", "Frog",
                                                 "From", "bad \x85\x9f", longLine, "\tlast\r"})}));
  const Result result = exportLogs(temp.path("out"), {temp.path("A.LOG")});
  ASSERT_EQ(result.status, 0);
  const std::string mbox = fileBytes(temp.path("out/mail.mbox"));
  EXPECT_EQ(mbox.substr(mbox.find("\n\n") + 2),
            ">From here\n>>From there\n>>>From x\nFrog\nFrom\nbad \xEF\xBF\xBD\n" +
                std::string(1022, 'x') + "あy\n last\n\n");
  EXPECT_EQ(result.err,
            "zazir: 2 bytes of the logs are control bytes or have no Unicode form; written as "
            "U+FFFD\n");
}

TEST(Export, NoControlByteReachesAnyFile) {
  TempDir temp;
  writeBytes(
      temp.path("A.LOG"),
      boardLog({mail("M1", "t\x1b[1m",
                     {"a\x1b[2Jb\a", std::string("n\0u", 3), "eof\x1a", "del\x7f", "\ttab\tkept"}),
                board(1, "b"),
                message(1, "X", "1", {"m\x1b]0;title\a"}),
                {"*CH >", listingLine(7, "#one", "title", "検索中"), "--",
                 sj("新しいメッセージが 1 個あります。"), "--", "ID00001       >a\x07", "",
                 "FILE NEWS: " + sj("日付指定"), listingLine(3, "soft", "title", "検索中"),
                 "001:A.LZH  1", "  about\x1b[5m A", "*CH >", sj("《 気軽な伝言板 》"), "-----",
                 "ID00001       :(a) \x1b[31mred", "-----"}}));
  const Result result = exportLogs(temp.path("out"), {temp.path("A.LOG")});
  ASSERT_EQ(result.status, 0) << result.err;
  // The title's ESC once (in X-Original-Header), five in the mail's body,
  // two in the message, one in each of the other parts.
  EXPECT_EQ(result.err,
            "zazir: 11 bytes of the logs are control bytes or have no Unicode form; written as "
            "U+FFFD\n");
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.path("out"))) {
    // The archive's index is the program's own, hidden, and no text.
    if (!entry.is_regular_file() || entry.path().filename() == ".zazir-index") continue;
    ++files;
    const std::string bytes = fileBytes(entry.path());
    for (const char c : bytes) {
      EXPECT_FALSE((c >= 0 && c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
          << entry.path() << " holds " << int{c};
    }
  }
  EXPECT_EQ(files, 5);
  EXPECT_NE(fileBytes(temp.path("out/mail.mbox"))
                .find("\na\uFFFD[2Jb\uFFFD\nn\uFFFDu\neof\uFFFD\ndel\uFFFD\n tab\tkept\n"),
            std::string::npos);
}

TEST(Export, RefusesBeforeWritingAnything) {
  TempDir temp;
  writeBytes(temp.path("A.LOG"),
             boardLog({mail("M1", "t", {}), board(1, "x"), message(1, "X", "1", {})}));
  writeBytes(temp.path("EMPTY.LOG"), "nothing here\r\n");
  mkdir(temp.path("out").c_str(), 0700);
  mkdir(temp.path("out/boards").c_str(), 0700);
  writeBytes(temp.path("out/boards/x.mbox"), "mine");
  writeBytes(temp.path("file"), "");
  struct Case {
    const char* what;
    std::string dir;
    std::vector<std::string> logs;
    int status;
    std::string told;
  } cases[] = {
      {"a file to be written exists",
       temp.path("out"),
       {temp.path("A.LOG")},
       50,
       temp.path("out/boards/x.mbox") + ": exists"},
      {"the directory is a file", temp.path("file"), {temp.path("A.LOG")}, 50, "not a directory"},
      {"a log that is not there",
       temp.path("new"),
       {temp.path("A.LOG"), temp.path("NO.LOG")},
       50,
       temp.path("NO.LOG") + ": No such file or directory"},
      {"nothing to export", temp.path("new"), {temp.path("EMPTY.LOG")}, 1, "nothing to export"},
  };
  for (const Case& c : cases) {
    const Result result = exportLogs(c.dir, c.logs);
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_NE(result.err.find(c.told), std::string::npos) << c.what << ": " << result.err;
  }
  EXPECT_EQ(fileBytes(temp.path("out/mail.mbox")), "<none>");
  EXPECT_EQ(fileBytes(temp.path("out/boards/x.mbox")), "mine");
  EXPECT_FALSE(std::filesystem::exists(temp.path("new")));
}

TEST(Export, AFileThatCannotBeWrittenIsNamed) {
  TempDir temp;
  writeBytes(temp.path("A.LOG"), boardLog({mail("M1", "t", {std::string(8000, 'x')})}));
  testing::FileSizeLimit limit(4096);
  const Result result = exportLogs(temp.path("out"), {temp.path("A.LOG")});
  EXPECT_EQ(result.status, 50);
  EXPECT_EQ(result.err,
            "zazir: " + temp.path("out/mail.mbox") + ": File too large; nothing was written\n");
}

// Whatever ends an export before it is done (a full disk, a hang-up, a
// link put in place of a folder after the check), nothing it wrote is
// left, and the same export run again works.
TEST(Export, OneThatDoesNotFinishLeavesNothing) {
  TempDir temp;
  writeBytes(temp.path("A.LOG"), boardLog({mail("M1", "t", {std::string(8000, 'x')}),
                                           board(1, "x"),
                                           message(1, "X", "1", {"b"}),
                                           {"*CH >"}}));
  const std::string out = temp.path("out");
  mkdir(temp.path("elsewhere").c_str(), 0700);
  // True once the export has written a file somewhere under `out`.
  const auto writing = [&] {
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out, error)) {
      if (entry.is_regular_file() && entry.file_size() > 0) return true;
    }
    return false;
  };
  const std::vector<std::string> logs = {temp.path("A.LOG")};
  struct Case {
    const char* what;
    std::function<Result()> run;
    int status;
    std::string told;
  } cases[] = {
      {"a full disk",
       [&] {
         testing::FileSizeLimit limit(4096);
         return exportLogs(out, logs);
       },
       50, "File too large; nothing was written"},
      {"a hang-up", [&] { return exportLogs(out, logs, [&] { return writing() ? SIGHUP : 0; }); },
       128 + SIGHUP, out + ": Hangup; nothing was written"},
      {"a folder turned into a link",
       [&] {
         return exportLogs(out, logs, [&] {
           std::error_code error;
           if (writing()) {
             std::filesystem::create_directory_symlink(temp.path("elsewhere"), out + "/boards",
                                                       error);
           }
           return 0;
         });
       },
       50, out + "/boards: Not a directory; nothing was written"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(out);
    const Result result = c.run();
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_NE(result.err.find(c.told), std::string::npos) << c.what << ": " << result.err;
    std::error_code error;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out, error)) {
      if (!entry.is_symlink()) left.push_back(entry.path());
    }
    EXPECT_EQ(left, std::vector<std::string>{}) << c.what;
    EXPECT_TRUE(std::filesystem::is_empty(temp.path("elsewhere"))) << c.what;
    std::filesystem::remove_all(out);
    EXPECT_EQ(exportLogs(out, {temp.path("A.LOG")}).status, 0) << c.what;
    EXPECT_NE(fileBytes(out + "/boards/x.mbox"), "<none>") << c.what;
  }
}

TEST(ListCommand, OneRowAPartWithItsCount) {
  const std::string demo = std::string(ZAZIR_SOURCE_DIR) + "/examples/DEMO.LOG";
  const Result result = listLogs({demo});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string rows = result.out;
  EXPECT_EQ(rows.substr(0, rows.find('\n')),
            "log\tsection\tnumber\tid\tname\tdate\ttime\ttitle\tstatus\tcount");
  for (const char* row :
       {"\tmail\t1\tAKN00412\tかずや\t96/06/02\t21:40:12\t来週のオフ会について\t\t\n",
        "\tboard\t2\t\tpc98\t\t\tパソコン何でも相談室\t検索中\t3\n",
        "\tboard\t5\t\tcook\t\t\t料理・グルメ\tNo messages found\t0\n",
        "\tfileboard\t3\t\tdata\t\t\tデータ・素材集\t検索中\t3\n",
        "\tchat\t7\t\t#雑談\t\t\tなんでも雑談\t\t5\n", "\tnotewall\t\t\t\t\t\t\t\t6\n"}) {
    EXPECT_NE(rows.find(demo + row), std::string::npos) << row;
  }

  // A list that cannot be written is no success.
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  std::FILE* err = std::tmpfile();
  EXPECT_EQ(runList({demo}, full, err), 50);
  std::fclose(full);
  EXPECT_EQ(contents(err), "zazir: standard output: No space left on device\n");

  // A control byte in a title never reaches the terminal, nor splits a field.
  TempDir temp;
  writeBytes(temp.path("A.LOG"), logOf({listingLine(1, "x", "a\x1b[2Jb\tc", "未読なし")}));
  const Result empty = listLogs({temp.path("A.LOG")});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.out.find("\tboard\t1\t\tx\t\t\ta [2Jb c\t" + std::string("未読なし") + "\t0\n"),
            std::string::npos)
      << empty.out;
}

TEST(ListCommand, PrintsNothingBeforeKnowingAndSaysWhatIsNoLog) {
  TempDir temp;
  const std::string log = temp.path("A.LOG");
  writeBytes(log, boardLog({mail("M1", "t", {"m"})}));
  const std::string text = temp.path("NOTES.TXT");
  writeBytes(text, "nothing here\r\n");
  const std::string fifo = temp.path("FIFO");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(temp.path("pipes"));
  ASSERT_EQ(mkfifo(temp.path("pipes/P").c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> logs;
    int status;
    bool rows;
    std::string err;
  } cases[] = {
      {{fifo}, 50, false, "zazir: " + fifo + ": not a regular file\n"},
      {{log, "/dev/zero"}, 50, false, "zazir: /dev/zero: not a regular file\n"},
      {{text}, 1, false, "zazir: " + text + ": nothing in it looks like a log\n"},
      {{text, log}, 0, true, "zazir: " + text + ": nothing in it looks like a log\n"},
      {{temp.path("pipes")}, 1, false, "zazir: no file to list in the directories given\n"},
  };
  for (const Case& c : cases) {
    const Result result = listLogs(c.logs);
    EXPECT_EQ(result.status, c.status) << c.logs.front();
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out.empty(), !c.rows) << result.out;
    if (c.rows) {
      EXPECT_EQ(result.out.find(log + "\tmail\t1\tM1\t"), result.out.find('\n') + 1);
    }
  }
}

}  // namespace
}  // namespace zazir

#include "platform/textfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "platform/command.h"
#include "platform/privatefile.h"
#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::fileBytes;

std::string tempPath(const std::string& name) {
  static const testing::TempDir temp;
  const std::string path = temp.path(name);
  unlink(path.c_str());
  return path;
}

TEST(TextMode, RoundTrip) {
  const std::string path = tempPath("round.txt");
  ASSERT_TRUE(writeTextFile(path, "a\nb\n\nc"));
  EXPECT_EQ(fileBytes(path), "a\r\nb\r\n\r\nc");
  EXPECT_EQ(readTextFile(path).value(), "a\nb\n\nc");
  ASSERT_EQ(
      appendText({path, AppendRule::AsItStands, AppendMode::CreateIfMissing, FileGuard()}, "\nd\n"),
      AppendOutcome::Written);
  EXPECT_EQ(fileBytes(path), "a\r\nb\r\n\r\nc\r\nd\r\n");
}

TEST(TextMode, ReadingStopsAtAnEndMarkAndKeepsALoneCr) {
  EXPECT_EQ(fromTextMode("a\r\nb\rc\r\n\x1a"
                         "after"),
            "a\nb\rc\n");
  EXPECT_EQ(fromTextMode("\x1a"), "");
  EXPECT_EQ(toTextMode("x\n"), "x\r\n");
}

TEST(AppendOnOwnLine, Cases) {
  struct Case {
    const char* name;
    std::string before;  // bytes on disk; "<none>" for no file
    std::string after;
  } cases[] = {
      {"missing", "<none>", "new\r\n"},
      {"empty", "", "new\r\n"},
      {"ended", "old\r\n", "old\r\nnew\r\n"},
      {"unended", "old", "old\r\nnew\r\n"},
      {"end mark", "old\r\n\x1a", "old\r\nnew\r\n"},
      {"lone end mark", "\x1a", "new\r\n"},
      {"end mark after unended", "old\x1a", "old\r\nnew\r\n"},
  };
  for (const Case& c : cases) {
    const std::string path = tempPath("append.txt");
    if (c.before != "<none>") testing::writeBytes(path, c.before);
    EXPECT_TRUE(appendOnOwnLine(path, "new\n", FileGuard())) << c.name;
    EXPECT_EQ(fileBytes(path), c.after) << c.name;
  }
}

TEST(AppendOnOwnLine, AFileThatMustExistIsNotCreated) {
  const std::string path = tempPath("must.txt");
  EXPECT_FALSE(appendOnOwnLine(path, "x\n", FileGuard(), AppendMode::MustExist));
  EXPECT_FALSE(fileExists(path));
}

// A file system that fills up in the middle of the text: the file is left
// as it was, its end mark included, not with half a line; a text given in
// pieces is taken back too once some of it has reached the disk.
TEST(Append, AWriteThatFailsLeavesTheFileAsItWas) {
  const std::string path = tempPath("full.txt");
  const std::string piece = std::string(1000, 'p') + "\n";
  for (const AppendRule rule : {AppendRule::OwnLine, AppendRule::AsItStands}) {
    for (const std::string before : {"old\r\n\x1a", "old"}) {
      for (const std::size_t room : {4, 100 * 1024}) {
        testing::writeBytes(path, before);
        const AppendOutcome outcome = [&] {
          const testing::FileSizeLimit limit(before.size() + room);
          return appendText({path, rule, AppendMode::CreateIfMissing, FileGuard()},
                            [&](const TextSink& put) {
                              for (int k = 0; k < 200 && put(piece); ++k) {
                              }
                            });
        }();
        EXPECT_EQ(outcome, AppendOutcome::NotWritten) << room;
        EXPECT_EQ(fileBytes(path), before) << room;
      }
    }
  }
}

TEST(TextFiles, WritesThatFailAreReported) {
  EXPECT_FALSE(writeTextFile("/nonexistent-dir/x.txt", "a"));
  EXPECT_EQ(appendText({"/nonexistent-dir/x.txt", AppendRule::AsItStands,
                        AppendMode::CreateIfMissing, FileGuard()},
                       "a"),
            AppendOutcome::NotOpened);
  EXPECT_FALSE(appendOnOwnLine("/nonexistent-dir/x.txt", "a", FileGuard()));
}

TEST(TextFiles, APathHoldingANulByteNamesNoFile) {
  // Cut at the NUL, the path would name the file "nul".
  const std::string cut = tempPath("nul");
  const std::string path = cut + std::string(1, '\0') + ".txt";
  ASSERT_TRUE(writeTextFile(cut, "keep"));
  EXPECT_FALSE(writeTextFile(path, "a"));
  EXPECT_EQ(
      appendText({path, AppendRule::AsItStands, AppendMode::CreateIfMissing, FileGuard()}, "a"),
      AppendOutcome::NotOpened);
  EXPECT_FALSE(appendOnOwnLine(path, "a", FileGuard()));
  EXPECT_FALSE(createPrivateFile(path, "a"));
  EXPECT_FALSE(readBinaryFile(path));
  EXPECT_FALSE(fileExists(path));
  EXPECT_FALSE(removeFile(path, FileGuard()));
  EXPECT_EQ(fileBytes(cut), "keep");
}

TEST(TextFiles, ThePrivateFileDoesNotFollowASymbolicLink) {
  const std::string target = tempPath("target.txt");
  const std::string link = tempPath("link.tmp");
  ASSERT_TRUE(writeTextFile(target, "keep"));
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  // A fresh file beside the link is made, and a replacement takes the
  // link's place: neither writes through it.
  const std::optional<std::string> made = createPrivateFile(link, "new");
  ASSERT_TRUE(made);
  EXPECT_NE(*made, link);
  EXPECT_TRUE(replacePrivateFile(link, "overwrite"));
  EXPECT_EQ(fileBytes(target), "keep");
  EXPECT_EQ(fileBytes(link), "overwrite");
}

TEST(ShellQuote, QuotesOnlyWhatTheShellWouldTouch) {
  EXPECT_EQ(shellQuote("/tmp/ZQ2OFF.TMP"), "/tmp/ZQ2OFF.TMP");
  EXPECT_EQ(shellQuote("my file"), "'my file'");
  EXPECT_EQ(shellQuote("a'b;c"), "'a'\\''b;c'");
  EXPECT_EQ(shellQuote("$(rm -rf x)"), "'$(rm -rf x)'");
  EXPECT_EQ(shellQuote(""), "''");
}

TEST(RunShellCommand, RunsThroughTheShellAndTellsHowItEnded) {
  const std::string path = tempPath("ran.txt");
  using End = CommandResult::End;
  struct Case {
    std::string commandLine;
    CommandResult result;
  } cases[] = {
      {"printf ok > " + shellQuote(path), {End::Exited, 0}},
      {"exit 3", {End::Exited, 3}},
      {"/nonexistent/editor file", {End::NotStarted, 127}},
      {shellQuote(path) + " file", {End::NotStarted, 126}},  // not executable
      {"kill -TERM $$", {End::Killed, SIGTERM}},
      {"sh -c 'kill -KILL $$'; exit $?", {End::Killed, SIGKILL}},  // as the shell tells it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(runShellCommand(c.commandLine), c.result) << c.commandLine;
  }
  EXPECT_EQ(fileBytes(path), "ok");
}

}  // namespace
}  // namespace zazir

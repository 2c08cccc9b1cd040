// Two runs of the program appending to the same files at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "platform/appendedfile.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"
#include "text/format.h"

namespace zazir {
namespace {

constexpr int kCommands = 200;

// A command of three lines whose first and last name the writer and the
// command, so that a torn or interleaved one is seen.
std::string command(int writer, int number) {
  return formatText("EW%i;%i\n%s\n%i;%i//\n", writer, number, std::string(200, 'a' + writer),
                    writer, number);
}

// Appends every command of `writer` in a child process; the child's exit
// status tells whether each append said it was written.
pid_t startWriter(const AppendTarget& target, int writer) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  int failures = 0;
  for (int number = 0; number < kCommands; ++number) {
    failures += appendText(target, command(writer, number)) != AppendOutcome::Written;
  }
  _exit(failures == 0 ? 0 : 1);
}

TEST(SharedAppend, TwoProcessesAppendingAtOnceInterleaveWholeCommandsOnly) {
  const testing::TempDir temp;
  struct Case {
    const char* name;
    AppendRule rule;
    AppendMode mode;
    std::string before, kept;  // "old" gets its line end by the append rule
  } cases[] = {
      {"UPLOAD.UP", AppendRule::AsItStands, AppendMode::CreateIfMissing, "", ""},
      {"ID.TXT", AppendRule::OwnLine, AppendMode::MustExist, "old", "old\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AppendTarget target{temp.path(c.name), c.rule, c.mode, FileGuard()};
    testing::writeBytes(target.path, c.before);
    const pid_t writers[] = {startWriter(target, 0), startWriter(target, 1)};
    for (pid_t pid : writers) {
      int status = 0;
      ASSERT_EQ(waitpid(pid, &status, 0), pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const std::string bytes = testing::fileBytes(target.path);
    ASSERT_EQ(bytes.substr(0, c.kept.size()), c.kept);
    std::istringstream in(fromTextMode(bytes.substr(c.kept.size())));
    int next[2] = {0, 0};
    std::string first, body, last;
    while (std::getline(in, first) && std::getline(in, body) && std::getline(in, last)) {
      const int writer = first.size() > 2 ? first[2] - '0' : -1;
      ASSERT_TRUE(writer == 0 || writer == 1) << first;
      ASSERT_EQ(first + "\n" + body + "\n" + last + "\n", command(writer, next[writer]));
      ++next[writer];
    }
    EXPECT_EQ(next[0], kCommands);
    EXPECT_EQ(next[1], kCommands);
  }
}

// The upload file edited ("F") while another process appends: every
// rewrite (here one more byte at the start) and every command is there,
// whole and in order.
TEST(SharedAppend, RewritesWhileAnotherProcessAppendsLoseNothing) {
  constexpr int kRewrites = 100;
  const testing::TempDir temp;
  const AppendTarget target{temp.path("UPLOAD.UP"), AppendRule::AsItStands,
                            AppendMode::MustExist, FileGuard()};
  testing::writeBytes(target.path, "");
  const std::optional<FileIdentity> identity = identityOfPath(target.path);
  const pid_t writer = startWriter(target, 0);
  for (int n = 0; n < kRewrites; ++n) {
    ASSERT_EQ(rewriteAppendedFile(target, identity, std::string::npos - 1,
                                  [](std::string_view now) { return "R" + std::string(now); }),
              RewriteOutcome::Written);
  }
  int status = 0;
  ASSERT_EQ(waitpid(writer, &status, 0), writer);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  const std::string bytes = testing::fileBytes(target.path);
  ASSERT_EQ(bytes.substr(0, kRewrites), std::string(kRewrites, 'R'));
  std::istringstream in(fromTextMode(bytes.substr(kRewrites)));
  int next = 0;
  std::string first, body, last;
  while (std::getline(in, first) && std::getline(in, body) && std::getline(in, last)) {
    ASSERT_EQ(first + "\n" + body + "\n" + last + "\n", command(0, next));
    ++next;
  }
  EXPECT_EQ(next, kCommands);
}

}  // namespace
}  // namespace zazir

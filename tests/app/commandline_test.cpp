// What the command line asks for.
#include "app/commandline.h"

#include <gtest/gtest.h>

namespace zazir {
namespace {

TEST(CommandLine, Arguments) {
  struct Case {
    std::vector<std::string> args;
    CommandMode mode;
    std::string logArgument;
    std::string directory;
    std::vector<std::string> logs;
    std::string text = {};
  } cases[] = {
      {{}, CommandMode::Read, "", "", {}},
      {{"A.LOG", "--help", "x"}, CommandMode::Read, "A.LOG", "", {}},
      {{"--", "-odd.LOG"}, CommandMode::Read, "-odd.LOG", "", {}},
      {{"-"}, CommandMode::Read, "-", "", {}},
      {{"-h"}, CommandMode::Help, "", "", {}},
      {{"--version"}, CommandMode::Version, "", "", {}},
      {{"--list", "A.LOG", "logs/"}, CommandMode::List, "", "", {"A.LOG", "logs/"}},
      {{"--export", "out", "A.LOG", "--", "-b"}, CommandMode::Export, "", "out", {"A.LOG", "-b"}},
      {{"--list"}, CommandMode::Usage, "", "", {}},
      {{"--list", "-x", "A.LOG"}, CommandMode::Usage, "", "", {}},
      {{"--export", "out"}, CommandMode::Usage, "", "", {}},
      {{"--export", "", "A.LOG"}, CommandMode::Usage, "", "", {}},
      {{"--export", "--list", "A.LOG"}, CommandMode::Usage, "", "", {}},
      {{"--frobnicate"}, CommandMode::Usage, "", "", {}},
      // The text is taken as it stands, options after it are not.
      {{"--search", "-x", "A.LOG", "--", "-b"}, CommandMode::Search, "", "", {"A.LOG", "-b"}, "-x"},
      {{"--search", "x"}, CommandMode::Usage, "", "", {}},
      {{"--search", "", "A.LOG"}, CommandMode::Usage, "", "", {}},
      {{"--search", "x", "-y", "A.LOG"}, CommandMode::Usage, "", "", {}},
  };
  for (const Case& c : cases) {
    const CommandLine command = parseCommandLine(c.args);
    const std::string what = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(command.mode, c.mode) << what;
    EXPECT_EQ(command.logArgument, c.logArgument) << what;
    EXPECT_EQ(command.exportDirectory, c.directory) << what;
    EXPECT_EQ(command.logs, c.logs) << what;
    EXPECT_EQ(command.searchText, c.text) << what;
    EXPECT_EQ(command.problem.empty(), c.mode != CommandMode::Usage) << what;
  }
}

}  // namespace
}  // namespace zazir

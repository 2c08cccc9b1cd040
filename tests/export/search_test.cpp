// --search's lines where the log's bytes could break them: a tab, a line
// end or a control byte in any field, a log's name among them.
#include <gtest/gtest.h>

#include "export/searchcommand.h"
#include "formats/logindex_support.h"
#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::listingLine;
using testing::logOf;
using testing::sj;

struct SearchRun {
  int status;
  std::string out;
  std::string err;
};

std::string searchedBytes(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

SearchRun searchFor(const std::string& text, const std::vector<std::string>& logs) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = runSearch(text, logs, out, err);
  return {status, searchedBytes(out), searchedBytes(err)};
}

TEST(SearchCommand, EveryFieldStaysOnItsLine) {
  const testing::TempDir dir;
  const std::string log = logOf(
      {"CONNECT 9600", listingLine(1, "pc98", "t", "検索中"),
       sj("新しいメッセージが 1 件あります。"), "Message  #101 is from: USR00101\t" + sj("かずや"),
       "Date: 96/06/01 10:00:00", sj("題名: ") + "tab\there\tand\x1B[31m", "",
       "a\tneedle\rafter a CR\x07 bell", sj("*CH ボード番号 >"), sj("《 気軽な伝言板 》"), "----",
       "USR00002\t     :(x) needle\x1B]0;t\x07", "*CH"});
  const std::string path = dir.path("tab\there.LOG");
  testing::writeBytes(path, log);
  const SearchRun run = searchFor("NEEDLE", {path});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string name = dir.path("tab here.LOG");
  EXPECT_EQ(run.out,
            name + "\tboard\tpc98\t101\tUSR00101\ttab here and [31m\ta needle after a CR  bell\n" +
                name + "\tnotewall\t\t1\tUSR00002\t\tUSR00002      :(x) needle ]0;t \n");
}

}  // namespace
}  // namespace zazir

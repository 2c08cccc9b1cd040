// --export into a directory that holds an earlier export: only what is
// new is added, what was there is never changed, the index is made again
// when it cannot be trusted, a file of someone else's stops the export, and
// an export that fails or is killed midway leaves every file as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>

#include "export/exporter.h"
#include "formats/logindex_support.h"
#include "support/temp_dir.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::listingLine;
using testing::sj;
using testing::TempDir;
using testing::writeBytes;

namespace fs = std::filesystem;

struct ArchRun {
  int status;
  std::string err;
};

ArchRun archExport(
    const std::string& dir, const std::vector<std::string>& logs,
    ExportStop stop = [] { return 0; }) {
  std::FILE* err = std::tmpfile();
  const int status = runExport(dir, logs, err, std::move(stop));
  std::string text;
  std::rewind(err);
  for (int c; (c = std::fgetc(err)) != EOF;) text += static_cast<char>(c);
  std::fclose(err);
  return {status, text};
}

// Every file under `dir` by its name there, the hidden index included
// unless left out.
std::map<std::string, std::string> archFiles(const std::string& dir, bool index = true) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(dir, error)) {
    const std::string name = fs::relative(entry.path(), dir).string();
    if (entry.is_symlink() || entry.is_directory()) continue;
    if (!index && name == ".zazir-index") continue;
    files[name] = fileBytes(entry.path());
  }
  return files;
}

std::string archLog(std::initializer_list<std::vector<std::string>> parts) {
  std::string log;
  for (const auto& part : parts) {
    for (const std::string& line : part) log += line + "\r\n";
  }
  return log;
}

std::vector<std::string> archMail(const char* id, const char* title, std::string body = "m") {
  return {std::string("Private Message is from: ") + id + " h", "Date: 96/06/02 21:40:12",
          sj("題名: ") + title, body, sj("削除しますか (Y/N) > N")};
}

std::vector<std::string> archBoard(int number, const char* name, std::vector<int> messages) {
  std::vector<std::string> lines = {listingLine(number, name, "title", "検索中"),
                                    sj("新しいメッセージが 1 件あります。")};
  for (const int n : messages) {
    lines.push_back("Message  #" + std::to_string(n) + " is from: U" + std::to_string(n) + " h");
    lines.push_back("Date: 96/06/01 10:00:00");
    lines.push_back(sj("題名: t") + std::to_string(n));
    lines.push_back("body of " + std::to_string(n));
  }
  return lines;
}

std::vector<std::string> archChat(std::vector<std::string> said) {
  std::vector<std::string> lines = {
      "*CH >", listingLine(7, "#talk", "title", "検索中"), "--",
      sj("新しいメッセージが " + std::to_string(said.size()) + " 個あります。"), "--"};
  for (const std::string& line : said) lines.push_back(sj(line));
  lines.push_back("");
  return lines;
}

std::vector<std::string> archNotewall(std::vector<std::string> shown) {
  std::vector<std::string> lines = {sj("《 気軽な伝言板 》"), "-----"};
  for (const std::string& line : shown) lines.push_back(sj(line));
  lines.push_back("-----");
  return lines;
}

// Two visits: the second sees a mail, a message and two Notewall lines
// again, and a chat line that was said on the first day too.
struct ArchiveVisits {
  TempDir temp;
  std::string a = temp.path("A.LOG");
  std::string b = temp.path("B.LOG");
  ArchiveVisits(std::string mailBody = "m") {
    writeBytes(a, archLog({archMail("M1", "one", mailBody), archBoard(1, "news", {1, 2}),
                           archChat({"ID00001       >こんばんは", "ID00002       >hello"}),
                           archNotewall({"ID00001       :(a) n1", "ID00002       :(b) n2",
                                         "ID00003       :(c) n3"})}));
    writeBytes(b, archLog({archMail("M1", "one", mailBody), archMail("M2", "two"),
                           archBoard(1, "news", {2, 3}), archBoard(2, "fresh", {1}),
                           archChat({"ID00001       >こんばんは", "ID00003       >new"}),
                           archNotewall({"ID00004       :(d) n4", "ID00001       :(a) n1",
                                         "ID00002       :(b) n2"})}));
  }
};

// Each value of a header in a mailbox, in order.
std::vector<std::string> archHeader(const std::string& mbox, const std::string& name) {
  std::vector<std::string> values;
  for (std::size_t at = mbox.find("\n" + name + ": "); at != std::string::npos;
       at = mbox.find("\n" + name + ": ", at + 1)) {
    const std::size_t start = at + name.size() + 3;
    values.push_back(mbox.substr(start, mbox.find('\n', start) - start));
  }
  return values;
}

TEST(Archive, GrowsByWhatIsNewAndOnlyGrows) {
  ArchiveVisits visits;
  const std::string out = visits.temp.path("out");
  ASSERT_EQ(archExport(out, {visits.a}).status, 0);
  const auto before = archFiles(out, false);
  const ArchRun second = archExport(out, {visits.b});
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.err, "");
  const auto after = archFiles(out, false);
  for (const auto& [name, bytes] : before) {
    EXPECT_EQ(after.at(name).substr(0, bytes.size()), bytes) << name << " changed";
  }
  EXPECT_EQ(archHeader(after.at("boards/news.mbox"), "X-Message-Number"),
            (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(archHeader(after.at("boards/fresh.mbox"), "X-Message-Number"),
            std::vector<std::string>{"1"});
  EXPECT_EQ(archHeader(after.at("mail.mbox"), "Subject"), (std::vector<std::string>{"one", "two"}));
  // The repeat of the Notewall's recent lines is left out; a chat line said
  // again on another day is kept.
  EXPECT_EQ(after.at("notewall.txt"),
            "ID00001       :(a) n1\nID00002       :(b) n2\nID00003       :(c) n3\n"
            "ID00004       :(d) n4\n");
  EXPECT_EQ(after.at("chat/#talk.txt"),
            "ID00001       >こんばんは\nID00002       >hello\nID00001       >こんばんは\n"
            "ID00003       >new\n");

  // The same logs again add nothing; both at once make the same files.
  ASSERT_EQ(archExport(out, {visits.a, visits.b}).status, 0);
  EXPECT_EQ(archFiles(out, false), after);
  const std::string once = visits.temp.path("once");
  ASSERT_EQ(archExport(once, {visits.a, visits.b}).status, 0);
  EXPECT_EQ(archFiles(once, false), after);
}

// A mail reader rewrites the mailbox it shows: a message deleted there
// stays deleted, and what it wrote is kept.
TEST(Archive, KeepsWhatAMailReaderMadeOfAMailbox) {
  ArchiveVisits visits;
  const std::string out = visits.temp.path("out");
  writeBytes(visits.a, archLog({archMail("M0", "zero"), archMail("M1", "one")}));
  ASSERT_EQ(archExport(out, {visits.a}).status, 0);
  const std::string mbox = fileBytes(out + "/mail.mbox");
  const std::size_t second = mbox.find("\nFrom ") + 1;
  const std::string read = mbox.substr(0, second).insert(mbox.find("\n\n") + 1, "Status: RO\n");
  writeBytes(out + "/mail.mbox", read);
  const ArchRun run = archExport(out, {visits.a, visits.b});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string now = fileBytes(out + "/mail.mbox");
  EXPECT_EQ(now.substr(0, read.size()), read);
  EXPECT_EQ(archHeader(now, "Subject"), (std::vector<std::string>{"zero", "two"}));
}

TEST(Archive, AnIndexNotToBeTrustedIsMadeAgainAndSaid) {
  struct Case {
    const char* what;
    std::function<void(const std::string&)> spoil;
    const char* told;
  } cases[] = {
      {"damaged",
       [](const std::string& index) {
         std::string bytes = fileBytes(index);
         bytes[bytes.size() / 2] ^= 1;
         writeBytes(index, bytes);
       },
       "/.zazir-index: damaged; made again from the 4 files of the archive\n"},
      {"missing", [](const std::string& index) { fs::remove(index); },
       "/.zazir-index: missing; made again from the 4 files of the archive\n"},
      {"earlier",
       [](const std::string& index) {
         std::string bytes = fileBytes(index);
         bytes.replace(0, 14, "ZAZIR-INDEX 1\n");
         writeBytes(index, bytes);
       },
       "/.zazir-index: of an earlier version; made again from the 4 files of the archive\n"},
  };
  ArchiveVisits visits;
  const std::string clean = visits.temp.path("clean");
  ASSERT_EQ(archExport(clean, {visits.a}).status, 0);
  ASSERT_EQ(archExport(clean, {visits.b}).status, 0);
  for (const Case& c : cases) {
    const std::string out = visits.temp.path(c.what);
    ASSERT_EQ(archExport(out, {visits.a}).status, 0);
    const auto before = archFiles(out, false);
    c.spoil(out + "/.zazir-index");
    const ArchRun again = archExport(out, {visits.a});
    EXPECT_EQ(again.status, 0) << c.what;
    EXPECT_EQ(again.err, "zazir: " + out + c.told) << c.what;
    EXPECT_EQ(archFiles(out, false), before) << c.what;
    ASSERT_EQ(archExport(out, {visits.b}).status, 0) << c.what;
    EXPECT_EQ(archFiles(out, false), archFiles(clean, false)) << c.what;
  }
}

std::vector<std::string> archMessage(int number, const char* date, const std::string& body,
                                     const char* title = "t") {
  return {"Message  #" + std::to_string(number) + " is from: U" + std::to_string(number) + " h",
          std::string("Date: 96/06/") + date, sj("題名: ") + sj(title), body};
}

// Visits exported one by one thread as all of them at once: a reply names
// a message an earlier visit wrote, the latest of that number, and its
// ancestors; the index kept or made again from the mailboxes between them.
TEST(Archive, RepliesLinkToWhatEarlierVisitsWrote) {
  TempDir temp;
  const std::vector<std::string> logs = {temp.path("A.LOG"), temp.path("B.LOG"),
                                         temp.path("C.LOG")};
  const auto board = [](int number, const char* name) {
    return std::vector<std::string>{listingLine(number, name, "title", "検索中"),
                                    sj("新しいメッセージが 1 件あります。")};
  };
  writeBytes(logs[0], archLog({board(1, "news"),
                               archMessage(1, "01 10:00", "first"),
                               archMessage(2, "01 11:00", ">>1"),
                               {"*CH >"}}));
  // The board began again: its #1 is another message.
  writeBytes(logs[1], archLog({board(1, "news"),
                               archMessage(1, "08 10:00", "again"),
                               archMessage(3, "08 11:00", ">>2"),
                               {"*CH >"}}));
  writeBytes(logs[2], archLog({board(1, "news"),
                               archMessage(4, "15 10:00", ">>1"),
                               archMessage(5, "15 11:00", ">>3"),
                               board(2, "other"),
                               archMessage(1, "15 12:00", "moved", "news-#2より移動:t"),
                               {"*CH >"}}));
  const std::string once = temp.path("once");
  ASSERT_EQ(archExport(once, logs).status, 0);
  const auto whole = archFiles(once, false);
  const std::string news = whole.at("boards/news.mbox");
  const std::vector<std::string> ids = archHeader(news, "Message-ID");  // A1 A2 B1 B3 C4 C5
  ASSERT_EQ(ids.size(), 6u);
  EXPECT_EQ(archHeader(news, "In-Reply-To"),
            (std::vector<std::string>{ids[0], ids[1], ids[2], ids[3]}));
  EXPECT_NE(news.find("References: " + ids[0] + "\n " + ids[1] + "\n " + ids[3] + "\n"),
            std::string::npos);
  EXPECT_EQ(archHeader(whole.at("boards/other.mbox"), "In-Reply-To"),
            std::vector<std::string>{ids[1]});

  for (const char* index : {"kept", "made again"}) {
    const std::string out = temp.path(index);
    for (const std::string& log : logs) {
      if (std::string(index) != "kept") fs::remove(out + "/.zazir-index");
      const ArchRun run = archExport(out, {log});
      ASSERT_EQ(run.status, 0) << index << ": " << run.err;
    }
    EXPECT_EQ(archFiles(out, false), whole) << index;
  }
}

TEST(Archive, AFileOfSomeoneElsesStopsItBeforeAnythingIsWritten) {
  ArchiveVisits visits;
  const std::string out = visits.temp.path("out");
  struct Case {
    const char* what;
    std::function<void()> plant;
    std::string told;
  } cases[] = {
      {"a file the index does not name, though it reads as an export's",
       [&] { fs::copy_file(out + "/boards/news.mbox", out + "/boards/fresh.mbox"); },
       out + "/boards/fresh.mbox: exists and is not a file of this archive"},
      {"no index, and notes of one's own where the Notewall goes",
       [&] {
         fs::remove(out + "/.zazir-index");
         writeBytes(out + "/notewall.txt", "my own notes\n\nmore\n");
       },
       out + "/notewall.txt: exists and is not a file of this archive"},
      {"a link in place of a file of the archive",
       [&] {
         fs::remove(out + "/chat/#talk.txt");
         fs::create_symlink(visits.a, out + "/chat/#talk.txt");
       },
       out + "/chat/#talk.txt: exists and is not a regular file"},
  };
  for (const Case& c : cases) {
    fs::remove_all(out);
    ASSERT_EQ(archExport(out, {visits.a}).status, 0);
    c.plant();
    const auto before = archFiles(out);
    const std::string log = fileBytes(visits.a);
    const ArchRun run = archExport(out, {visits.b});
    EXPECT_EQ(run.status, 50) << c.what;
    EXPECT_NE(run.err.find(c.told + "; nothing was written"), std::string::npos)
        << c.what << ": " << run.err;
    EXPECT_EQ(archFiles(out), before) << c.what;
    EXPECT_EQ(fileBytes(visits.a), log) << c.what;
  }
}

// The export B over A that a full disk, a stop or a kill interrupts: a
// mailbox near the size limit makes the commit fail after the other files
// had their additions.
TEST(Archive, AnExportCutShortLeavesEveryFileAsItWas) {
  ArchiveVisits visits(std::string(6000, 'x'));
  const std::string clean = visits.temp.path("clean");
  ASSERT_EQ(archExport(clean, {visits.a}).status, 0);
  ASSERT_EQ(archExport(clean, {visits.b}).status, 0);
  const auto grown = archFiles(clean, false);
  const std::string out = visits.temp.path("out");
  const auto limit = static_cast<rlim_t>(fs::file_size(clean + "/mail.mbox") - 100);

  fs::remove_all(out);
  ASSERT_EQ(archExport(out, {visits.a}).status, 0);
  const auto before = archFiles(out);
  {
    testing::FileSizeLimit full(limit);
    const ArchRun run = archExport(out, {visits.b});
    EXPECT_EQ(run.status, 50);
    EXPECT_EQ(run.err, "zazir: " + out + "/mail.mbox: File too large; nothing was written\n");
  }
  EXPECT_EQ(archFiles(out), before);
  int asked = 0;
  EXPECT_EQ(archExport(out, {visits.b}, [&] { return ++asked > 3 ? SIGHUP : 0; }).status,
            128 + SIGHUP);
  EXPECT_EQ(archFiles(out), before);
  // A file put in the place of one of the archive's while it ran is not
  // added to.
  int calls = 0;
  const ArchRun swapped = archExport(out, {visits.b}, [&] {
    if (++calls == 3) {
      fs::copy_file(out + "/mail.mbox", out + "/copy");
      fs::rename(out + "/copy", out + "/mail.mbox");
    }
    return 0;
  });
  EXPECT_EQ(swapped.status, 50);
  EXPECT_EQ(swapped.err,
            "zazir: " + out + "/mail.mbox: changed while the export ran; nothing was written\n");
  EXPECT_EQ(archFiles(out), before);

  // Killed by the limit while it appends: the files it reached have grown
  // until the next export takes them back.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit none{0, 0};
    const rlimit size{limit, limit};
    setrlimit(RLIMIT_CORE, &none);
    setrlimit(RLIMIT_FSIZE, &size);
    std::signal(SIGXFSZ, SIG_DFL);
    std::FILE* err = std::tmpfile();
    _exit(runExport(out, {visits.b}, err, [] { return 0; }));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  EXPECT_GT(fileBytes(out + "/boards/news.mbox").size(), before.at("boards/news.mbox").size());
  const ArchRun next = archExport(out, {visits.b});
  EXPECT_EQ(next.status, 0);
  EXPECT_EQ(next.err, "zazir: " + out + ": an export that did not finish was taken back\n");
  EXPECT_EQ(archFiles(out, false), grown);
}

}  // namespace
}  // namespace zazir

#include "memcheck.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "app/navigation.h"
#include "app/searchscreen.h"
#include "chat/chat.h"
#include "chat/chatrecord.h"
#include "compose/compose.h"
#include "console/keys.h"
#include "console/render.h"
#include "export/exporter.h"
#include "formats/hostcommands.h"
#include "formats/logindex.h"
#include "loggen.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "readers/messageboard.h"
#include "services/app.h"

namespace zazir::bench {

using namespace zazir::literals;

namespace {

// A terminal that types a fixed script and shows nothing; a screen that
// waits for a key beyond the script ends the case as a failure.
class ScriptedKeys : public TerminalBackend {
 public:
  explicit ScriptedKeys(std::initializer_list<Key> keys) : keys_(keys) {}
  void present(const Screen& screen) override {
    shown_.clear();
    for (int row = 0; row < screen.rows(); ++row) shown_.push_back(rowToUtf8(screen, row));
  }
  void bell() override {}
  Key readKey() override {
    if (keys_.empty()) throw std::runtime_error("the key script ran out");
    const Key key = keys_.front();
    keys_.pop_front();
    return key;
  }
  int rows() const override { return 25; }
  std::string inputCodeset() const override { return "UTF-8"; }
  void suspend() override {}
  void resume() override {}

  // Row `row` of the last screen shown (UTF-8).
  std::string row(int row) const {
    return row >= 0 && row < static_cast<int>(shown_.size()) ? shown_[row] : std::string();
  }

 private:
  std::deque<Key> keys_;
  std::vector<std::string> shown_;
};

// Where the log has its long line; Hits: no long line, but a board of
// messages with a hit on every body line.
enum class LongLine { InMessage, InChat, InNotewall, Hits };

struct Case {
  const char* name;
  LongLine where;
  std::initializer_list<Key> keys;
  std::function<void(App&)> run;
  // What the action must have written: the file and a text it begins with;
  // with `holdsTheLine`, the long line whole too (of the text: the text
  // whole). No file: the last screen must show `shows` on row `row`.
  const char* file;
  std::string_view begins;
  bool holdsTheLine = false;
  long long hits = 0;  // in the log, for LongLine::Hits
  int row = 0;
  std::string_view shows = {};
};

// A message board of messages of 500 body lines, each line a hit for
// "memo", `hits` in all.
bool writeHitsLog(const std::string& path, long long hits) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::string block;
  const auto line = [&](std::string_view text) {
    block += text;
    block += "\r\n";
    if (block.size() >= (1 << 20)) {
      std::fwrite(block.data(), 1, block.size(), file);
      block.clear();
    }
  };
  line("CONNECT 9600");
  line(listingLine(1, "board1", "雑談"_sj, "検索中"_sj));
  line("新しいメッセージが 2 件あります。"_sj);
  constexpr int kLinesEach = 500;
  for (long long number = 1; (number - 1) * kLinesEach < hits; ++number) {
    line("Message  #" + std::to_string(number) + " is from: USR00001 kazuya");
    line("Date: 96/06/01 12:00:00");
    line("題名: メモ"_sj);
    line("");
    for (long long k = (number - 1) * kLinesEach; k < std::min(hits, number * kLinesEach); ++k) {
      line("a memo line");
    }
  }
  line("*CH ボード番号 (?:一覧 RET:終了) >"_sj);
  std::fwrite(block.data(), 1, block.size(), file);
  return std::fclose(file) == 0;
}

// The editor of the text case: it leaves a text of `bytes` bytes in the
// temporary file.
CommandResult writeLongText(const std::string& path, long long bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return CommandResult{};
  std::string block;
  while (block.size() < (1 << 20)) block += "長い文章の一行です。\r\n"_sj;
  for (long long left = bytes; left > 0; left -= static_cast<long long>(block.size())) {
    std::fwrite(block.data(), 1, std::min<std::size_t>(block.size(), left), file);
  }
  std::fclose(file);
  return CommandResult{};
}

constexpr long long kTextBytes = 100LL << 20;

// The chat, Notewall and message board parts of a log, with one line of
// `bytes` bytes of double-byte text (CR LF ended) where `where` says.
bool writeLog(const std::string& path, LongLine where, long long bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const auto line = [file](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fwrite("\r\n", 1, 2, file);
  };
  const auto longLine = [&](std::string_view lead) {
    std::fwrite(lead.data(), 1, lead.size(), file);
    std::string block;
    while (block.size() < (1 << 20)) block += "長い行"_sj;
    for (long long left = bytes; left > 0; left -= static_cast<long long>(block.size())) {
      std::fwrite(block.data(), 1, std::min<std::size_t>(block.size(), left), file);
    }
    std::fwrite("\r\n", 1, 2, file);
  };
  line("CONNECT 9600");
  line(listingLine(1, "board1", "雑談"_sj, "検索中"_sj));
  line("未読メッセージを検索しています..."_sj);
  line("新しいメッセージが 2 件あります。"_sj);
  for (int number = 1000; number < 1002; ++number) {
    line("Message  #" + std::to_string(number) + " is from: USR00001 kazuya");
    line("Date: 96/06/01 12:00:00");
    line("題名: 長い行のテスト"_sj);
    line("");
    line("a short line");
    if (number == 1000 && where == LongLine::InMessage) longLine("");
    line("the last line");
  }
  line("*CH ボード番号 (?:一覧 RET:終了) >"_sj);
  line(listingLine(101, "#chat101", "１行チャット"_sj, "検索中"_sj));
  line("");
  line("新しいメッセージが 3 個あります。"_sj);
  line("----");
  line("USR00001      >short");
  if (where == LongLine::InChat) longLine("USR00002      >");
  line("USR00003      >short");
  line("");
  line("《 気軽な伝言板 》"_sj);
  line("----");
  line("USR00001      :short");
  if (where == LongLine::InNotewall) longLine("USR00002      :");
  line("USR00003      :short");
  line("*CH");
  return std::fclose(file) == 0;
}

const Case kCases[] = {
    {"chat", LongLine::InChat, {}, recordChatBackLogs, "#chat101", "USR00001      >short\r\n"},
    // Down to the long line, R, the proposal taken, Esc.
    {"notewall",
     LongLine::InNotewall,
     {key::kDown, 'R', key::kEnter, key::kEscape},
     [](App& app) {
       ListPositions lists;
       runNotewallLoop(app, lists);
     },
     "LONG.UP",
     "P\r\n"},
    // R, the title kept, the editor leaves the text, Y, Esc.
    {"reply",
     LongLine::InMessage,
     {'r', 'n', 'y', key::kEscape},
     [](App& app) {
       LastSearch last;
       ListPositions lists;
       readMessageBoard(app, last, lists, 0);
     },
     "LONG.UP",
     "ER1;1000;Y\r\n"},
    // S, the proposed file, Esc.
    {"save",
     LongLine::InMessage,
     {'s', key::kEnter, key::kEscape},
     [](App& app) {
       LastSearch last;
       ListPositions lists;
       readMessageBoard(app, last, lists, 0);
     },
     "board1.TXT",
     "Message  #1000",
     true},
    // M, C, the proposed title, Y, Esc.
    {"batch",
     LongLine::InMessage,
     {'m', 'c', key::kEnter, 'y', key::kEscape},
     [](App& app) {
       LastSearch last;
       ListPositions lists;
       readMessageBoard(app, last, lists, 0);
     },
     "LONG.UP",
     "EW1;"},
    // The whole log to mailboxes: the long line goes over whole.
    {"export",
     LongLine::InMessage,
     {},
     [](App&) { runExport("OUT", {"LONG.LOG"}, stderr); },
     "OUT/boards/board1.mbox",
     "From USR00001@zazir.invalid",
     true},
    // "/" in the reader, the text, "n" twice, Esc: the match in the title,
    // those in the long line's shown part.
    {"find",
     LongLine::InMessage,
     {'/', '\xE8', '\xA1', '\x8C', key::kEnter, 'n', 'n', key::kEscape},
     [](App& app) {
       LastSearch last;
       ListPositions lists;
       readMessageBoard(app, last, lists, 0);
     },
     nullptr,
     {},
     false,
     0,
     2,
     "題名: 長い行のテスト"},
    // The whole-log search, its text, End, Esc: the last page of hits.
    {"hits2m",
     LongLine::Hits,
     {'m', 'e', 'm', 'o', key::kEnter, key::kEnd, key::kEscape},
     [](App& app) {
       Reading reading{app};
       searchWholeLog(reading);
     },
     nullptr,
     {},
     false,
     2000000,
     1,
     "検索「memo」 1999999～2000000件目 / 全2000000件"},
    {"hits8m",
     LongLine::Hits,
     {'m', 'e', 'm', 'o', key::kEnter, key::kEnd, key::kEscape},
     [](App& app) {
       Reading reading{app};
       searchWholeLog(reading);
     },
     nullptr,
     {},
     false,
     8000000,
     1,
     "検索「memo」 7999993～8000000件目 / 全8000000件"},
    // A new post whose editor leaves a text of 100 MiB: refused unread,
    // the notice's key; the text stays in its file.
    {"text",
     LongLine::InMessage,
     {' '},
     [](App& app) { composeAndWrite(app, {}, newPostCommand(1, "t")); },
     "ZQ2OFF.TMP",
     "長い文章"_sj,
     true},
};

long peakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

std::vector<std::string> memoryCaseNames() {
  std::vector<std::string> names;
  for (const Case& c : kCases) names.emplace_back(c.name);
  return names;
}

int memoryCheck(const std::string& name, long mebibytes, const std::string& dir) {
  const Case* found = nullptr;
  for (const Case& c : kCases) found = name == c.name ? &c : found;
  if (!found) {
    std::fprintf(stderr, "zazir_bench: no memory case %s\n", name.c_str());
    return 2;
  }
  const Case& c = *found;
  const bool isText = name == "text";
  const long long lineBytes = isText ? kTextBytes - 1 : static_cast<long long>(mebibytes) << 20;
  if (chdir(dir.c_str()) != 0 ||
      !(c.where == LongLine::Hits ? writeHitsLog("LONG.LOG", c.hits)
                                  : writeLog("LONG.LOG", c.where, lineBytes))) {
    std::fprintf(stderr, "zazir_bench: cannot write the log in %s\n", dir.c_str());
    return 2;
  }
  auto log = FileLineStream::open("LONG.LOG");
  LogIndex index;
  indexLog(*log, index);
  Config config;
  config.uploadfile = "LONG.UP";
  config.idfile = "ID.TXT";
  config.grouplistfile = "GROUP.TXT";
  config.quotation = "%s>";
  config.headReplyNews = "%s %s %s";
  RunState state;
  state.logIdentity = log->identity();
  OpenLog opened{*log, "LONG.LOG", log->tell(), [](std::size_t buffer) {
                   return std::unique_ptr<LineStream>(FileLineStream::open("LONG.LOG", buffer));
                 }};
  ScriptedKeys keys(c.keys);
  // The editor keeps the text, or leaves a long one.
  Console console(keys, [isText](const std::string&) {
    return isText ? writeLongText("ZQ2OFF.TMP", kTextBytes) : CommandResult{};
  });
  ReadMarks marks;
  App app{console, config, index, state, opened, marks};

  bool ran = true;
  try {
    c.run(app);
  } catch (const std::exception& error) {
    std::printf("%s: %s\n", c.name, error.what());
    ran = false;
  }
  const long peak = peakKib();
  std::error_code error;
  bool wrote = keys.row(c.row) == c.shows;
  if (c.file) {
    const auto size = static_cast<long long>(std::filesystem::file_size(c.file, error));
    wrote = readBinaryFile(c.file, c.begins.size()) == c.begins &&
            (!c.holdsTheLine || (!error && size > lineBytes));
  }
  // The text case: nothing of the text reached the upload file.
  if (isText && fileExists("LONG.UP")) wrote = false;
  const bool passed = ran && wrote && peak < kMemoryLimitKib;
  if (!c.file) std::printf("%s: %s\n", c.name, keys.row(c.row).c_str());
  std::printf("%-8s peak %6ld KiB (limit %ld KiB), %s: %s\n", c.name, peak, kMemoryLimitKib,
              wrote ? "written as expected" : "NOT written as expected",
              passed ? "passed" : "FAILED");
  return passed ? 0 : 1;
}

}  // namespace zazir::bench

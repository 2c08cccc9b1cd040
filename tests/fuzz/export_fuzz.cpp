// The export over any log: it ends done or with nothing to export, no file
// it writes holds a control byte but TAB and LF, and the mailboxes parse
// back (mboxrd, plain ASCII headers, UTF-8 bodies) into exactly the
// messages and mail of the log, each once; the text files hold exactly the
// lines of the file boards, chat and Notewall. The log and the export go
// to a private directory, emptied before every run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "export/archiveindex.h"
#include "export/exporter.h"
#include "export/logparts.h"
#include "export/seenset.h"
#include "export/utf8text.h"
#include "formats/boardlog.h"
#include "formats/logindex.h"
#include "fuzz_check.h"
#include "platform/linestream.h"

using namespace zazir;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

fs::path& sandbox() {
  static fs::path path;
  return path;
}

void removeSandbox() {
  std::error_code ignored;
  if (!sandbox().empty()) fs::remove_all(sandbox(), ignored);
}

std::string bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Each line of `text` without its LF; the text ends with one, or is empty.
Lines linesOf(std::string_view text) {
  Lines lines;
  FUZZ_CHECK(text.empty() || text.back() == '\n');
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    lines.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    // CP932 lies in the Basic Multilingual Plane: three bytes at most.
    const std::size_t size = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                                                           : 0;
    if (size == 0 || at + size > text.size()) return false;
    for (std::size_t i = 1; i < size; ++i) {
      if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
    }
    at += size;
  }
  return true;
}

std::string hex(std::uint64_t value) {
  std::string out(16, '0');
  for (std::size_t i = 16; i-- > 0; value >>= 4) out[i] = "0123456789abcdef"[value & 0xF];
  return out;
}

// What the log holds, as the export should write it: each message or mail
// by its Message-ID with its body lines in UTF-8, and every line of the
// text parts.
struct Expected {
  std::map<std::string, Lines> messages;
  std::multiset<std::string> textLines;
};

class Collector : public ItemSink {
 public:
  Collector(Expected& expected, SeenSet& seen, const std::string* board)
      : expected_(expected), seen_(seen), board_(board) {}
  Take begin(const Lines& header) override {
    if (board_ == nullptr) return Take::Body;
    const int number = board_->empty() || header.empty() ? 0 : messageNumber(header.front());
    const std::uint64_t key = messageKey(*board_, number, header);
    if (!seen_.insert(key)) return Take::Skip;
    body_ = &expected_.messages["<" + hex(key) + "@zazir.invalid>"];
    return Take::Body;
  }
  void text(std::string_view piece) override { decoder_.decode(piece, line_); }
  void lineEnd() override {
    decoder_.finish(line_);
    if (board_ == nullptr) {
      expected_.textLines.insert(line_);
    } else {
      body_->push_back(line_);
    }
    line_.clear();
  }
  void end() override {}

 private:
  Expected& expected_;
  SeenSet& seen_;
  const std::string* board_;  // null: a text part
  Lines* body_ = nullptr;
  std::string line_;
  Utf8Decoder decoder_;
};

Expected expectedOf(const std::string& logPath) {
  Expected expected;
  auto log = FileLineStream::open(logPath);
  FUZZ_CHECK(log != nullptr);
  LogIndex index;
  indexLog(*log, index);
  SeenSet seen;
  const std::string mail;
  Collector mails(expected, seen, &mail);
  for (int m = 0; m < index.mailCount(); ++m) walkMail(*log, index, m, mails);
  for (int b = 0; b < index.messageBoardCount(); ++b) {
    Collector messages(expected, seen, &index.messageBoards[static_cast<std::size_t>(b)].name);
    walkMessages(*log, index, b, messages);
  }
  Collector text(expected, seen, nullptr);
  for (int b = 0; b < index.fileBoardCount(); ++b) walkFileEntries(*log, index, b, text);
  for (int c = 0; c < index.chatBoardCount(); ++c) walkChatLines(*log, index, c, text);
  walkNotewall(*log, index, text);
  return expected;
}

bool startsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// Reads an mboxrd file back into `messages`, checking its form.
void parseMbox(const std::string& mbox, std::map<std::string, Lines>& messages) {
  const Lines lines = linesOf(mbox);
  std::size_t at = 0;
  while (at < lines.size()) {
    FUZZ_CHECK(startsWith(lines[at], "From ") && lines[at].find('@') != std::string::npos);
    ++at;
    std::set<std::string> names;
    std::string id;
    for (; at < lines.size() && !lines[at].empty(); ++at) {
      const std::string& line = lines[at];
      for (const char c : line) FUZZ_CHECK(c >= 0x20 && c <= 0x7E);
      if (line.front() == ' ') {
        FUZZ_CHECK(!names.empty());  // a folded line goes on a header
        continue;
      }
      const std::size_t colon = line.find(": ");
      FUZZ_CHECK(colon != std::string::npos && colon > 0);
      const std::string name = line.substr(0, colon);
      names.insert(name);
      if (name == "Message-ID") id = line.substr(colon + 2);
    }
    for (const char* name : {"From", "Subject", "Message-ID", "MIME-Version", "Content-Type",
                             "Content-Transfer-Encoding"}) {
      FUZZ_CHECK(names.count(name) == 1);
    }
    FUZZ_CHECK(at < lines.size());  // the blank line after the headers
    ++at;
    Lines body;
    for (; at < lines.size() && !startsWith(lines[at], "From "); ++at) {
      std::string line = lines[at];
      FUZZ_CHECK(isValidUtf8(line));
      const std::size_t quotes = line.find_first_not_of('>');
      if (quotes != 0 && quotes != std::string::npos && startsWith(line.substr(quotes), "From ")) {
        line.erase(0, 1);
      }
      body.push_back(line);
    }
    FUZZ_CHECK(!body.empty() && body.back().empty());  // the blank line that ends a message
    body.pop_back();
    FUZZ_CHECK(messages.emplace(id, body).second);  // each message once
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zazir-fuzz-XXXXXX";
  FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
  sandbox() = pattern;
  std::atexit(removeSandbox);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path log = sandbox() / "FUZZ.LOG";
  const fs::path out = sandbox() / "out";
  std::error_code ignored;
  fs::remove_all(out, ignored);
  {
    std::ofstream file(log, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  std::FILE* err = std::fopen("/dev/null", "w");
  FUZZ_CHECK(err != nullptr);
  const int status = runExport(out.string(), {log.string()}, err);
  std::fclose(err);
  FUZZ_CHECK(status == 0 || status == 1);

  const Expected expected = expectedOf(log.string());
  std::map<std::string, Lines> messages;
  std::multiset<std::string> textLines;
  if (status == 0) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(out)) {
      if (entry.is_directory()) continue;
      FUZZ_CHECK(entry.is_regular_file());
      // The archive's own index is binary; what a reader reads is checked.
      if (entry.path().filename() == kArchiveIndexName) continue;
      const std::string bytes = bytesOf(entry.path());
      for (const char c : bytes) {
        FUZZ_CHECK(!((c >= 0 && c < 0x20 && c != '\t' && c != '\n') || c == 0x7F));
      }
      if (entry.path().extension() == ".mbox") {
        parseMbox(bytes, messages);
      } else {
        for (std::string& line : linesOf(bytes)) {
          FUZZ_CHECK(isValidUtf8(line));
          textLines.insert(std::move(line));
        }
      }
    }
  }
  FUZZ_CHECK(messages == expected.messages);
  FUZZ_CHECK(textLines == expected.textLines);
  return 0;
}

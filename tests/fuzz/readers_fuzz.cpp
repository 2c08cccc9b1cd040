// The readers over any log, driven by any keys: the message board reader,
// the file board reader, the mail reader, and the main menu with everything
// behind it. The input
// is a mode byte, a key count, the keys (one byte each; a few control
// bytes stand for named keys), then the log.
// A run ends when the keys run out or the program ends. The program works
// in a private directory that is emptied before every run; a "/" in the
// keys or the log becomes "_", so that no typed or logged name can reach
// outside it. Afterwards the screen, rendered for a UTF-8 terminal, must
// hold no control byte or escape sequence that the renderer did not make.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/mainmenu.h"
#include "chat/chatrecord.h"
#include "console/console.h"
#include "console/dialogs.h"
#include "console/render.h"
#include "fuzz_check.h"
#include "platform/textfile.h"
#include "readers/fileboard.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "services/app.h"

using namespace zazir;

namespace {

struct OutOfKeys {};

// Keys from the input; none left ends the run.
class FuzzBackend : public TerminalBackend {
 public:
  FuzzBackend(std::string_view keys, std::string codeset)
      : keys_(keys), codeset_(std::move(codeset)) {}
  void present(const Screen&) override {}
  void bell() override {}
  // Ctrl-H, Ctrl-J, Ctrl-K and Ctrl-L stand for the arrows (as the corpus
  // has them), Ctrl-P to Ctrl-S for the page keys, Home and End; Ctrl-T
  // gives the terminal 20 to 59 rows, by the byte after it.
  Key readKey() override {
    if (at_ >= keys_.size()) throw OutOfKeys{};
    const auto byte = static_cast<unsigned char>(keys_[at_++]);
    switch (byte) {
      case 0x08:
        return key::kLeft;
      case 0x0A:
        return key::kDown;
      case 0x0B:
        return key::kUp;
      case 0x0C:
        return key::kRight;
      case 0x10:
        return key::kPageUp;
      case 0x11:
        return key::kPageDown;
      case 0x12:
        return key::kHome;
      case 0x13:
        return key::kEnd;
      case 0x14:
        rows_ = 20 + (at_ < keys_.size() ? static_cast<unsigned char>(keys_[at_++]) % 40 : 0);
        return key::kResize;
      default:
        return keyOfByte(byte == '/' ? '_' : byte);
    }
  }
  int rows() const override { return rows_; }
  std::string inputCodeset() const override { return codeset_; }
  void suspend() override {}
  void resume() override {}

 private:
  std::string_view keys_;
  std::size_t at_ = 0;
  std::string codeset_;
  int rows_ = kScreenHeight;
};

std::string& sandbox() {
  static std::string path;
  return path;
}

void removeSandbox() {
  if (sandbox().empty()) return;
  if (DIR* dir = opendir(sandbox().c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") unlink((sandbox() + "/" + name).c_str());
    }
    closedir(dir);
  }
  rmdir(sandbox().c_str());
}

// Empties the directory; only regular files may ever be found there.
void emptySandbox() {
  DIR* dir = opendir(".");
  FUZZ_CHECK(dir != nullptr);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    FUZZ_CHECK(lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode));
    FUZZ_CHECK(unlink(name.c_str()) == 0);
  }
  closedir(dir);
}

// The bytes the renderer writes are its own sequences (ESC [ digits and
// semicolons, then H, J or m) and UTF-8 text without control characters.
void checkFrame(const std::string& frame) {
  for (std::size_t at = 0; at < frame.size();) {
    const unsigned char byte = static_cast<unsigned char>(frame[at]);
    if (byte == 0x1b) {
      FUZZ_CHECK(at + 1 < frame.size() && frame[at + 1] == '[');
      at += 2;
      while (at < frame.size() && ((frame[at] >= '0' && frame[at] <= '9') || frame[at] == ';'))
        ++at;
      FUZZ_CHECK(at < frame.size() && (frame[at] == 'H' || frame[at] == 'J' || frame[at] == 'm'));
      ++at;
      continue;
    }
    FUZZ_CHECK(byte >= 0x20 && byte != 0x7f);
    // No C1 control (U+0080 to U+009F: C2 80 to C2 9F).
    if (byte == 0xc2 && at + 1 < frame.size()) {
      FUZZ_CHECK(static_cast<unsigned char>(frame[at + 1]) >= 0xa0);
    }
    ++at;
  }
}

// A plain configuration, or (mode bit 3) a hostile one: formats that ask
// for huge fields, and an upload file that is a directory, so that every
// command fails and is told.
Config fuzzConfig(std::uint8_t mode) {
  const bool hostile = (mode & 0x08) != 0;
  Config config;
  config.editor = "edit";
  config.signature = "SIGN.TXT";
  config.quotation = hostile ? "%999999999s" : "%s> ";
  config.uploadfile = hostile ? "." : "UP.TXT";
  config.idfile = "ID.TXT";
  config.grouplistfile = "GROUP.TXT";
  config.headReplyMail = hostile ? "%n%999999999s%" : "%s %s";
  config.headReplyNews = hostile ? "%s%s%s%s%-999999999s" : "%s #%s %s";
  config.headReplyNewsTitleChange = "%s #%s %s!";
  config.deleteNullLine = hostile;
  config.uploadFileExist = UploadFileExist::WriteAppend;
  return config;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zazir-fuzz-XXXXXX";
  FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
  sandbox() = pattern;
  FUZZ_CHECK(chdir(pattern.c_str()) == 0);
  std::atexit(removeSandbox);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t mode = data[0];
  const std::size_t keyCount = std::min<std::size_t>(data[1], size - 2);
  const std::string_view keys(reinterpret_cast<const char*>(data) + 2, keyCount);
  std::string logBytes(reinterpret_cast<const char*>(data) + 2 + keyCount, size - 2 - keyCount);
  for (char& c : logBytes) {
    if (c == '/') c = '_';
  }

  emptySandbox();
  FUZZ_CHECK(writeTextFile("ID.TXT", "AKN00412,kazuya,memo\nAKN00208,Hiro\n;c\nX\n"));
  FUZZ_CHECK(writeTextFile("GROUP.TXT", "[two]\nAKN00412;AKN00208\n"));
  FUZZ_CHECK(writeTextFile("SIGN.TXT", "-- \nsig\n"));

  FuzzBackend backend(keys, (mode & 0x04) ? "CP932" : "UTF-8");
  const bool editorWrites = (mode & 0x10) != 0;
  Console console(backend, [editorWrites](const std::string&) {
    if (editorWrites && fileExists("ZQ2OFF.TMP")) {
      appendText({"ZQ2OFF.TMP", AppendRule::AsItStands, AppendMode::MustExist, FileGuard()},
                 "edited\n");
    }
    return CommandResult{};
  });
  Config config = fuzzConfig(mode);
  RunState state;
  MemoryLineStream stream(logBytes);
  OpenLog log{stream, "FUZZ.LOG", static_cast<LogOffset>(logBytes.size())};
  LogIndex index;
  indexLog(stream, index);
  ReadMarks marks;
  App app{console, config, index, state, log, marks};
  Reading reading{app};

  try {
    switch (mode & 0x03) {
      case 0:
        if (index.messageBoards.empty()) index.messageBoards.push_back({0, 1, "B", "B"});
        readMessageBoard(app, reading.search, reading.listPositions,
                         (mode >> 5) % index.messageBoardCount());
        break;
      case 1:
        if (index.fileBoards.empty()) index.fileBoards.push_back({0, 1, "F", "F"});
        readFileBoard(app, reading.search, reading.downloads, (mode >> 5) % index.fileBoardCount());
        break;
      case 2:
        if (index.mails.empty()) index.mails.push_back({0, "ID", "name", "title", "t", "d"});
        readMail(app, reading.search);
        break;
      case 3:
        recordChatBackLogs(app);
        runMainMenu(reading);
    }
  } catch (const OutOfKeys&) {
  } catch (const ProgramExit&) {
  }

  static Renderer renderer("UTF-8");
  renderer.invalidate();
  checkFrame(renderer.frame(console.screen(), 24, 80));
  return 0;
}

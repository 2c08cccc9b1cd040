#include "export/exporter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <set>

#include "export/commandline.h"
#include "export/logparts.h"
#include "export/logset.h"
#include "export/mbox.h"
#include "export/outputfile.h"
#include "export/outputtext.h"
#include "export/seenset.h"
#include "export/utf8text.h"
#include "formats/logindex.h"
#include "text/textutil.h"

namespace zazir {

namespace {

// Private mail stays private; the rest is as the umask says.
constexpr unsigned kMailMode = 0600;
constexpr unsigned kFileMode = 0666;
constexpr unsigned kDirectoryMode = 0777;

enum class Kind { Mail, Board, FileBoard, Chat, Notewall };

// A part of a log that holds something, and the file it goes into
// (relative to the export's directory).
struct Part {
  Kind kind;
  int index;
  std::string file;
};

struct Figures {
  int mails = 0;
  int messages = 0;
  int duplicates = 0;
  int lines = 0;  // file entries, chat and Notewall lines
};

// Lines as the log has them, in UTF-8 with LF.
class TextSink : public ItemSink {
 public:
  TextSink(OutputFile& file, Utf8Decoder& decoder) : file_(file), decoder_(decoder) {}
  Take begin(const std::vector<std::string>&) override {
    ++items_;
    return Take::Body;
  }
  void text(std::string_view piece) override {
    decoder_.decode(piece, file_.buffer());
    file_.spill();
  }
  void lineEnd() override {
    decoder_.finish(file_.buffer());
    file_.buffer() += '\n';
    file_.spill();
  }
  void end() override {}
  int items() const { return items_; }

 private:
  OutputFile& file_;
  Utf8Decoder& decoder_;
  int items_ = 0;
};

// How far a long export has come, on standard error when it is a terminal.
class Progress : public ItemSink {
 public:
  explicit Progress(std::FILE* err) : err_(err), shown_(isatty(fileno(err)) != 0) {}

  void setTotal(std::uint64_t total) { total_ = total; }
  // The log now read, after `done` bytes of those before it.
  void startLog(const LineStream* log, std::uint64_t done) {
    log_ = log;
    done_ = done;
  }
  // Passes the next walk on to `inner`, telling the position now and then.
  void through(ItemSink* inner) { inner_ = inner; }
  Take begin(const std::vector<std::string>& header) override {
    if (shown_ && ++items_ % 256 == 0) tell();
    return inner_->begin(header);
  }
  void text(std::string_view piece) override { inner_->text(piece); }
  void lineEnd() override { inner_->lineEnd(); }
  void end() override { inner_->end(); }

  void clear() {
    if (shown_ && told_) std::fputs("\r                          \r", err_);
    told_ = false;
  }

 private:
  void tell() {
    const auto now = std::chrono::steady_clock::now();
    if (told_ && now - last_ < std::chrono::milliseconds(200)) return;
    last_ = now;
    told_ = true;
    const std::uint64_t at =
        done_ + static_cast<std::uint64_t>(std::max<LogOffset>(log_->tell(), 0));
    std::fprintf(err_, "\rzazir: exporting... %3d%%",
                 total_ ? static_cast<int>(at * 100 / total_) : 0);
    std::fflush(err_);
  }

  std::FILE* err_;
  bool shown_;
  std::uint64_t total_ = 0;
  bool told_ = false;
  const LineStream* log_ = nullptr;
  std::uint64_t done_ = 0;
  ItemSink* inner_ = nullptr;
  long items_ = 0;
  std::chrono::steady_clock::time_point last_;
};

std::string joined(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

class Exporter {
 public:
  Exporter(std::string dir, std::FILE* err) : dir_(std::move(dir)), err_(err), progress_(err) {}
  int run(const std::vector<std::string>& args);

 private:
  std::vector<Part> partsOf(LineStream& log, const LogIndex& index);
  std::string fileName(std::string_view folder, std::string_view board, std::string_view suffix);
  bool checkFree();
  bool makeDirectory(const std::string& path);
  bool exportLog(const std::string& path, std::uint64_t done);
  bool writePart(LineStream& log, const LogIndex& index, const Part& part);
  void report();
  bool fail(const std::string& problem) {
    progress_.clear();
    std::fprintf(err_, "zazir: %s\n", problem.c_str());
    return false;
  }

  std::string dir_;
  std::FILE* err_;
  std::vector<std::string> logs_;
  std::set<std::string> files_;               // every file the export writes
  std::map<std::string, FileIdentity> made_;  // those made so far
  OutputText names_;
  Utf8Decoder decoder_;
  SeenSet seen_;
  Figures figures_;
  Progress progress_;
};

std::string Exporter::fileName(std::string_view folder, std::string_view board,
                               std::string_view suffix) {
  Utf8Decoder ignored;  // a name's odd bytes are no loss of text
  return std::string(folder) + "/" + names_(toUtf8(safeFileName(board), ignored)) +
         std::string(suffix);
}

std::vector<Part> Exporter::partsOf(LineStream& log, const LogIndex& index) {
  std::vector<Part> parts;
  const auto holds = [&](auto walk, int at) {
    ItemCounter first(1);
    walk(log, index, at, first);
    return first.count() > 0;
  };
  if (!index.mails.empty()) parts.push_back({Kind::Mail, 0, "mail.mbox"});
  for (int b = 0; b < index.messageBoardCount(); ++b) {
    if (!holds(walkMessages, b)) continue;
    parts.push_back({Kind::Board, b, fileName("boards", index.messageBoards[b].name, ".mbox")});
  }
  for (int b = 0; b < index.fileBoardCount(); ++b) {
    if (!holds(walkFileEntries, b)) continue;
    parts.push_back({Kind::FileBoard, b, fileName("files", index.fileBoards[b].name, ".txt")});
  }
  for (int c = 0; c < index.chatBoardCount(); ++c) {
    if (!holds(walkChatLines, c)) continue;
    parts.push_back({Kind::Chat, c, fileName("chat", index.chatBoards[c].name, ".txt")});
  }
  const auto notewall = [](LineStream& stream, const LogIndex& in, int, ItemSink& sink) {
    walkNotewall(stream, in, sink);
  };
  if (holds(notewall, 0)) parts.push_back({Kind::Notewall, 0, "notewall.txt"});
  return parts;
}

// Nothing the export would write may be there yet: it refuses before
// writing anything.
bool Exporter::checkFree() {
  struct stat info {};
  if (::stat(dir_.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
    return fail(dir_ + ": not a directory");
  }
  std::set<std::string> places = files_;
  for (const std::string& file : files_) {
    if (const std::size_t slash = file.find('/'); slash != std::string::npos) {
      places.insert(file.substr(0, slash));
    }
  }
  for (const std::string& place : places) {
    const std::string path = joined(dir_, place);
    const bool folder = files_.count(place) == 0;
    if (::lstat(path.c_str(), &info) == 0) {
      if (!folder) return fail(path + ": exists; nothing was written");
      if (!S_ISDIR(info.st_mode)) return fail(path + ": not a directory; nothing was written");
    } else if (errno != ENOENT && errno != ENOTDIR) {
      return fail(path + ": " + std::strerror(errno));
    }
  }
  return true;
}

// The directory and those above it, as far as they are missing.
bool Exporter::makeDirectory(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string upTo = path.substr(0, slash);
    struct stat info {};
    if (!upTo.empty() && ::mkdir(upTo.c_str(), kDirectoryMode) != 0 &&
        (errno != EEXIST || ::stat(upTo.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
      return fail(upTo + ": " + std::strerror(errno == EEXIST ? ENOTDIR : errno));
    }
    if (slash == std::string::npos) return true;
  }
}

bool Exporter::writePart(LineStream& log, const LogIndex& index, const Part& part) {
  const std::string path = joined(dir_, part.file);
  if (const std::size_t slash = part.file.find('/');
      slash != std::string::npos && !makeDirectory(joined(dir_, part.file.substr(0, slash)))) {
    return false;
  }
  OutputFile file;
  const auto made = made_.find(part.file);
  const bool opened = made == made_.end()
                          ? file.create(path, part.kind == Kind::Mail ? kMailMode : kFileMode)
                          : file.reopen(path, made->second);
  if (!opened) return fail(path + ": " + std::strerror(file.error()));
  made_.emplace(part.file, file.identity());

  switch (part.kind) {
    case Kind::Mail:
    case Kind::Board: {
      const bool mail = part.kind == Kind::Mail;
      MboxSink sink(file, decoder_, seen_, mail ? "" : index.messageBoards[part.index].name);
      progress_.through(&sink);
      if (mail) {
        for (int m = 0; m < index.mailCount(); ++m) walkMail(log, index, m, progress_);
      } else {
        walkMessages(log, index, part.index, progress_);
      }
      (mail ? figures_.mails : figures_.messages) += sink.written();
      figures_.duplicates += sink.duplicates();
      break;
    }
    default: {
      TextSink sink(file, decoder_);
      progress_.through(&sink);
      if (part.kind == Kind::FileBoard) walkFileEntries(log, index, part.index, progress_);
      if (part.kind == Kind::Chat) walkChatLines(log, index, part.index, progress_);
      if (part.kind == Kind::Notewall) walkNotewall(log, index, progress_);
      figures_.lines += sink.items();
    }
  }
  if (!file.close()) return fail(path + ": " + std::strerror(file.error()));
  return true;
}

bool Exporter::exportLog(const std::string& path, std::uint64_t done) {
  std::string problem;
  const auto log = openLog(path, problem);
  if (!log) return fail(problem);
  LogIndex index;
  indexLog(*log, index);
  progress_.startLog(log.get(), done);
  for (const Part& part : partsOf(*log, index)) {
    if (!writePart(*log, index, part)) return false;
  }
  return true;
}

void Exporter::report() {
  progress_.clear();
  if (const std::uint64_t replaced = decoder_.replacedBytes()) {
    std::fprintf(err_,
                 "zazir: %llu bytes of the logs are control bytes or have no Unicode form; "
                 "written as U+FFFD\n",
                 static_cast<unsigned long long>(replaced));
  }
  if (isatty(fileno(err_))) {
    std::fprintf(err_,
                 "zazir: %s: %d mails, %d messages (%d found in more than one log and written "
                 "once), %d lines of file boards, chat and Notewall\n",
                 dir_.c_str(), figures_.mails, figures_.messages, figures_.duplicates,
                 figures_.lines);
  }
}

int Exporter::run(const std::vector<std::string>& args) {
  std::string problem;
  if (!expandLogs(args, logs_, problem)) {
    fail(problem);
    return kExitFileError;
  }
  // Every log is indexed first, so that all the files are known, and
  // checked, before the first is written.
  std::uint64_t total = 0;
  for (const std::string& path : logs_) {
    const auto log = openLog(path, problem);
    if (!log) {
      fail(problem);
      return kExitFileError;
    }
    LogIndex index;
    indexLog(*log, index);
    for (const Part& part : partsOf(*log, index)) files_.insert(part.file);
    total += fileSize(path);
  }
  if (files_.empty()) {
    fail("nothing to export: the logs hold no mail, messages, files, chat or Notewall lines");
    return kExitNothingToExport;
  }
  if (!checkFree() || !makeDirectory(dir_)) return kExitFileError;
  progress_.setTotal(total);
  std::uint64_t done = 0;
  for (const std::string& path : logs_) {
    if (!exportLog(path, done)) return kExitFileError;
    done += fileSize(path);
  }
  report();
  return kExitDone;
}

}  // namespace

int runExport(const std::string& osDir, const std::vector<std::string>& args, std::FILE* err) {
  return Exporter(osDir, err).run(args);
}

}  // namespace zazir

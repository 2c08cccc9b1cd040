#include "export/exporter.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>

#include "export/archive.h"
#include "export/logparts.h"
#include "export/logset.h"
#include "export/mbox.h"
#include "export/outputfile.h"
#include "export/outputtext.h"
#include "export/seenset.h"
#include "export/threadlinks.h"
#include "export/utf8text.h"
#include "formats/logindex.h"
#include "platform/fileset.h"
#include "platform/stopsignals.h"
#include "text/textutil.h"

namespace zazir {

namespace {

// Private mail stays private; the rest is as the umask says.
constexpr unsigned kMailMode = 0600;
constexpr unsigned kFileMode = 0666;

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

// The hash of each item of a walk as a TextSink writes it.
class ItemHashes : public ItemSink {
 public:
  Take begin(const std::vector<std::string>&) override {
    hash_ = ItemHash();
    return Take::Body;
  }
  void text(std::string_view piece) override {
    scratch_.clear();
    decoder_.decode(piece, scratch_);
    hash_.add(scratch_);
  }
  void lineEnd() override {
    scratch_.clear();
    decoder_.finish(scratch_);
    scratch_ += '\n';
    hash_.add(scratch_);
  }
  void end() override { items_.push_back(hash_.value()); }
  const std::vector<std::uint64_t>& items() const { return items_; }

 private:
  Utf8Decoder decoder_;  // its count is not the export's
  std::string scratch_;
  ItemHash hash_;
  std::vector<std::uint64_t> items_;
};

// The items of a walk that are to be written, passed on; the others
// skipped.
class ChosenItems : public ItemSink {
 public:
  ChosenItems(ItemSink& inner, const std::vector<bool>& chosen) : inner_(inner), chosen_(chosen) {}
  Take begin(const std::vector<std::string>& header) override {
    const bool take = at_ < chosen_.size() && chosen_[at_];
    ++at_;
    return take ? inner_.begin(header) : Take::Skip;
  }
  void text(std::string_view piece) override { inner_.text(piece); }
  void lineEnd() override { inner_.lineEnd(); }
  void end() override { inner_.end(); }

 private:
  ItemSink& inner_;
  const std::vector<bool>& chosen_;
  std::size_t at_ = 0;
};

// How far a long export has come, on standard error when it is a terminal.
class Progress : public ItemSink {
 public:
  Progress(std::FILE* err, const ExportStop& stopped)
      : err_(err), shown_(isatty(fileno(err)) != 0), stopped_(stopped) {}

  void setTotal(std::uint64_t total) { total_ = total; }
  // The log now read, after `done` bytes of those before it.
  void startLog(const LineStream* log, std::uint64_t done) {
    log_ = log;
    done_ = done;
  }
  // Passes the next walk on to `inner`, telling the position now and then.
  void through(ItemSink* inner) { inner_ = inner; }
  // A stop asked for ends the walk at the next item.
  Take begin(const std::vector<std::string>& header) override {
    if (stopped_()) return Take::Stop;
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
  const ExportStop& stopped_;
  std::uint64_t total_ = 0;
  bool told_ = false;
  const LineStream* log_ = nullptr;
  std::uint64_t done_ = 0;
  ItemSink* inner_ = nullptr;
  long items_ = 0;
  std::chrono::steady_clock::time_point last_;
};

class Exporter {
 public:
  Exporter(std::string dir, std::FILE* err, ExportStop stopped)
      : dir_(std::move(dir)),
        err_(err),
        stopped_(std::move(stopped)),
        links_([this](std::string_view board) { return fileName("boards", board, ".mbox"); }),
        progress_(err, stopped_) {}
  int run(const std::vector<std::string>& args);

 private:
  std::vector<Part> partsOf(LineStream& log, const LogIndex& index);
  std::string fileName(std::string_view folder, std::string_view board, std::string_view suffix);
  int stopped();
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
  std::set<std::string> files_;  // every file the export writes
  std::unique_ptr<FileSet> set_;
  Archive archive_;
  ExportStop stopped_;
  OutputText names_;
  Utf8Decoder decoder_;
  SeenSet seen_;
  ThreadLinks links_;
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

// The status of an export ended by signal `number`, told.
int Exporter::stopped() {
  const int number = stopped_();
  fail(dir_ + ": " + strsignal(number) + "; nothing was written");
  return 128 + number;
}

// A file board's entries, a chat board's lines or the Notewall's lines.
void walkText(LineStream& log, const LogIndex& index, const Part& part, ItemSink& sink) {
  if (part.kind == Kind::FileBoard) walkFileEntries(log, index, part.index, sink);
  if (part.kind == Kind::Chat) walkChatLines(log, index, part.index, sink);
  if (part.kind == Kind::Notewall) walkNotewall(log, index, sink);
}

bool Exporter::writePart(LineStream& log, const LogIndex& index, const Part& part) {
  const std::string path = set_->shown(part.file);
  OutputFile file;
  const FileFacts* was = archive_.existing(part.file);
  if (!file.use(was ? set_->openAddition(part.file, *was)
                    : set_->open(part.file, part.kind == Kind::Mail ? kMailMode : kFileMode))) {
    return fail(path + ": " + std::strerror(file.error()) + "; nothing was written");
  }
  ArchiveFile& record = archive_.record(part.file);

  switch (part.kind) {
    case Kind::Mail:
    case Kind::Board: {
      const bool mail = part.kind == Kind::Mail;
      MboxSink sink(file, decoder_, seen_, mail ? "" : index.messageBoards[part.index].name,
                    &links_);
      progress_.through(&sink);
      if (mail) {
        for (int m = 0; m < index.mailCount() && !stopped_(); ++m) {
          walkMail(log, index, m, progress_);
        }
      } else {
        walkMessages(log, index, part.index, progress_);
      }
      (mail ? figures_.mails : figures_.messages) += sink.written();
      figures_.duplicates += sink.duplicates();
      addNumbered(record.numbered, sink.numbered(), record.items);
      addParents(record.parents, sink.parents());
      break;
    }
    default: {
      // The run is known whole before any of it is written.
      ItemHashes run;
      walkText(log, index, part, run);
      // A chat board shows new lines only; the Notewall and a file board's
      // news show again what an earlier visit saw.
      const std::vector<bool> chosen = itemsToWrite(record, run.items(), part.kind != Kind::Chat);
      TextSink sink(file, decoder_);
      ChosenItems items(sink, chosen);
      progress_.through(&items);
      walkText(log, index, part, progress_);
      figures_.lines += sink.items();
    }
  }
  if (!file.close())
    return fail(path + ": " + std::strerror(file.error()) + "; nothing was written");
  return !stopped_();
}

bool Exporter::exportLog(const std::string& path, std::uint64_t done) {
  std::string problem;
  const auto log = openLog(path, problem);
  if (!log) return fail(problem);
  LogIndex index;
  indexLog(*log, index);
  progress_.startLog(log.get(), done);
  for (const Part& part : partsOf(*log, index)) {
    if (stopped_() || !writePart(*log, index, part)) return false;
  }
  return !stopped_();
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
                 "zazir: %s: %d mails, %d messages added (%d found again and not written), %d "
                 "entries and lines of file boards, chat and Notewall\n",
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
  // checked, before the first is written, and every reply's parent.
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
    links_.collect(*log, index);
    total += fileSize(path);
  }
  if (files_.empty()) {
    fail("nothing to export: the logs hold no mail, messages, files, chat or Notewall lines");
    return kExitNothingToExport;
  }
  // Nothing is written until the files there are known to be the
  // archive's; then what is new is written beside and added or moved into
  // place together at the end, or taken back.
  if (stopped_()) return stopped();
  set_ = FileSet::open(dir_, problem);
  if (!set_) {
    fail(problem);
    return kExitFileError;
  }
  if (set_->tookBack()) fail(dir_ + ": an export that did not finish was taken back");
  archive_.load(*set_, err_);
  if (!archive_.admit(*set_, {files_.begin(), files_.end()}, problem)) {
    fail(problem + "; nothing was written");
    return kExitFileError;
  }
  archive_.seed(seen_);
  // Replies are linked once the archive tells what earlier exports wrote.
  links_.finish(&archive_);
  progress_.setTotal(total);
  std::uint64_t done = 0;
  for (const std::string& path : logs_) {
    if (!exportLog(path, done)) return stopped_() ? stopped() : kExitFileError;
    done += fileSize(path);
  }
  if (stopped_()) return stopped();
  set_->setRecord(kArchiveIndexName, [this](const std::map<std::string, FileFacts>& facts) {
    return archive_.encode(facts);
  });
  if (!set_->commit(problem)) {
    fail(problem + "; nothing was written");
    return kExitFileError;
  }
  report();
  return kExitDone;
}

}  // namespace

int runExport(const std::string& osDir, const std::vector<std::string>& args, std::FILE* err) {
  const StopSignals signals;
  return runExport(osDir, args, err, [&signals] { return signals.caught(); });
}

int runExport(const std::string& osDir, const std::vector<std::string>& args, std::FILE* err,
              ExportStop stopped) {
  return Exporter(osDir, err, std::move(stopped)).run(args);
}

}  // namespace zazir

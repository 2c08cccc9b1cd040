#include "logsplit.h"

#include <cstdio>
#include <memory>

#include "formats/boardlog.h"
#include "formats/logindex.h"
#include "platform/encoding.h"
#include "platform/linestream.h"
#include "text/format.h"
#include "text/textutil.h"

namespace zazir::bench {

using namespace zazir::literals;

namespace {

// Where the line read stands, and so where a piece may begin: never inside
// the chat or the Notewall.
enum class Region { Mail, Messages, Entries, Ordinary, Chat };

class Splitter {
 public:
  Splitter(const std::string& dir, std::uint64_t pieceBytes) : dir_(dir), pieceBytes_(pieceBytes) {}
  ~Splitter() { close(); }

  bool line(std::string_view raw) {
    std::string clean(raw);
    stripLineEnd(clean);
    follow(clean);
    if (!file_ || (written_ >= pieceBytes_ && mayBegin(clean))) {
      if (!open()) return false;
    }
    return put(raw);
  }

  bool close() {
    const bool ok = !file_ || std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }

 private:
  void follow(const std::string& line) {
    if (startsWith(line, "FILE NEWS:")) fileNews_ = line;
    if (startsWith(line, "*CH")) region_ = Region::Ordinary;
    if (startsWith(line, "《 気軽な伝言板 》"_sj)) region_ = Region::Chat;
    if (isListingLine(line)) {
      listing_ = line;
      countLine_.clear();
      const bool chat = wordAt(std::string_view(line).substr(6), 0).front() == '#';
      region_ = chat ? Region::Chat : fileNews_.empty() ? Region::Messages : Region::Entries;
    } else if (region_ == Region::Messages && countLine_.empty() &&
               line.find("新しいメッセージ"_sj) != std::string::npos) {
      countLine_ = line;
    }
  }

  bool mayBegin(const std::string& line) const {
    switch (region_) {
      case Region::Mail:
        return startsWith(line, "Private Message is from:");
      case Region::Messages:
        return isMessageStart(line) && !countLine_.empty();
      case Region::Entries:
        return entryFileNumber(line) > 0;
      case Region::Ordinary:
        return true;
      case Region::Chat:
        return false;
    }
    return false;
  }

  bool open() {
    if (!close()) return false;
    file_ = std::fopen(formatText("%s/%03i.LOG", dir_, pieces_++).c_str(), "wb");
    written_ = 0;
    if (!file_) return false;
    // A visit opens with the modem's greeting: the piece reads as a log.
    if (pieces_ > 1 && !put("CONNECT 9600\r\n")) return false;
    // The board's listing line again, so that the rest of its part is found.
    if (region_ == Region::Messages) return put(listing_ + "\r\n") && put(countLine_ + "\r\n");
    if (region_ == Region::Entries) return put(fileNews_ + "\r\n") && put(listing_ + "\r\n");
    return true;
  }

  bool put(std::string_view bytes) {
    written_ += bytes.size();
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  }

  std::string dir_;
  std::uint64_t pieceBytes_;
  std::FILE* file_ = nullptr;
  int pieces_ = 0;
  std::uint64_t written_ = 0;
  Region region_ = Region::Mail;
  std::string listing_, countLine_, fileNews_;
};

}  // namespace

bool splitLog(const std::string& path, const std::string& dir, int count) {
  const std::unique_ptr<FileLineStream> log = FileLineStream::open(path, 1 << 20);
  if (!log || count < 1) return false;
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  if (!probe) return false;
  std::fseek(probe, 0, SEEK_END);
  const auto size = static_cast<std::uint64_t>(std::ftell(probe));
  std::fclose(probe);
  Splitter splitter(dir, size / static_cast<std::uint64_t>(count) + 1);
  std::string line;
  while (log->readLine(line, std::string::npos)) {
    if (!splitter.line(line)) return false;
  }
  return splitter.close();
}

}  // namespace zazir::bench

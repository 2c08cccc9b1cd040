#include "export/hitprinter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "text/textutil.h"

namespace zazir {

using search::HitSection;
using search::SearchHit;

namespace {

const char* sectionName(HitSection section) {
  switch (section) {
    case HitSection::Mail:
      return "mail";
    case HitSection::MessageBoard:
      return "board";
    case HitSection::FileBoard:
      return "fileboard";
    case HitSection::Notewall:
      return "notewall";
    case HitSection::ChatBoard:
      return "chat";
  }
  return "";
}

// A chat or Notewall line's ID: its first word, before the marker at byte 14.
std::string_view lineId(std::string_view line) {
  line = line.substr(0, 14);
  return line.substr(0, line.find_first_of(" \t"));
}

// How far before a match the start of its line is looked for.
constexpr std::size_t kLineLookBack = 4096;

// The log line that holds the match, without its line end: from its start
// when that lies within kLineLookBack bytes before the match, else from the
// match; at most 2 * kLineLookBack bytes of it, valid until the log is read
// again. The line feed before the
// match is found in the stream's buffer: with a hit in nearly every message
// the lines are not read one by one.
std::string_view lineOfMatch(LineStream& log, const SearchHit& hit) {
  const LogOffset from =
      std::max(hit.matchOffset - static_cast<LogOffset>(kLineLookBack), LogOffset{0});
  const auto before = static_cast<std::size_t>(hit.matchOffset - from);
  log.seek(from);
  const std::string_view data = log.buffered(before);
  LogOffset lineStart = hit.matchOffset;
  if (data.size() >= before) {
    if (const void* feed = memrchr(data.data(), '\n', before)) {
      lineStart = from + (static_cast<const char*>(feed) - data.data()) + 1;
    } else if (from == 0) {
      lineStart = 0;
    }
  }
  log.seek(lineStart);
  std::string_view line;
  if (!log.readLineView(line, 2 * kLineLookBack)) return {};
  return withoutLineEnd(line);
}

// The title of a hit's mail or message, or its file entry's line; empty for
// a chat or Notewall line.
std::string itemTitle(LineStream& log, const LogIndex& index, const SearchHit& hit) {
  if (hit.section == HitSection::Mail) return index.mails[static_cast<std::size_t>(hit.item)].title;
  if (hit.section != HitSection::MessageBoard && hit.section != HitSection::FileBoard) return {};
  std::string_view line;
  log.seek(hit.itemOffset);
  const int lines = hit.section == HitSection::MessageBoard ? 3 : 1;
  for (int k = 0; k < lines; ++k) {
    if (!log.readLineView(line, kLineLimit)) line = {};
  }
  std::string title =
      hit.section == HitSection::MessageBoard ? messageTitle(line) : std::string(line);
  stripLineEnd(title);
  return title;
}

// Lines are offered in batches: with a hit on every other line, a write per
// few lines was a good part of the time.
constexpr std::size_t kOutputBatch = 1 << 16;

}  // namespace

HitPrinter::HitPrinter(Sink sink, bool lineByLine, std::size_t kept)
    : sink_(std::move(sink)),
      lineByLine_(lineByLine),
      offerAt_(lineByLine ? 1 : kOutputBatch),
      decoder_(Utf8Decoder::Controls::Blanked) {
  pending_.reserve(kept + kOutputBatch + 2 * kLineLimit);
}

void HitPrinter::startLog(const std::string& name, LineStream& log, const LogIndex& index) {
  logName_ = blankControls(name);
  log_ = &log;
  index_ = &index;
  item_ = Item{};
}

bool HitPrinter::print(const SearchHit& hit) {
  // The hits of one item share its fields, read and decoded once.
  const Item item{hit.section, hit.board, hit.item};
  if (item != item_) {
    item_ = item;
    appendItemFields(hit);
  }
  // In UTF-8 the line is made where it waits to go out.
  std::string& line = output_.passesUtf8() ? pending_ : fields_;
  if (!output_.passesUtf8()) fields_.clear();
  line += itemFields_;
  appendField(lineOfMatch(*log_, hit), line);
  line += '\n';
  if (!output_.passesUtf8()) pending_ += output_(fields_);
  if (pending_.size() < offerAt_) return true;
  const bool written = sink_(pending_);
  offerAt_ = pending_.size() + (lineByLine_ ? 1 : kOutputBatch);
  return written;
}

// The log's name, the section, and the board, number, ID and title of the
// hit's item.
void HitPrinter::appendItemFields(const SearchHit& hit) {
  const auto board = static_cast<std::size_t>(hit.board);
  std::string_view boardName;
  std::string_view id;  // in line_ or the index
  switch (hit.section) {
    case HitSection::Mail:
      id = index_->mails[static_cast<std::size_t>(hit.item)].senderId;
      break;
    case HitSection::MessageBoard:
      boardName = index_->messageBoards[board].name;
      id = posterId(firstLine(hit));
      break;
    case HitSection::FileBoard:
      boardName = index_->fileBoards[board].name;
      break;
    case HitSection::ChatBoard:
      boardName = index_->chatBoards[board].name;
      id = lineId(firstLine(hit));
      break;
    case HitSection::Notewall:
      id = lineId(firstLine(hit));
      break;
  }
  itemFields_ = logName_;
  itemFields_ += '\t';
  itemFields_ += sectionName(hit.section);
  appendField(boardName, itemFields_);
  appendField(std::to_string(hit.number), itemFields_);
  appendField(id, itemFields_);
  appendField(itemTitle(*log_, *index_, hit), itemFields_);
}

std::string_view HitPrinter::firstLine(const SearchHit& hit) {
  log_->seek(hit.itemOffset);
  log_->readLine(line_);
  return line_;
}

// A tab and the field's text in UTF-8, its control bytes blanks.
void HitPrinter::appendField(std::string_view cp932, std::string& out) {
  out += '\t';
  decoder_.decode(cp932, out);
  decoder_.finish(out);
}

}  // namespace zazir

#include "readers/mailreader.h"

#include <array>
#include <string>
#include <vector>

#include "console/dialogs.h"
#include "console/keys.h"
#include "console/pager.h"
#include "formats/loglines.h"
#include "formats/maillog.h"
#include "platform/encoding.h"
#include "readers/mailactions.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/cp932.h"
#include "text/textutil.h"
#include "writers/sendmail.h"

namespace zazir {

using namespace literals;

namespace {

// A body row holds at most 77 bytes; a longer log line goes on in the next.
constexpr std::size_t kBodyRowLimit = 77;
constexpr std::size_t kMaxBodyLines = 512;
constexpr int kFirstBodyRow = 3;

class MailReader {
 public:
  explicit MailReader(App& app) : app_(app), console_(app.console) {}
  void run();

 private:
  const MailEntry& mail() const { return app_.index.mails[static_cast<std::size_t>(current_)]; }
  int lineCount() const { return static_cast<int>(lines_.size()); }
  void load();
  void draw();

  App& app_;
  Console& console_;
  int current_ = 0;
  int top_ = 0;  // kept across a change of mail
  std::array<std::string, 3> header_;
  std::vector<std::string> lines_;
};

void MailReader::load() {
  console_.clearScreen();
  LineStream& log = app_.log;
  log.seek(mail().headerOffset);
  for (std::string& line : header_) {
    readWholeLine(log, line);
    stripLineEnd(line);
  }
  lines_.clear();
  std::string piece;
  while (lines_.size() < kMaxBodyLines && readWrappedLine(log, piece, kBodyRowLimit)) {
    if (isMailEnd(piece)) break;
    stripLineEnd(piece);
    lines_.push_back(piece);
  }
}

void MailReader::draw() {
  top_ = clampTopLine(top_, lineCount());
  for (int row = 0; row < kPageLines; ++row) {
    const int line = top_ + row;
    console_.putBodyRow(kFirstBodyRow + row,
                        line < lineCount() ? lines_[static_cast<std::size_t>(line)] : "");
  }
  console_.setCursor(0, 23);
  console_.setNormal();
  console_.writeText(current_ > 0 ? "←"_sj : "　"_sj);
  console_.setBar();
  console_.putText("%s W:ﾒｰﾙ送信 R:ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ"_sj, "ZAZIR");
  pagerIndicator(console_, lineCount(), top_);
  console_.setCursor(76, 23);
  console_.setNormal();
  console_.writeText(current_ < app_.index.mailCount() - 1 ? "→"_sj : "　"_sj);
  console_.clearToEndOfLine();
  console_.setCursor(0, 0);
  console_.putText("%-80.80s%-80.80s%-80.80s", header_[0], header_[1], header_[2]);
}

void MailReader::run() {
  load();
  draw();
  while (true) {
    const int key = console_.getKey();
    if (const Scroll scroll = scrollPager(key, top_, lineCount());
        scroll != Scroll::NotAScrollKey) {
      if (scroll == Scroll::Moved) draw();
      continue;
    }
    switch (key) {
      case key::kLeft:
      case '4':
        if (current_ > 0) {
          --current_;
          load();
          draw();
        }
        break;
      case key::kRight:
      case '6':
        if (current_ < app_.index.mailCount() - 1) {
          ++current_;
          load();
          draw();
        }
        break;
      case '?':
      case key::kCtrlA:
        messageBox(console_, MessageId::MailHelp);
        draw();
        break;
      case 'W':
      case 'w':
        sendNewMail(app_);
        draw();
        break;
      case 'R':
      case 'r':
        sendMailReply(app_, mail());
        draw();
        break;
      case 'S':
      case 's':
        saveMail(app_, mail());
        draw();
        break;
      case 'F':
      case 'f':
        viewUploadFile(app_);
        draw();
        break;
      case 'I':
      case 'i':
        registerSender(app_, mail());
        draw();
        break;
      case key::kEscape:
      case 'Q':
      case 'q':
      case ' ':
      case '5':
      case key::kEnter:
        return;
      default:
        break;
    }
  }
}

}  // namespace

void readMail(App& app) {
  if (app.index.mails.empty()) return;
  MailReader reader(app);
  reader.run();
}

}  // namespace zazir

#include "loggen.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/encoding.h"
#include "text/cp932.h"
#include "text/format.h"

namespace zazir::bench {

using namespace zazir::literals;

namespace {

// The numbers of mails and boards stay fixed whatever the size: a real log
// grows by its messages, not by its boards.
constexpr int kMails = 300;
constexpr int kMessageBoards = 100;
constexpr int kChatBoards = 10;
constexpr int kFileBoards = 40;

class Random {
 public:
  explicit Random(std::uint64_t seed)
      : state_(0x9E3779B97F4A7C15ull ^ seed * 0x2545F4914F6CDD1Dull) {}
  std::uint64_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t state_;
};

class Writer {
 public:
  explicit Writer(FILE* file) : file_(file) { buffer_.reserve(kFlushAt + 8192); }
  ~Writer() { flush(); }

  void line(std::string_view text) {
    buffer_.append(text);
    buffer_.append("\r\n");
    bytes_ += text.size() + 2;
    ++lines_;
    if (buffer_.size() >= kFlushAt) flush();
  }
  bool flush() {
    if (!buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      failed_ = true;
    }
    buffer_.clear();
    return !failed_;
  }
  std::uint64_t bytes() const { return bytes_; }
  std::uint64_t lines() const { return lines_; }
  bool failed() const { return failed_; }

 private:
  static constexpr std::size_t kFlushAt = 1 << 20;
  FILE* file_;
  std::string buffer_;
  std::uint64_t bytes_ = 0;
  std::uint64_t lines_ = 0;
  bool failed_ = false;
};

std::vector<std::string> cp932(std::initializer_list<std::string_view> texts) {
  std::vector<std::string> out;
  for (std::string_view text : texts) out.push_back(utf8ToCp932(text).value_or(std::string(text)));
  return out;
}

class Generator {
 public:
  Generator(Writer& out, std::uint64_t target, int visit)
      : out_(out), target_(target), visit_(visit), rng_(static_cast<std::uint64_t>(visit)) {
    phrases_ =
        cp932({"こんばんは。", "今日は暑かったですね。", "新しいパソコンを買いました。",
               "ＣＰＵは速いのですがメモリが足りません。", "来週のオフ会、楽しみにしています。",
               "通信費がかさんで困っています（笑）", "ところで、", "それでは、また。",
               "RAMディスクの設定を教えてください。", "9600bps でも十分です。",
               "ｱｯﾌﾟﾛｰﾄﾞしておきました。", "いつもお世話になっております。",
               "BASIC で書いてみました。", "駅前の本屋で見つけました。", "了解です。"});
    handles_ = cp932({"かずや", "ゆうこ", "tanaka", "まさる", "Hiro", "みどり", "けん"});
  }

  void run(GeneratedLog& made) {
    banner();
    for (int m = 0; m < kMails; ++m) mail(m);
    const std::uint64_t boardsEnd = target_ * 80 / 100;
    for (int b = 1; b <= kMessageBoards; ++b) {
      const bool searched = b % 5 != 1;
      out_.line(listingLine(b, formatText("board%i", b), phrases_[b % phrases_.size()],
                            searched ? "検索中"_sj : "未読なし"_sj));
      if (!searched) continue;
      const std::uint64_t end = boardsEnd * static_cast<std::uint64_t>(b) / kMessageBoards;
      out_.line("未読メッセージを検索しています..."_sj);
      out_.line(formatText("新しいメッセージが %i 件あります。"_sj, 1 + rng_.below(500)));
      for (int number = 1000 + visit_ * 20000; out_.bytes() < end; ++number) message(number);
    }
    out_.line("*CH ボード番号 (?:一覧 RET:終了) >"_sj);
    ordinaryRun(target_ * 85 / 100);
    for (int c = 1; c <= kChatBoards; ++c) chat(kMessageBoards + c);
    notewall();
    out_.line("FILE NEWS: 日付指定 96/06/01 以降の新着ファイル"_sj);
    const std::uint64_t filesEnd = target_ * 95 / 100;
    for (int f = 1; f <= kFileBoards; ++f) {
      out_.line(listingLine(f, formatText("soft%i", f), "フリーソフト"_sj, "検索中"_sj));
      const std::uint64_t end = target_ * 85 / 100 + (filesEnd - target_ * 85 / 100) *
                                                         static_cast<std::uint64_t>(f) /
                                                         kFileBoards;
      for (int entry = 1; out_.bytes() < end && entry < 1000; ++entry) fileEntry(entry);
    }
    out_.line("*CH ファイルボード番号 >"_sj);
    ordinaryRun(target_);
    out_.line("ご利用ありがとうございました。"_sj);
    made.mails = kMails;
    made.messageBoards = kMessageBoards;
    made.chatBoards = kChatBoards;
    made.fileBoards = kFileBoards;
  }

 private:
  // A body line of ordinary text: mostly short Japanese, sometimes ASCII,
  // empty, tabbed or very long.
  void bodyLine() {
    const int kind = rng_.below(1000);
    if (kind < 25) return out_.line("");
    if (kind == 25) return out_.line(std::string(1500 + rng_.below(2000), 'z'));
    line_.clear();
    if (kind < 60) line_.push_back('\t');
    const std::size_t want = 20 + static_cast<std::size_t>(rng_.below(57));
    while (line_.size() < want) {
      const std::string& phrase = phrases_[rng_.below(static_cast<int>(phrases_.size()))];
      if (line_.size() + phrase.size() > 77) break;
      line_ += phrase;
    }
    out_.line(line_);
  }

  void banner() {
    out_.line("CONNECT 9600/V42BIS");
    out_.line("＊＊＊ ベンチマーク・ネット ＊＊＊"_sj);
    out_.line("ID: BEN00001");
    out_.line("");
  }

  void mail(int m) {
    m += visit_ * kMails;
    out_.line(formatText("Private Message is from: MAIL%04i %s", m,
                         handles_[static_cast<std::size_t>(m) % handles_.size()]));
    out_.line(formatText("Date: 96/06/%02i %02i:%02i:00", 1 + m % 28, m % 24, m % 60));
    out_.line(formatText("題名: お知らせ その%i"_sj, m));
    for (int i = 0, n = 5 + rng_.below(10); i < n; ++i) bodyLine();
    out_.line("削除しますか (Y/N) >"_sj);
  }

  void message(int number) {
    out_.line(formatText("Message  #%i is from: USR%05i %s", number, rng_.below(99999),
                         handles_[static_cast<std::size_t>(number) % handles_.size()]));
    out_.line(formatText("Date: 96/06/%02i %02i:%02i:%02i", 1 + number % 28, number % 24,
                         number % 60, number % 59));
    out_.line("題名: "_sj + phrases_[static_cast<std::size_t>(number) % phrases_.size()]);
    out_.line("");
    for (int i = 0, n = 5 + rng_.below(26); i < n; ++i) bodyLine();
  }

  void chat(int number) {
    out_.line(listingLine(number, formatText("#chat%i", number), "１行チャット"_sj, "検索中"_sj));
    out_.line("");
    out_.line("新しいメッセージが 20 個あります。"_sj);
    out_.line("----");
    for (int i = visit_ * 20; i < visit_ * 20 + 20; ++i) {
      out_.line(formatText("USR%05i     >", i) +
                phrases_[static_cast<std::size_t>(i) % phrases_.size()]);
    }
    out_.line("");
  }

  void notewall() {
    out_.line("《 気軽な伝言板 》"_sj);
    out_.line("----");
    for (int i = visit_ * 100; i < visit_ * 100 + 500; ++i) {
      out_.line(formatText("USR%05i      :", i) +
                phrases_[static_cast<std::size_t>(i) % phrases_.size()]);
    }
    out_.line("*CH");
  }

  void fileEntry(int entry) {
    out_.line(formatText("%03i:SOFT%04i.LZH  %6i 96/06/01 USR%05i ユーティリティ"_sj, entry, entry,
                         1000 + rng_.below(900000), rng_.below(99999)));
    for (int i = 0, n = 3 + rng_.below(12); i < n; ++i) bodyLine();
  }

  void ordinaryRun(std::uint64_t end) {
    while (out_.bytes() < end) bodyLine();
  }

  Writer& out_;
  std::uint64_t target_;
  int visit_;
  Random rng_;
  std::vector<std::string> phrases_;
  std::vector<std::string> handles_;
  std::string line_;
};

}  // namespace

std::string listingLine(int number, const std::string& name, const std::string& title,
                        const std::string& status) {
  std::string line = formatText("%4i: %s %s", number, name, title);
  // Cut on a character boundary: the log stays valid CP932 for iconv.
  line.resize(characterBoundary(line, 46));
  while (line.size() + 2 <= 48) line += " \xA5";
  line.resize(49, ' ');
  return line + status;
}

bool generateLog(const std::string& path, std::uint64_t targetBytes, GeneratedLog& made,
                 int visit) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = true;
  {
    Writer out(file);
    Generator(out, targetBytes, visit).run(made);
    ok = out.flush();
    made.bytes = out.bytes();
    made.lines = out.lines();
  }
  return std::fclose(file) == 0 && ok;
}

}  // namespace zazir::bench

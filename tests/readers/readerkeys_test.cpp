// The help box and the status bar of each pager say the same: every key the
// bar names has its line in the box, the described lines are there byte
// for byte, and so are the terminal's page keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "compose/compose.h"
#include "compose/preview.h"
#include "console/keys.h"
#include "readers/fileboard.h"
#include "readers/mail_log.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "readers/readerscreen.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::TestApp;

// The full-width form of an ASCII key name ('W' is "Ｗ").
std::string fullWidth(char c) {
  const char32_t code = static_cast<char32_t>(c) + 0xFEE0;
  return {static_cast<char>(0xE0 | (code >> 12)), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
          static_cast<char>(0x80 | (code & 0x3F))};
}

TEST(ReaderKeys, HelpAndStatusBarAgree) {
  const std::vector<std::string> common = {"カーソルキー，テンキー：カーソル移動",
                                           "Ctrl+N，PageDown：次のページ",
                                           "Ctrl+B，PageUp：前のページ",
                                           "Ctrl+K，Ctrl+J，Ctrl+H：↑↓←と同じ　Ctrl+L：画面の描き直し"};
  struct Case {
    const char* name;
    std::function<void(TestApp&)> run;
    std::string status;  // row 23 up to the position
    std::string title;
    std::vector<std::string> described;  // lines the box must hold
  } cases[] = {
      {"message board",
       [](TestApp& t) {
         t.messageBoard(3, "TEST");
         t.message(1, "a", {"body"});
         readMessageBoard(t.withLog(), t.reading.search, t.reading.listPositions, 0);
       },
       "　ZAZIR W:書込 R:ﾚｽ V:移動ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ",
       "メニュー選択",
       {"Ｒ：返答の書き込み", "Ｖ：ボードを飛び越えたレス", "Ｓ：書き込みを保存",
        "Ｍ：一括レスのためのマーク", "Ｃ：マークした書き込みに対して一括レス",
        "Home，End：最初／最後のメッセージ"}},
      {"file board",
       [](TestApp& t) {
         t.fileBoard(5, "FILES");
         t.log.add("001: A.LZH");
         t.log.add("about A");
         readFileBoard(t.withLog(), t.reading.search, t.reading.downloads, 0);
       },
       "　ZAZIR W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ",
       "メニュー選択",
       {"Ｄ：ダウンロードをするマークを付ける", "Ｓ：書き込みを保存",
        "Home，End：最初／最後のファイル"}},
      {"mail",
       [](TestApp& t) {
         testing::MailLog mail;
         mail.add("A", "a", {"x"});
         t.index = mail.index;
         t.withLog(mail.bytes);
         readMail(t.app, t.reading.search);
       },
       "　ZAZIR W:ﾒｰﾙ送信 R:ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ",
       "メール読み出し",
       {"Ｗ：メール送信", "Ｒ：読んでいるメールに返事を書く", "Ｓ：メールの保存",
        "Ｉ：今読んでいるメールの差出人をＩＤリストに登録", "Home，End：最初／最後のメール"}},
      {"preview",
       [](TestApp& t) {
         Composition composition;
         composition.text = "x\n";
         int top = 0;
         previewText(t.app, composition, top);
       },
       "書き込んでよいですか？([Ｙ]/N/E)",
       "メニュー選択",
       {"Home，End：文章の最初／最後", "Ｅ：もう一度編集する", "Ｆ：アップロードファイルの参照"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestApp t;
    // The box may take two pages; a Space left over leaves the screen.
    t.backend.type("?").type("  ").press(key::kEscape);
    c.run(t);
    EXPECT_EQ(t.backend.rowAtKey(0, 23).substr(0, c.status.size()), c.status);
    EXPECT_EQ(t.backend.rowAtKey(1, 0), "【" + c.title + "】");
    EXPECT_EQ(t.backend.rowAtKey(1, 2), "　以下のキーが使用できます。");
    const std::size_t last = t.backend.rowAtKey(2, 0) == t.backend.rowAtKey(1, 0) ? 2 : 1;
    EXPECT_EQ(t.backend.rowAtKey(last, 23), "[何かキーを押すと戻ります]");
    std::vector<std::string> help;
    for (std::size_t page = 1; page <= last; ++page) {
      for (int row = page == 1 ? 4 : 2; row < 23 && !t.backend.rowAtKey(page, row).empty(); ++row) {
        help.push_back(t.backend.rowAtKey(page, row));
      }
    }
    const auto has = [&](const std::string& line) {
      return std::find(help.begin(), help.end(), line) != help.end();
    };
    std::vector<std::string> wanted = common;
    wanted.insert(wanted.end(), c.described.begin(), c.described.end());
    for (const std::string& line : wanted) EXPECT_TRUE(has(line)) << line;
    // Every key named on the bar ("W:書込", "W,D:...") has its line.
    std::istringstream words(c.status);
    for (std::string word; words >> word;) {
      const std::size_t colon = word.find(':');
      if (colon == std::string::npos) continue;
      for (std::size_t at = 0; at < colon; at += 2) {
        const std::string name = fullWidth(word[at]);
        EXPECT_TRUE(std::any_of(help.begin(), help.end(), [&](const std::string& line) {
          return line.starts_with(name);
        })) << word;
      }
    }
  }
}

// A reader's own key that a shared row or a finding key holds already
// would never be reached: such a table is refused as it is made.
TEST(ReaderKeys, AKeyBoundTwiceIsRefused) {
  enum class Own { First, Second };
  const ReaderRows rows{"moves", "ends", "hint", "leave"};
  EXPECT_NO_THROW(readerKeys<Own>(rows, {{{'V'}, Own::First}}, {{{'M'}, Own::Second}}));
  for (const Key key : {Key('T'), Key('t'), Key('#'), Key('/'), Key('n'), Key('N'), key::kTab,
                        Key('F'), Key('?'), key::kCtrlA, key::kEscape, Key('q'), Key(' '), Key('5'),
                        key::kLeft, Key('4'), key::kHome, key::kPageDown, Key('8')}) {
    EXPECT_THROW(readerKeys<Own>(rows, {{{key}, Own::First}}, {}), std::logic_error) << key.code();
    EXPECT_THROW(readerKeys<Own>(rows, {}, {{{key}, Own::First}}), std::logic_error) << key.code();
  }
  EXPECT_THROW(readerKeys<Own>(rows, {{{'V'}, Own::First}}, {{{'v', 'V'}, Own::Second}}),
               std::logic_error);
}

}  // namespace
}  // namespace zazir

#include "app/mainmenu.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>

#include "console/keys.h"
#include "platform/encoding.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using namespace literals;
using testing::TestApp;

class MainMenuTest : public TestApp, public ::testing::Test {
 protected:
  // Moves the menu's cursor (on row 0 each time the menu is shown) down.
  void down(int rows) {
    for (int i = 0; i < rows; ++i) backend.press(key::kDown);
  }
};

TEST_F(MainMenuTest, AnEmptyLogGivesTheNoticeForEveryItemButWritingStillWorks) {
  std::size_t key = 0;  // the screens as each scripted key is read
  // Return on each of the five items: the bell, then the notice.
  for (int item = 0; item < 5; ++item) {
    down(item);
    backend.press(key::kEnter).type(" ");
    key += static_cast<std::size_t>(item) + 2;
  }
  const std::size_t noticeOfLastItem = key - 1;
  // "W" on the mail item asks for recipients; "W" on the Notewall item asks
  // for a post at once. Esc gives up both.
  backend.type("w").press(key::kEscape);
  const std::size_t recipients = key + 1;
  down(4);
  backend.type("w").press(key::kEscape);
  const std::size_t notewallPost = key + 7;
  backend.type("q").type("y");

  EXPECT_EQ(testing::exitOf([&] { runMainMenu(reading); }).status, 0);
  EXPECT_EQ(backend.rowAtKey(0, 9),
            "メール .................................................................. [×]");
  EXPECT_EQ(backend.rowAtKey(0, 13),
            "Notewallシステム ........................................................ [×]");
  EXPECT_EQ(backend.rowAtKey(noticeOfLastItem, 0), "【書き込みがありません】");
  EXPECT_EQ(backend.bells(), 5);
  EXPECT_NE(backend.rowAtKey(recipients, 10).find("送信先のIDを入力"), std::string::npos);
  EXPECT_NE(backend.rowAtKey(notewallPost, 10).find("Notewallへの投稿"), std::string::npos);
  EXPECT_EQ(uploadBytes(), "<none>");
}

// A hang-up or termination anywhere below the main menu writes the files
// marked for download as the quit does; the run still ends with 128 + the
// signal, even when the batch cannot be written.
TEST(MainMenu, AHangUpKeepsTheDownloadMarks) {
  const struct {
    int signal;
    std::vector<DownloadMark> marks;
    bool uploadBlocked;
    std::string upload;
  } cases[] = {
      {SIGHUP, {{40, 1}, {12, 7}}, false, "F12\r\nZD7;Y;0\r\n0\r\n0\r\nF40\r\nZD1;Y;0\r\n0\r\n0\r\n"},
      {SIGTERM, {{3, 2}}, false, "F3\r\nZD2;Y;0\r\n0\r\n0\r\n"},
      {SIGTERM, {}, false, "<none>"},
      {SIGHUP, {{3, 2}}, true, "<none>"},
  };
  for (const auto& c : cases) {
    TestApp t;
    if (c.uploadBlocked) mkdir(t.uploadPath().c_str(), 0755);
    t.reading.downloads = c.marks;
    t.backend.type("w").hangUp(c.signal);  // at the recipients of a new mail
    EXPECT_EQ(testing::exitOf([&] { runMainMenu(t.reading); }).status, 128 + c.signal);
    EXPECT_EQ(t.uploadBytes(), c.upload) << c.signal;
  }
}

TEST_F(MainMenuTest, EachItemIsMarkedByWhetherItsContentExists) {
  struct Case {
    int row;
    void (*fill)(LogIndex&);
  } cases[] = {
      {0, [](LogIndex& i) { i.mails.emplace_back(); }},
      {1, [](LogIndex& i) { i.messageBoards.emplace_back(); }},
      {2, [](LogIndex& i) { i.fileBoards.emplace_back(); }},
      {3, [](LogIndex& i) { i.chatBoards.emplace_back(); }},
      {4, [](LogIndex& i) { i.notewallOffset = 1; }},
  };
  for (const Case& c : cases) {
    LogIndex filled;
    c.fill(filled);
    const ListRows rows = mainMenuRows(filled);
    for (int row = 0; row < 5; ++row) {
      ASSERT_EQ(rows[row].size(), 78u);  // 75 bytes, the mark and "]"
      EXPECT_EQ(rows[row].substr(75), row == c.row ? "→]"_sj : "×]"_sj) << c.row << " " << row;
    }
  }
  // A Notewall at the very start of the log has no content mark.
  LogIndex atStart;
  atStart.notewallOffset = 0;
  EXPECT_EQ(mainMenuRows(atStart)[4].substr(75), "×]"_sj);
}


// The menu's page keys bring the cursor back to its first row, also after
// End took it to the last (the chat board list keeps the last).
TEST_F(MainMenuTest, PageKeysGoBackToTheFirstRow) {
  backend.press(key::kEnd).press(key::kPageUp).press(key::kEnd).press(key::kPageDown);
  backend.press(key::kDown).press(key::kUp).press(key::kUp).type("q").type("y");
  EXPECT_EQ(testing::exitOf([&] { runMainMenu(reading); }).status, 0);
  // The menu's rows stand on screen rows 9 to 13.
  const int expected[] = {13, 9, 13, 9, 10, 9, 9};
  for (std::size_t k = 0; k < std::size(expected); ++k) {
    EXPECT_EQ(testing::highlightedRows(backend.screenAtKey(k + 1)), std::vector<int>{expected[k]})
        << k;
  }
}

}  // namespace
}  // namespace zazir

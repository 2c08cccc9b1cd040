// Download marks made with "D" in the file board reader become the
// download batch of the quit.
#include <gtest/gtest.h>

#include "app/mainmenu.h"
#include "console/keys.h"
#include "console/render.h"
#include "readers/fileboard.h"
#include "support/test_app.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::TestApp;

class DownloadMarkTest : public TestApp, public ::testing::Test {
 protected:
  // A file board with entries for files 1 to `files`.
  void board(int number, int files) {
    fileBoard(number, formatText("BOARD%i", number));
    for (int file = 1; file <= files; ++file) {
      log.add(formatText("%03i: F%i.LZH", file, file));
      log.add("description");
    }
  }
  // Opens board `board` and marks its first `count` entries, one by one.
  void markFirst(int board, int count) {
    for (int i = 0; i < count; ++i) backend.type("d").press(key::kRight);
    backend.press(key::kEscape);
    readFileBoard(withLog(), reading.search, reading.downloads, board);
  }
  // The quit with "yes" to the download question and "no" to the quit.
  void quitDownloading() {
    backend.type("y").type("n");
    quitSequence(withLog(), reading.downloads);
  }
};

TEST_F(DownloadMarkTest, ElevenMarksOnOneBoardMakeTwoGroups) {
  board(12, 11);
  markFirst(0, 11);
  quitDownloading();
  EXPECT_EQ(backend.rowAtKey(23, 11),
            "       11個のファイルにダウンロードのチェックを付けてあります。");
  EXPECT_EQ(uploadBytes(),
            "F12\r\nZD1;Y;2;Y;3;Y;4;Y;5;Y;6;Y;7;Y;8;Y;9;Y;10;Y;0\r\n0\r\n0\r\n"
            "F12\r\nZD11;Y;0\r\n0\r\n0\r\n");
  EXPECT_TRUE(reading.downloads.empty());
}

TEST_F(DownloadMarkTest, TheCountOfTenRunsOnAcrossBoards) {
  board(12, 7);
  board(40, 5);
  markFirst(0, 7);
  markFirst(1, 5);
  quitDownloading();
  EXPECT_EQ(uploadBytes(),
            "F12\r\nZD1;Y;2;Y;3;Y;4;Y;5;Y;6;Y;7;Y;0\r\n0\r\n0\r\n"
            "F40\r\nZD1;Y;2;Y;3;Y;0\r\n0\r\n0\r\n"
            "F40\r\nZD4;Y;5;Y;0\r\n0\r\n0\r\n");
}

TEST_F(DownloadMarkTest, UnmarkedFilesAreNotDownloadedAndNoKeepsTheMarks) {
  board(12, 3);
  backend.type("d").press(key::kRight).type("d").press(key::kRight).type("d");
  backend.press(key::kLeft).type("d").press(key::kEscape);
  readFileBoard(withLog(), reading.search, reading.downloads, 0);
  backend.type("n").type("n");
  quitSequence(withLog(), reading.downloads);
  EXPECT_EQ(uploadBytes(), "<none>");
  quitDownloading();
  EXPECT_EQ(uploadBytes(), "F12\r\nZD1;Y;3;Y;0\r\n0\r\n0\r\n");
}

// The host would read a "0" as the end of a list and the rest as keys of
// its menus: a file on a board numbered 0 is refused with the bell.
TEST_F(DownloadMarkTest, AFileOfABoardWithoutANumberIsNotMarked) {
  board(0, 1);
  board(12, 1);
  markFirst(0, 1);
  markFirst(1, 1);
  quitDownloading();
  EXPECT_EQ(backend.bells(), 1);
  EXPECT_EQ(uploadBytes(), "F12\r\nZD1;Y;0\r\n0\r\n0\r\n");
}

}  // namespace
}  // namespace zazir

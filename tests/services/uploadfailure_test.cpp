// Nothing is lost when the upload file cannot take a command: its
// directory is missing or read-only, the disk is full, or the file system
// fills up in the middle of the command. A board post, a mail and a chat
// line each tell the user on screen; a composed text stays in the
// temporary file, a chat line's text is shown, and the upload file keeps
// exactly what it held.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "chat/chat.h"
#include "console/keys.h"
#include "console/render.h"
#include "platform/textfile.h"
#include "services/uploadfile.h"
#include "support/test_app.h"
#include "writers/boardposts.h"
#include "writers/sendmail.h"

namespace zazir {
namespace {

using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

enum class Place { MissingDirectory, ReadOnlyDirectory, FullDisk, FillsUp };

// What the upload file held before; a command never leaves a part of
// itself behind.
const std::string kEarlier = "EW1;earlier;Y\r\nkept\r\n\r\n//\r\nS\r\n";

class UploadFailureTest : public ::testing::TestWithParam<Place> {
 protected:
  ~UploadFailureTest() override {
    std::error_code ignored;
    std::filesystem::permissions(t_.path("ro"), std::filesystem::perms::owner_all, ignored);
  }

  // Puts the upload file in its place; false when the place cannot be made
  // here (a read-only directory does not stop the superuser).
  bool place() {
    switch (GetParam()) {
      case Place::MissingDirectory:
        t_.config.uploadfileDir = t_.path("missing/");
        return true;
      case Place::ReadOnlyDirectory: {
        t_.config.uploadfileDir = t_.path("ro/");
        std::filesystem::create_directory(t_.path("ro"));
        std::filesystem::permissions(
            t_.path("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        return access(t_.path("ro").c_str(), W_OK) != 0;
      }
      case Place::FullDisk:
        t_.config.uploadfileDir = "/dev/";
        t_.config.uploadfile = "full";
        return true;
      case Place::FillsUp:
        writeBytes(t_.uploadPath(), kEarlier);
        return true;
    }
    return false;
  }

  // Runs `action` where the upload file cannot take a command.
  template <typename Action>
  void failing(Action action) {
    if (GetParam() == Place::FillsUp) {
      testing::FileSizeLimit limit(kEarlier.size() + 8);
      action();
    } else {
      action();
    }
  }

  // The notice, shown while its key was awaited.
  void expectNotice(std::size_t key, const std::string& lost) {
    const Screen& told = t_.backend.screenAtKey(key);
    EXPECT_EQ(rowToUtf8(told, 0), "【アップロードファイルに書き込めません】");
    const std::string where = "　アップロードファイル[" + utf8(uploadFilePath(t_.config)) + "]";
    EXPECT_EQ(rowToUtf8(told, 2).substr(0, where.size()), where);
    bool shown = false;
    for (int row = 3; row < 23; ++row) shown = shown || rowToUtf8(told, row) == lost;
    EXPECT_TRUE(shown) << lost;
  }

  TestApp t_;
  testing::InDirectory inDirectory_{t_.dir};  // where the chat back-logs are
};

TEST_P(UploadFailureTest, APostAMailAndAChatLineAreToldAndNothingIsLost) {
  if (!place()) GTEST_SKIP() << "a read-only directory does not stop this user";
  const std::string before = GetParam() == Place::FillsUp ? kEarlier : "<none>";
  const std::string kept = "　書いた文章はファイル[" + utf8(t_.tempPath()) + "]に残してあります。";

  // A board post.
  t_.index.messageBoards.push_back(BoardEntry{0, 3, "b", "b"});
  t_.editor.writes("a post\r\n");
  t_.backend.type("title").press(key::kEnter).type("y").type(" ");
  failing([&] { writeNewPost(t_.app, t_.index.messageBoards[0]); });
  expectNotice(7, kept);
  EXPECT_EQ(t_.tempBytes(), "a post\r\n");
  if (GetParam() != Place::FullDisk) {
    EXPECT_EQ(t_.uploadBytes(), before);
  }

  // A mail: the post's text stays where it was kept, and the mail is
  // written and kept in a file of its own.
  t_.editor.writes("a mail\r\n");
  t_.backend.type("AAA\r0\r");  // the recipient list: keys 8 to 13
  t_.backend.type("y").press(key::kEnter).type(" ").type("y").type(" ");
  failing([&] { sendNewMail(t_.app); });
  EXPECT_EQ(t_.backend.rowAtKey(13 + 3, 0), "【前に書いた文章が残っています】");
  const std::string mailPath = t_.editor.paths.back();
  expectNotice(13 + 5, "　書いた文章はファイル[" + utf8(mailPath) + "]に残してあります。");
  EXPECT_EQ(t_.tempBytes(), "a post\r\n");
  EXPECT_EQ(testing::fileBytes(mailPath), "a mail\r\n");
  if (GetParam() != Place::FullDisk) {
    EXPECT_EQ(t_.uploadBytes(), before);
  }

  // A chat line: the notice shows what was typed.
  ChatBoardEntry chat;
  chat.name = "#talk";
  chat.number = 7;
  t_.index.chatBoards.push_back(chat);
  t_.index.chatContentOffset.push_back(0);
  writeBytes("#talk", "ABC12345      >hello\r\n");
  t_.backend.press(key::kEnter).type("W").type("my chat line").press(key::kEnter).type(" ");
  t_.backend.type("q").type("q");
  failing([&] { runChatLoop(t_.app, t_.reading.listPositions); });
  expectNotice(18 + 16, "my chat line");
  if (GetParam() != Place::FullDisk) {
    EXPECT_EQ(t_.uploadBytes(), before);
  }
  EXPECT_EQ(t_.backend.pendingKeys(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Places, UploadFailureTest,
                         ::testing::Values(Place::MissingDirectory, Place::ReadOnlyDirectory,
                                           Place::FullDisk, Place::FillsUp));

}  // namespace
}  // namespace zazir

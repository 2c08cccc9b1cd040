// Configured paths and logs that name devices and FIFOs instead of files:
// a device such as /dev/zero never ends and a FIFO without a partner
// blocks. Each is treated as a file that cannot be read or written, and
// the run goes on at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "addressbook/grouplist.h"
#include "addressbook/idlist.h"
#include "chat/chat.h"
#include "console/keys.h"
#include "console/render.h"
#include "platform/linestream.h"
#include "platform/textfile.h"
#include "services/uploadfile.h"
#include "support/test_app.h"
#include "writers/boardposts.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::TestApp;
using testing::writeBytes;

std::string fifoIn(const TestApp& t, const std::string& name) {
  const std::string path = t.path(name);
  if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo " + path);
  return path;
}

TEST(HostileDevices, AreNeitherReadNorWaitedFor) {
  TestApp t;
  const std::string fifo = fifoIn(t, "FIFO");
  for (const std::string& path : {std::string("/dev/zero"), fifo}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(readBinaryFile(path));
    EXPECT_FALSE(readTextFile(path));
    EXPECT_FALSE(FileLineStream::open(path));
  }
  // Nobody reads the FIFO: writing to it fails at once.
  EXPECT_NE(
      appendText({fifo, AppendRule::AsItStands, AppendMode::CreateIfMissing, FileGuard()}, "a"),
      AppendOutcome::Written);
  EXPECT_FALSE(writeTextFile(fifo, "a"));
  EXPECT_FALSE(appendOnOwnLine(fifo, "a", FileGuard()));
}

TEST(HostileDevices, AnUploadFileOnADeviceIsNoFileLeftFromAnEarlierRun) {
  for (const char* name : {"full", "zero"}) {
    TestApp t;
    t.config.uploadfileDir = "/dev/";
    t.config.uploadfile = name;
    applyUploadFilePolicy(t.app);  // asks nothing
    EXPECT_EQ(t.backend.pendingKeys(), 0u) << name;
  }
}

TEST(HostileDevices, ASignatureOnADeviceIsNotOffered) {
  TestApp t;
  t.config.signature = "/dev/zero";
  t.index.messageBoards.push_back(BoardEntry{0, 3, "b", "b"});
  t.editor.writes("text\r\n");
  t.backend.type("title").press(key::kEnter).type("y");  // the preview's answer
  writeNewPost(t.app, t.index.messageBoards[0]);
  EXPECT_EQ(t.uploadBytes(), "EW3;title;Y\r\ntext\r\n\r\n//\r\nS\r\n");
}

TEST(HostileDevices, AddressFilesOnDevicesCannotBeRead) {
  TestApp t;
  t.config.idfile = "/dev/zero";
  t.config.grouplistfile = fifoIn(t, "GROUP.FIFO");
  t.backend.type(" ").type(" ");
  EXPECT_EQ(chooseIds(t.app), "");
  EXPECT_EQ(t.backend.rowAtKey(0, 22), "ＩＤファイル[/dev/zero]が読めません。");
  EXPECT_EQ(chooseGroup(t.app), "");
  EXPECT_EQ(t.backend.rowAtKey(1, 22),
            "グループファイル[" + t.config.grouplistfile + "]が読めません。");
}

TEST(HostileDevices, ANotewallLineForAFifoIsTold) {
  TestApp t;
  t.config.uploadfile = "UPLOAD.FIFO";
  fifoIn(t, "UPLOAD.FIFO");
  t.backend.type("a line").press(key::kEnter).type(" ");
  postToNotewall(t.app);
  EXPECT_EQ(t.backend.rowAtKey(7, 0), "【アップロードファイルに書き込めません】");
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
}

}  // namespace
}  // namespace zazir

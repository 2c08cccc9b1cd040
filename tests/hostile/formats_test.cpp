// Hostile formats in the configuration file ("%n", a huge width, a lone
// "%", many "%s") reaching every place a configured format is used: the
// upload file's name and its start-up policy, the ID and group files, the
// quotation and the three reply headings. Each ends as the configuration
// describes (no conversion but "%s" and "%%"; a width is capped), and
// writes no file but the configured ones.
#include <gtest/gtest.h>

#include "addressbook/idlist.h"
#include "app/startup.h"
#include "console/dialogs.h"
#include "console/keys.h"
#include "console/render.h"
#include "hostile/hostile_fixture.h"
#include "platform/textfile.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "services/uploadfile.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::HostileRun;
using testing::sj;

// A searched board with one message, a prompt line that ends it, and a mail.
std::string hostileLog() {
  std::string listing = "   3: b";
  listing.resize(49, ' ');
  return listing + sj("検索中") + "\r\n" + sj("新しいメッセージが 1 件あります。") +
         "\r\nMessage  #0001 is from: ID0001 hana\r\nDate: 96/01/01\r\nTitle:t\r\n----\r\n"
         "body\r\n0003:b > Q\r\nPrivate Message is from: M mm\r\nDate: 97/01/02 12:34:56\r\n"
         "Title:x\r\n----\r\nmail body\r\n" +
         sj("削除しますか(Y/N)? ") + "\r\n";
}

struct Case {
  std::string format;
  std::string uploadName;   // on disk; empty: it names the directory and cannot be written
  std::string boardQuote;   // "body" quoted for "hana"
  std::string mailQuote;    // "mail body" quoted for "mm"
  std::string newsHeading;  // for "hana", "1" and "t"
  std::string mailHeading;  // for "97/01/02" and "12:34:56"
};

TEST(HostileFormats, ReachEveryConfiguredFormatHarmlessly) {
  const std::string blanks(10000, ' ');  // the formatter's widest field
  const std::string many = "%s%s%s%s%s%s%s%s%s%s%s%s";
  const Case cases[] = {
      {"%n", "%n", "%nbody\r\n", "%nmail body\r\n", "%n", "%n"},
      {"%", "%", "%body\r\n", "%mail body\r\n", "%", "%"},
      {many, "0105.LOG", "hanabody\r\n", "mmmail body\r\n", "hana1t", "97/01/0212:34:56"},
      // The prefixes leave two and ten bytes to each quoted piece: the ends
      // of the message and of the mail must still be found.
      {"%999999999s", "", blanks.substr(0, 76) + "bo\r\n" + blanks.substr(0, 76) + "dy\r\n",
       blanks.substr(0, 68) + "mail body\r\n", blanks.substr(4) + "hana",
       blanks.substr(8) + "97/01/02"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    HostileRun t;
    Config& config = t.config;
    config = Config{};
    const std::string settings =
        "UPLOADFILE_DIR=" + t.dir + "\r\nTEMPORARY_DIR=" + t.dir + "\r\nCUTFILE_DIR=" + t.dir +
        "\r\nUPLOADFILE=" + c.format + "\r\nIDFILE=" + t.dir + "i" + c.format +
        "\r\nGROUPLISTFILE=" + t.dir + "g" + c.format + "\r\nQUOTATION=" + c.format +
        "\r\nHEADREPLYMAIL=" + c.format + "\r\nHEADREPLYNEWS=" + c.format +
        "\r\nHEADREPLYNEWSTITLECHANGE=" + c.format + "\r\nUPLOADFILE_EXIST=WRITE_KILLOUT\r\n"
        "EDITOR_CODE=SJIS\r\n";
    ASSERT_FALSE(parseConfiguration(settings, config));
    config.editor = "edit";
    deriveFileNames(config, t.dir + "0105.LOG");
    ASSERT_EQ(uploadFileDiskPath(config), t.dir + c.uploadName);
    const bool writable = !c.uploadName.empty();
    // The ID and group files exist where their names can.
    const bool addressFiles = writeTextFile(config.idfile, "ID0002,hiro\n");
    ASSERT_EQ(addressFiles, writable);
    if (addressFiles) {
      ASSERT_TRUE(writeTextFile(config.grouplistfile, ""));
    }
    if (writable) {
      ASSERT_TRUE(writeTextFile(uploadFileDiskPath(config), "old"));
    }

    App& a = t.open(hostileLog());
    applyUploadFilePolicy(a);
    EXPECT_EQ(fileExists(uploadFileDiskPath(config)), !writable);  // the directory stays

    // A board reply: heading and quotation into the upload file.
    t.editor.keeps().keeps();
    t.backend.type("r").press(key::kEnter).type("y");
    if (!writable) t.backend.type(" ");  // the notice
    t.backend.press(key::kEscape);
    readMessageBoard(a, t.reading.search, t.reading.listPositions, 0);
    const std::string board = "ER3;1;Y\r\n" + c.newsHeading + "\r\n\r\n" + c.boardQuote + "\r\n";
    if (writable) {
      EXPECT_EQ(t.uploadBytes(), board + "\r\n//\r\nS\r\n");
    } else {
      EXPECT_EQ(t.tempBytes(), board.substr(9));
      EXPECT_EQ(t.backend.rowAtKey(3, 0), "【アップロードファイルに書き込めません】");
      removeFile(t.tempPath(), FileGuard());  // taken away, so that the mail is kept there too
    }

    // A mail reply, then the sender registered in the ID file.
    t.backend.type("r").type("y").press(key::kEnter).type("y");
    if (!writable) t.backend.type(" ");
    t.backend.type("i").type("memo").press(key::kEnter).type(" ").press(key::kEscape);
    const std::string mail = "EMM;0\r\nRe:x;Y\r\n" + c.mailHeading + "\r\n\r\n" + c.mailQuote;
    if (writable) {
      readMail(a, t.reading.search);
      EXPECT_EQ(t.uploadBytes(), board + "\r\n//\r\nS\r\n" + mail + "\r\n//\r\nS\r\n");
      EXPECT_EQ(fileBytes(config.idfile), "ID0002,hiro\r\nM,mm,memo\r\n");
    } else {
      // A missing ID file ends the program.
      EXPECT_THROW(readMail(a, t.reading.search), ProgramExit);
      EXPECT_EQ(t.tempBytes(), mail.substr(15));
    }

    // The ID list reads the ID file; a group is registered in the group file.
    t.backend.type(" ").type("g").type("grp").press(key::kEnter).type(" ").press(key::kEnter);
    if (writable) {
      EXPECT_EQ(chooseIds(a), "ID0002");
      EXPECT_EQ(fileBytes(config.grouplistfile), "[grp]\r\nID0002\r\n");
    }

    std::set<std::string> expected;
    if (writable) {
      expected = {c.uploadName, "i" + c.uploadName, "g" + c.uploadName};
    } else {
      expected = {"ZQ2OFF.TMP"};
    }
    EXPECT_EQ(t.files(), expected);
  }
}

}  // namespace
}  // namespace zazir

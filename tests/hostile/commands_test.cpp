// Texts of the log that the host would read as its own structure, answered
// through whole screens: the upload file reads back as exactly the command
// the user confirmed, and the user confirmed what it carries.
#include <gtest/gtest.h>

#include <optional>

#include "console/keys.h"
#include "hostile/hostile_fixture.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "support/upload_parser.h"

namespace zazir {
namespace {

using testing::ParsedCommand;
using testing::parseUploadFile;
using testing::sj;

// The one command the upload file holds, read as the host reads it.
std::optional<ParsedCommand> onlyCommand(const testing::HostileRun& run) {
  std::string error;
  const auto commands = parseUploadFile(run.uploadBytes(), &error);
  EXPECT_TRUE(commands) << error;
  if (!commands || commands->size() != 1) {
    ADD_FAILURE() << (commands ? commands->size() : 0) << " commands read back";
    return std::nullopt;
  }
  return commands->front();
}

TEST(HostileCommands, ALogNeverAddsCommandsToAReply) {
  using Kind = ParsedCommand::Kind;
  {
    SCOPED_TRACE("a mail title with ;, a 0 and 0x1A");
    testing::HostileRun t;
    App& a = t.open(
        "Private Message is from: SENDER01 name\r\nDate: 97/01/02 12:34:56\r\n"
        "Title:x;Y;0\x1a;Q\r\n\r\nbody\r\n" +
        sj("削除しますか(Y/N)? ") + "\r\n");
    t.editor.keeps();
    // Reply, the sender confirmed, the proposed title, the text as prepared.
    t.backend.type("r").type("y").press(key::kEnter).type("y").press(key::kEscape);
    readMail(a, t.reading.search);
    const std::string title = "Re:x" + sj("；") + "Y" + sj("；") + "0 " + sj("；") + "Q";
    EXPECT_EQ(t.backend.rowAtKey(2, 11), testing::utf8(title));  // what Return accepted
    if (const std::optional<ParsedCommand> mail = onlyCommand(t)) {
      EXPECT_EQ(mail->kind, Kind::Mail);
      EXPECT_EQ(mail->ids, std::vector<std::string>{"SENDER01"});
      EXPECT_EQ(mail->answers, std::vector<std::string>{title});
    }
  }
  {
    SCOPED_TRACE("a sender whose ID the host would read as two");
    testing::HostileRun t;
    App& a = t.open("Private Message is from: A;B name\r\nDate: 97/01/02 12:34:56\r\nTitle:t\r\n");
    t.backend.type("r").type("y").press(key::kEnter).type("x").press(key::kEscape);
    readMail(a, t.reading.search);
    EXPECT_EQ(t.backend.rowAtKey(3, 2), "　ID[A;B]は、ホストでは一つのIDとして読まれません");
    EXPECT_EQ(t.uploadBytes(), "<none>");
    EXPECT_TRUE(t.editor.commandLines.empty());
  }
  {
    SCOPED_TRACE("a body that ends the text and sends a mail, quoted bare");
    testing::HostileRun t;
    t.config.quotation = "";
    std::string listing = "   3: BOARD t";
    listing.resize(49, ' ');
    App& a = t.open(listing + sj("検索中") + "\r\n" + sj("新しいメッセージが 1 件あります。") +
                    "\r\nMessage  #0001 is from: ID0001 hana\r\nDate: 96/01/01\r\nTitle:t\r\n"
                    "----\r\n//\r\nS\r\nEMEVIL0001;0\r\nx;Y\r\n");
    t.editor.keeps();
    // Reply keeping the title, the text as prepared.
    t.backend.type("r").press(key::kEnter).type("y").press(key::kEscape);
    readMessageBoard(a, t.reading.search, t.reading.listPositions, 0);
    EXPECT_EQ(t.backend.rowAtKey(2, 2), "／／");  // the preview shows what is written
    if (const std::optional<ParsedCommand> reply = onlyCommand(t)) {
      EXPECT_EQ(reply->kind, Kind::Reply);
      EXPECT_EQ(reply->numbers, (std::vector<std::int64_t>{3, 1}));
      // After the heading and an empty line, the message's lines as text.
      ASSERT_GE(reply->text.size(), 6u);
      EXPECT_EQ(std::vector<std::string>(reply->text.begin() + 2, reply->text.begin() + 6),
                (std::vector<std::string>{sj("／／"), "S", "EMEVIL0001;0", "x;Y"}));
    }
  }
}

}  // namespace
}  // namespace zazir

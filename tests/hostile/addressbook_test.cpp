// Hostile address books: an ID file of 2000 entries and a group file of
// 2000 groups, every field 1000 bytes long, through the ID list, the group
// list and the recipient list.
#include <gtest/gtest.h>

#include "addressbook/grouplist.h"
#include "addressbook/idlist.h"
#include "addressbook/recipients.h"
#include "console/keys.h"
#include "console/render.h"
#include "support/test_app.h"
#include "text/format.h"

namespace zazir {
namespace {

using testing::fileBytes;
using testing::sj;
using testing::TestApp;
using testing::utf8;
using testing::writeBytes;

constexpr int kEntries = 2000;

// A field of 1000 bytes: the number, then `fill`, with a double-byte
// character across the place where the field is cut.
std::string field(int number, char fill, std::size_t cut) {
  std::string text = std::to_string(number);
  text.insert(0, 4 - text.size(), '0');
  static const std::string kanji = sj("漢");
  text += std::string(cut - 1 - text.size(), fill) + kanji;
  text.resize(1000, fill);
  return text;
}

TEST(HostileAddressBook, TheLastOfTwoThousandLongEntriesIsReachedAndCut) {
  TestApp t;
  std::string ids;
  for (int i = 0; i < kEntries; ++i) {
    ids += field(i, 'i', 9) + "," + field(i, 'h', 29) + "," + field(i, 'm', 39) + "\r\n";
  }
  writeBytes(t.config.grouplistfile, "");
  writeBytes(t.config.idfile, ids);
  // 8 entries a row: 250 rows down reach the last entry.
  t.backend.press(key::kDown, 250);
  t.backend.type(" ").type("g").type("last").press(key::kEnter).type(" ").press(key::kEnter);
  EXPECT_EQ(chooseIds(t.app), "1999iiii");  // the character across byte 9 left out whole
  const Screen& last = t.backend.screenAtKey(250);
  EXPECT_EQ(rowToUtf8(last, 0).substr(0, 8), "1920iiii");
  EXPECT_EQ(rowToUtf8(last, 9).substr(70), "1999iiii");  // the 80th entry of the page
  // A line is read up to 1023 bytes: the handle keeps what is left of them.
  EXPECT_EQ(rowToUtf8(last, 21), "ハンドル名：1999" + std::string(18, 'h'));
  EXPECT_EQ(rowToUtf8(last, 22), "メモ：");
  EXPECT_NE(rowToUtf8(last, 23).find("Now:Bottom"), std::string::npos);
  EXPECT_EQ(fileBytes(t.config.grouplistfile), "[last]\r\n1999iiii\r\n");
}

TEST(HostileAddressBook, AGroupOfHundredsOfMembersAsksForOneKeyWhenEscIsPressed) {
  TestApp t;
  std::string groups;
  for (int g = 0; g < kEntries; ++g) {
    groups += '[';
    groups += field(g, 'n', 79);
    groups += "]\r\n";
    for (std::size_t start = groups.size(), m = 0; groups.size() - start < 1000; ++m) {
      groups.append("G").append(std::to_string(g)).append("M").append(std::to_string(m));
      groups += ';';
    }
    groups += "\r\n";
  }
  writeBytes(t.config.grouplistfile, groups);
  // The 128th group is the last one read: six pages of 20 and 7 rows down.
  t.backend.type("G").press(key::kEnter).press(key::kDown, 127).press(key::kEnter);
  t.backend.press(key::kEscape);  // at the 33rd member's message
  t.backend.type("0").press(key::kEnter);
  const std::string recipients = joinedRecipients(enterRecipients(t.app));
  EXPECT_EQ(recipients.substr(0, 15), "G127M0;G127M1;G");
  EXPECT_EQ(recipients.substr(recipients.size() - 7), "G127M31");
  EXPECT_EQ(t.backend.bells(), 1);
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
  const Screen& chosen = t.backend.screenAtKey(2 + 127);
  EXPECT_EQ(rowToUtf8(chosen, 7), "0127" + std::string(74, 'n'));
  EXPECT_NE(rowToUtf8(chosen, 23).find("Now:Bottom"), std::string::npos);
}

}  // namespace
}  // namespace zazir

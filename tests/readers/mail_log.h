// A communication log of private messages built in memory, with the index
// that the scan would give it, and the mail reader run over it.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console/keys.h"
#include "formats/logindex.h"
#include "readers/mailreader.h"
#include "support/test_app.h"

namespace zazir::testing {

// The host's question after a mail, which ends it.
inline std::string deleteQuestion() {
  return sj("削除しますか(Y/N)? ");
}

struct MailLog {
  std::string bytes = "MAIN (A,B,C) > \r\n";
  LogIndex index;

  // A mail whose body is followed by `end` (none when empty).
  MailLog& add(const std::string& id, const std::string& name, const std::vector<std::string>& body,
               const std::string& end = deleteQuestion()) {
    MailEntry mail;
    mail.headerOffset = static_cast<LogOffset>(bytes.size());
    mail.senderId = id;
    mail.senderName = name;
    mail.title = "Title of " + id;
    mail.dateText = "97/01/02";
    mail.timeText = "12:34:56";
    bytes += "Private Message is from: " + id + " " + name + "\r\n";
    bytes += "Date: 97/01/02 12:34:56\r\n";
    bytes += "Title:" + mail.title + "\r\n";
    for (const std::string& line : body) bytes += line + "\r\n";
    if (!end.empty()) bytes += end + "\r\n";
    index.mails.push_back(mail);
    return *this;
  }
};

// Runs the reader over `keys` and Esc, on mail `mail` (Right presses).
inline void read(TestApp& t, const std::vector<Key>& keys, int mail = 0) {
  t.backend.press('6', mail).press(keys).press(key::kEscape);
  readMail(t.app, t.reading.search);
  EXPECT_EQ(t.backend.pendingKeys(), 0u);
}

}  // namespace zazir::testing

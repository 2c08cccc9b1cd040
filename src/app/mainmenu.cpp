#include "app/mainmenu.h"

#include "app/navigation.h"
#include "app/searchscreen.h"
#include "app/startup.h"
#include "chat/chat.h"
#include "console/dialogs.h"
#include "formats/hostcommands.h"
#include "platform/encoding.h"
#include "readers/unread.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "writers/boardposts.h"
#include "writers/sendmail.h"

namespace zazir {

using namespace literals;

namespace {

enum MenuRow { kMail = 0, kMessageBoards = 1, kFileBoards = 2, kChat = 3, kNotewall = 4 };

// The menu's rows stand on screen rows 9 to 13.
constexpr int kMenuRowOffset = 8;
constexpr int kMenuLastRow = 4;
// Item name, a blank, dots up to this length, then " [".
constexpr std::size_t kMenuLeaderEnd = 73;

std::string menuLabel(const std::string& name, bool hasContent) {
  std::string label = name + " ";
  if (label.size() < kMenuLeaderEnd) label.append(kMenuLeaderEnd - label.size(), '.');
  label += " [";
  label += hasContent ? "→]"_sj : "×]"_sj;
  return label;
}

void showNothingToRead(App& app) {
  app.console.bell();
  messageBox(app.console, MessageId::NoPosts);
}

// Opens a part of the log that holds something, else tells there is nothing.
template <typename Open>
void readIfAny(App& app, bool any, Open open) {
  if (any) {
    open();
  } else {
    showNothingToRead(app);
  }
}

// Keys of the main menu alone.
ListKeys menuKeys() {
  static const Binding<ListAction> kKeys[] = {
      {{'/'}, ListAction::Search, "／：ログ全体から検索"_sj},
      {{key::kTab}, ListAction::NextUnread, "Tab：次の未読"_sj},
  };
  return kKeys;
}

void dispatch(Reading& reading, const ListChoice& choice) {
  App& app = reading.app;
  const LogIndex& index = app.index;
  if (choice.action == ListAction::Search) {
    searchWholeLog(reading);
    return;
  }
  if (choice.action == ListAction::NextUnread) {
    readFirstUnread(reading);
    return;
  }
  const bool write = choice.action == ListAction::Write;
  switch (choice.entry) {
    case kMail:
      if (write) {
        sendNewMail(app);
      } else {
        readIfAny(app, index.mailCount() > 0, [&] {
          backToBoardList(reading, followReaders(reading, {MarkSection::Mail, 0, 0}, {}));
        });
      }
      break;
    case kMessageBoards:
      readIfAny(app, index.messageBoardCount() > 0,
                [&] { runBoardLists(reading, MarkSection::MessageBoard); });
      break;
    case kFileBoards:
      readIfAny(app, index.fileBoardCount() > 0,
                [&] { runBoardLists(reading, MarkSection::FileBoard); });
      break;
    case kChat:
      readIfAny(app, index.chatBoardCount() > 0, [&] { runChatLoop(app, reading.listPositions); });
      break;
    case kNotewall:
      if (write) {
        postToNotewall(app);
      } else {
        readIfAny(app, index.notewallOffset >= 0,
                  [&] { runNotewallLoop(app, reading.listPositions); });
      }
      break;
    default:
      break;
  }
}

void drawFrame(Console& console, int bottomRow) {
  console.clearScreen();
  console.setCursor(0, 10);
  console.writeText(frameLine());
  console.setCursor(0, bottomRow);
  console.writeText(frameLine());
}

}  // namespace

ListRows mainMenuRows(const LogIndex& index) {
  ListRows rows;
  rows[kMail] = menuLabel("メール"_sj, index.mailCount() > 0);
  rows[kMessageBoards] = menuLabel("メッセージボード"_sj, index.messageBoardCount() > 0);
  rows[kFileBoards] = menuLabel("ファイルボード"_sj, index.fileBoardCount() > 0);
  rows[kChat] = menuLabel("１行チャット"_sj, index.chatBoardCount() > 0);
  rows[kNotewall] = menuLabel("Notewallシステム"_sj, index.notewallOffset > 0);
  return rows;
}

void offerDownloads(App& app, DownloadMarks& marks) {
  Console& console = app.console;
  if (!marks.empty()) {
    drawFrame(console, 13);
    console.setCursor(7, 11);
    console.putText("%02i個のファイルにダウンロードのチェックを付けてあります。"_sj,
                    static_cast<int>(marks.size()));
    console.setCursor(7, 12);
    console.writeText("これらをダウンロードしますか？"_sj);
    if (askYesNo(console, YesNoMode::DefaultYes)) {
      // Marks that could not be written stay, to be offered again.
      if (appendToUploadFile(app, downloadBatch(marks))) marks.clear();
    }
  }
}

void keepWhatTheRunLeaves(Reading& reading, const ProgramExit& exit) {
  App& app = reading.app;
  saveReadMarks(app.console, app.marks);
  // A hang-up keeps the files marked for download: the batch is written
  // as the quit writes it, and the run still ends.
  if (exit.signal != 0 && !reading.downloads.empty()) {
    appendToUploadFile(app, downloadBatch(reading.downloads));
  }
}

void quitSequence(App& app, DownloadMarks& marks) {
  Console& console = app.console;
  offerDownloads(app, marks);
  drawFrame(console, 12);
  console.setCursor(24, 11);
  console.writeText("終了してよろしいですか？"_sj);
  if (askYesNo(console, YesNoMode::NoDefault)) endProgram(console, 0);
}

void runMainMenu(Reading& reading) {
  App& app = reading.app;
  try {
    while (true) {
      const ListRows rows = mainMenuRows(app.index);
      ListScreen menu = ListScreen::ofEntries({kListPageRows, 1, ListPaging::OnePageFromTop},
                                              kMenuLastRow + 1, [&](int k) { return rows[k]; });
      menu.open(0, 0);
      const ListChoice chosen =
          chooseFromList(app, menu, {.added = menuKeys(), .rowOffset = kMenuRowOffset});
      if (chosen.action == ListAction::Leave) {
        quitSequence(app, reading.downloads);
      } else {
        dispatch(reading, chosen);
      }
    }
  } catch (const ProgramExit& exit) {
    keepWhatTheRunLeaves(reading, exit);
    throw;
  }
}

KeyRows mainMenuKeyRows() {
  return keyRowsOf(menuKeys());
}

}  // namespace zazir

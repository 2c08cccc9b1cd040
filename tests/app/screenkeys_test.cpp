// The keys every screen takes alike: Ctrl+L shows the screen whole again,
// drawn anew where an action left it stale, and Ctrl+K, Ctrl+J and
// Ctrl+H (Backspace) move as Up, Down and Left wherever those move.
#include <gtest/gtest.h>

#include <functional>

#include "addressbook/grouplist.h"
#include "addressbook/idlist.h"
#include "addressbook/recipients.h"
#include "app/mainmenu.h"
#include "app/navigation.h"
#include "chat/chat.h"
#include "chooser/chooser.h"
#include "compose/compose.h"
#include "compose/preview.h"
#include "console/keys.h"
#include "console/render.h"
#include "formats/logindex_support.h"
#include "platform/encoding.h"
#include "readers/fileboard.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "support/test_app.h"

namespace zazir {
namespace {

using testing::TestApp;

// The example log with an ID file and a group file beside it.
struct ExampleApp : TestApp {
  ExampleApp() : TestApp(testing::exampleLog(), testing::indexText(testing::exampleLog())) {
    testing::writeBytes(config.idfile, "AKN00412,kazuya,\r\nAKN00208,Hiro,\r\nAKN00153,masaru,\r\n");
    testing::writeBytes(config.grouplistfile, "[off]\r\nAKN00412;AKN00208\r\n[two]\r\nAKN00153\r\n");
    testing::writeBytes(path("A.LOG"), "");
    testing::writeBytes(path("B.LOG"), "");
  }
};

using ScreenRun = std::function<void(ExampleApp&)>;

// Runs a screen to its end, the program's end included.
void runScreen(ExampleApp& t, const ScreenRun& run) {
  try {
    run(t);
  } catch (const ProgramExit&) {
  }
}

const ScreenRun kMainMenu = [](ExampleApp& t) { runMainMenu(t.reading); };
const ScreenRun kBoardList = [](ExampleApp& t) {
  runBoardLists(t.reading, MarkSection::MessageBoard);
};
const ScreenRun kMessages = [](ExampleApp& t) {
  readMessageBoard(t.app, t.reading.search, t.reading.listPositions, 1);
};
const ScreenRun kFiles = [](ExampleApp& t) {
  readFileBoard(t.app, t.reading.search, t.reading.downloads, 0);
};
const ScreenRun kMail = [](ExampleApp& t) { readMail(t.app, t.reading.search); };
const ScreenRun kPreview = [](ExampleApp& t) {
  Composition composition;
  for (int line = 1; line <= 30; ++line) composition.text += formatText("line %i\n", line);
  int top = 0;
  previewText(t.app, composition, top);
};
const ScreenRun kIdList = [](ExampleApp& t) { chooseIds(t.app); };
const ScreenRun kGroupList = [](ExampleApp& t) { chooseGroup(t.app); };
const ScreenRun kChooser = [](ExampleApp& t) { chooseLogFile(t.console, toOsName(t.dir) + "*.LOG", ""); };

TEST(ScreenKeys, CtrlLShowsEveryScreenWholeAgain) {
  const Key kSave[] = {'s', key::kEnter};
  struct Case {
    const char* name;
    ScreenRun run;
    std::vector<Key> before, after;  // the keys around Ctrl+L
    bool stale = false;  // the screen was left stale: drawn as first shown
  } cases[] = {
      {"main menu", kMainMenu, {}, {'q', 'y'}},
      {"quit question", kMainMenu, {'q'}, {'y'}},
      {"board list", kBoardList, {key::kDown}, {key::kEscape}},
      {"message reader", kMessages, {key::kDown}, {key::kEscape}},
      {"message reader after a save",
       kMessages,
       {std::begin(kSave), std::end(kSave)},
       {key::kEscape},
       true},
      {"message reader after a cancelled save",
       kMessages,
       {'s', key::kEscape},
       {key::kEscape},
       true},
      {"file reader after a save",
       kFiles,
       {std::begin(kSave), std::end(kSave)},
       {key::kEscape},
       true},
      {"mail reader's help", kMail, {'?'}, {key::kEscape, key::kEscape}},
      {"title list", kMail, {'t'}, {key::kEscape, key::kEscape}},
      {"prompt", kMessages, {'#', '1'}, {key::kEscape, key::kEscape}},
      {"preview", kPreview, {key::kDown}, {'n'}},
      {"chat",
       [](ExampleApp& t) { runChatLoop(t.app, t.reading.listPositions); },
       {},
       {key::kEscape}},
      {"notewall",
       [](ExampleApp& t) { runNotewallLoop(t.app, t.reading.listPositions); },
       {},
       {key::kEscape}},
      {"recipients", [](ExampleApp& t) { enterRecipients(t.app); }, {}, {key::kEnter}},
      {"ID list", kIdList, {key::kRight, ' '}, {key::kEscape}},
      {"group list", kGroupList, {key::kDown}, {key::kEscape}},
      {"log chooser", kChooser, {key::kRight}, {key::kEnter}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExampleApp t;
    t.backend.press(c.before).press(key::kCtrlL).press(c.after);
    runScreen(t, c.run);
    EXPECT_EQ(t.backend.pendingKeys(), 0u);
    EXPECT_EQ(t.backend.repaints(), 1);
    const std::size_t at = c.before.size();
    const zazir::Screen& before = t.backend.screenAtKey(c.stale ? 0 : at);
    const zazir::Screen& after = t.backend.screenAtKey(at + 1);
    EXPECT_EQ(after, before);
    bool blank = true;
    for (int row = 0; row < after.rows(); ++row) blank = blank && rowToUtf8(after, row).empty();
    EXPECT_FALSE(blank);
  }
}

// The same screens driven by the cursor keys and by the control keys show
// the same, key after key (the line input keeps Backspace: dialogs_test).
TEST(ScreenKeys, CtrlKJAndHMoveAsUpDownAndLeft) {
  using key::kBackspace, key::kCtrlJ, key::kCtrlK, key::kDown, key::kLeft, key::kUp;
  struct Case {
    const char* name;
    ScreenRun run;
    std::vector<Key> arrows, controls;
  } cases[] = {
      {"main menu", kMainMenu, {kDown, kDown, kUp, 'q', 'y'}, {kCtrlJ, kCtrlJ, kCtrlK, 'q', 'y'}},
      {"board list", kBoardList, {kDown, kUp, key::kEscape}, {kCtrlJ, kCtrlK, key::kEscape}},
      {"message reader", kMessages, {key::kRight, kLeft, key::kEscape},
       {key::kRight, kBackspace, key::kEscape}},
      {"file reader", kFiles, {key::kRight, kLeft, key::kEscape},
       {key::kRight, kBackspace, key::kEscape}},
      {"mail reader", kMail, {key::kRight, kLeft, key::kEscape},
       {key::kRight, kBackspace, key::kEscape}},
      {"preview", kPreview, {kDown, kDown, kUp, 'n'}, {kCtrlJ, kCtrlJ, kCtrlK, 'n'}},
      {"ID list", kIdList, {key::kRight, kLeft, kDown, key::kEscape},
       {key::kRight, kBackspace, kCtrlJ, key::kEscape}},
      {"group list", kGroupList, {kDown, kUp, key::kEscape}, {kCtrlJ, kCtrlK, key::kEscape}},
      {"log chooser", kChooser, {key::kRight, kLeft, key::kEnter},
       {key::kRight, kBackspace, key::kEnter}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExampleApp arrows, controls;
    arrows.backend.press(c.arrows);
    controls.backend.press(c.controls);
    runScreen(arrows, c.run);
    runScreen(controls, c.run);
    ASSERT_EQ(controls.backend.keysRead(), c.controls.size());
    for (std::size_t k = 1; k < c.arrows.size(); ++k) {
      EXPECT_EQ(controls.backend.screenAtKey(k), arrows.backend.screenAtKey(k)) << k;
      // A move that does nothing would make the check hollow.
      EXPECT_NE(arrows.backend.screenAtKey(k), arrows.backend.screenAtKey(k - 1)) << k;
    }
  }
}

}  // namespace
}  // namespace zazir

#include "app/keytables.h"

#include "addressbook/grouplist.h"
#include "addressbook/idlist.h"
#include "addressbook/recipients.h"
#include "app/mainmenu.h"
#include "chooser/chooser.h"
#include "compose/preview.h"
#include "console/lineeditor.h"
#include "console/listview.h"
#include "readers/fileboard.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "readers/titlelist.h"

namespace zazir {

std::vector<ScreenKeys> everyScreensKeys() {
  // The main menu is a list with keys of its own.
  KeyRows menu = listKeyRows();
  const KeyRows own = mainMenuKeyRows();
  menu.insert(menu.end(), own.begin(), own.end());
  // So is a message board's title list.
  KeyRows titles = listKeyRows();
  const KeyRows threads = titleListKeyRows();
  titles.insert(titles.end(), threads.begin(), threads.end());
  return {
      {"lists", listKeyRows()},
      {"main menu", menu},
      {"title list", titles},
      {"message board reader", messageBoardKeyRows()},
      {"file board reader", fileBoardKeyRows()},
      {"mail reader", mailReaderKeyRows()},
      {"preview", previewKeyRows()},
      {"line input", LineEditor::keyRows()},
      {"recipient list", recipientKeyRows()},
      {"ID list", idListKeyRows()},
      {"group list", groupListKeyRows()},
      {"log chooser", chooserKeyRows()},
  };
}

}  // namespace zazir

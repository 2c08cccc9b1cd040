#include "app/keytables.h"

#include "addressbook/grouplist.h"
#include "addressbook/idlist.h"
#include "addressbook/recipients.h"
#include "app/mainmenu.h"
#include "chooser/chooser.h"
#include "console/lineeditor.h"
#include "console/listview.h"
#include "readers/fileboard.h"
#include "readers/mailreader.h"
#include "readers/messageboard.h"
#include "compose/preview.h"

namespace zazir {

std::vector<ScreenKeys> everyScreensKeys() {
  // The main menu is a list with keys of its own.
  KeyRows menu = listKeyRows();
  const KeyRows own = mainMenuKeyRows();
  menu.insert(menu.end(), own.begin(), own.end());
  return {
      {"lists", listKeyRows()},
      {"main menu", menu},
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

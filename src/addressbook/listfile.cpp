#include "addressbook/listfile.h"

#include "console/console.h"
#include "platform/textfile.h"

namespace zazir {

std::optional<std::string> readListFile(Console& console, const std::string& path,
                                        Attribute attribute, std::string_view notice) {
  std::optional<std::string> bytes = readBinaryFile(path);
  if (bytes) return bytes;
  console.setCursor(0, 22);
  console.setAttribute(attribute);
  console.writeText(notice);
  console.setNormal();
  console.getKey();
  console.clearScreen();
  return std::nullopt;
}

}  // namespace zazir

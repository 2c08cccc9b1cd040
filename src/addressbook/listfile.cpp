#include "addressbook/listfile.h"

#include "console/console.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace zazir {

using namespace literals;

std::optional<std::string> readListFile(Console& console, const ListFile& file) {
  std::optional<std::string> bytes = readBinaryFile(file.path);
  if (bytes) return bytes;
  console.setCursor(0, 22);
  console.setAttribute(file.noticeAttribute);
  console.writeText(
      formatText("%s[%s]が読めません。\n設定ファイル内の%s=の項を確認してください。"_sj, file.name,
                 file.path, file.key));
  console.setNormal();
  console.getKey();
  console.clearScreen();
  return std::nullopt;
}

void drawListBar(Console& console, Attribute attribute, std::string_view title,
                 std::string_view hints, const ListScreen& list) {
  console.setCursor(0, 23);
  console.setAttribute(attribute);
  console.putText("%s %s %s Now:%s", "ZAZIR", title, hints, list.pagePosition());
  console.setNormal();
  console.clearToEndOfLine();
}

}  // namespace zazir

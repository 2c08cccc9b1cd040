#include "formats/maillog.h"

#include "platform/encoding.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

bool isDeleteQuestion(std::string_view line) {
  return startsWith(line, "削除しますか"_sj);
}

bool isMailEnd(std::string_view line) {
  return isDeleteQuestion(line) || startsWith(line, "BMAIL (X:XMODEM") ||
         startsWith(line, "MAIN (A,");
}

const ArticleLayout& mailLayout() {
  static const ArticleLayout layout{3, kReaderLineBytes, false, isMailEnd};
  return layout;
}

}  // namespace zazir

#include "services/configfile.h"

#include <optional>

#include "console/dialogs.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/editortext.h"

namespace zazir {

using namespace literals;

void loadConfiguration(Console& console, const std::string& path, Config& config) {
  const std::optional<std::string> bytes = readBinaryFile(path);
  if (!bytes) fatalError(console, "設定ファイルが開けません。"_sj, openProblem(path));
  if (auto error = parseConfiguration(fromUserFile(*bytes), config)) {
    fatalError(console, error->message,
               formatText("%s:%i: not a value this setting takes", toOsName(path), error->line));
  }
}

}  // namespace zazir

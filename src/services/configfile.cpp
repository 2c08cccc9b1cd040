#include "services/configfile.h"

#include <optional>

#include "console/dialogs.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace zazir {

using namespace literals;

void loadConfiguration(Console& console, const std::string& path, Config& config) {
  const std::optional<std::string> bytes = readBinaryFile(path);
  if (!bytes) fatalError(console, "設定ファイルが開けません。"_sj);
  if (auto error = parseConfiguration(*bytes, config)) fatalError(console, error->message);
}

}  // namespace zazir

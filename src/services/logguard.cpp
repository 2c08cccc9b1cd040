#include "services/logguard.h"

#include "console/dialogs.h"
#include "platform/encoding.h"
#include "services/app.h"
#include "services/uploadfile.h"
#include "text/format.h"

namespace zazir {

using namespace literals;

std::string theLogRefusedText(std::string_view file) {
  return formatText(
      "　%sは通信ログファイルそのものです。\n"
      "　通信ログファイルには書き込みません。"_sj,
      file);
}

void refuseSettingsNamingTheLog(App& app) {
  const Config& config = app.config;
  const std::pair<const char*, std::string> settings[] = {
      {"UPLOADFILE", uploadFileDiskPath(config)},
      {"IDFILE", config.idfile},
      {"GROUPLISTFILE", config.grouplistfile},
  };
  for (const auto& [setting, path] : settings) {
    if (app.state.isTheLog(path)) {
      fatalError(app.console, formatText("%s の指定[%s]は通信ログファイルそのものです。\n"
                                         "設定ファイル内の%s=の項を確認してください。"_sj,
                                         setting, path, setting));
    }
  }
}

}  // namespace zazir

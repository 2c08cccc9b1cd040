#include "services/configfile.h"

#include <algorithm>
#include <optional>

#include "console/console.h"
#include "console/dialogs.h"
#include "console/screen.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/editortext.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

constexpr std::size_t kRowBytes = kScreenWidth;
// A name taken from the file may be a whole line's worth of bytes.
constexpr std::size_t kShownNameBytes = 20;
// A file that is no configuration at all must not flood standard error.
constexpr std::size_t kToldNames = 20;

// The first name on one row: the file's path gets what the rest leaves of
// the row.
std::string namesNotice(const std::string& path, const std::vector<NameNote>& notes) {
  const NameNote& first = notes.front();
  const std::string_view name = cutToBytes(first.name, kShownNameBytes);
  std::string rest =
      first.ignored
          ? formatText(":%i: 不明な設定名「%s」を無視（%s？）"_sj, first.line, name, first.known)
          : formatText(":%i: 設定名「%s」は%sとして読みました"_sj, first.line, name, first.known);
  if (notes.size() > 1) rest += formatText("　ほか%i件"_sj, notes.size() - 1);
  const std::size_t room = kRowBytes > rest.size() ? kRowBytes - rest.size() : 0;
  return shortenPath(path, room) + rest;
}

}  // namespace

std::vector<std::string> loadConfiguration(Console& console, const std::string& path,
                                           Config& config) {
  const std::optional<std::string> bytes = readBinaryFile(path);
  if (!bytes) fatalError(console, "設定ファイルが開けません。"_sj, openProblem(path));
  config = builtInConfiguration();
  std::vector<NameNote> names;
  if (auto error = parseConfiguration(fromUserFile(*bytes), config, &names)) {
    fatalError(console, error->message,
               formatText("%s:%i: not a value this setting takes (it takes %s)", toOsName(path),
                          error->line, error->values));
  }
  std::vector<std::string> notes;
  for (const NameNote& name : names) {
    if (notes.size() == kToldNames) {
      notes.push_back(formatText("%s: %i more such names", path, names.size() - kToldNames));
      break;
    }
    notes.push_back(
        name.ignored
            ? formatText("%s:%i: \"%s\" is no setting's name and is ignored (%s?)", path, name.line,
                         name.name, name.known)
            : formatText("%s:%i: \"%s\" is read as %s", path, name.line, name.name, name.known));
  }
  // Standard error is the terminal: a control byte of the file must not
  // reach it.
  for (std::string& note : notes) {
    for (char& byte : note) {
      if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F) byte = '?';
    }
  }
  if (!names.empty()) console.showOnce(namesNotice(path, names));
  return notes;
}

std::string firstRunNotice(std::string_view configPlace, std::string_view uploadPath) {
  const std::string text = "設定ファイルなし：%s　アップロード先：%s"_sj;
  const std::size_t room = kRowBytes - (text.size() - 4);
  // The upload file's path is the one a user looks for first; each path
  // gets at least half the room when both do not fit.
  const std::size_t upload =
      std::min(uploadPath.size(), std::max(room / 2, room - std::min(room, configPlace.size())));
  return formatText(text, shortenPath(configPlace, room - upload), shortenPath(uploadPath, upload));
}

}  // namespace zazir

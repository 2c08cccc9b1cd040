#include "formats/config.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/encoding.h"
#include "platform/textfile.h"
#include "text/textutil.h"

namespace zazir {
namespace {

using namespace zazir::literals;

// One read takes what an 80-byte line buffer holds.
constexpr std::size_t kPieceLimit = 79;

// The next piece of `bytes` from `at`: a read stops after a line feed,
// after 79 bytes, or after a CR that no line feed follows (a file with
// CR-only line ends would otherwise keep only the first line of each
// piece, since the CR cuts the rest away).
std::string_view nextPiece(std::string_view bytes, std::size_t& at) {
  const std::size_t start = at;
  const std::size_t limit = std::min(bytes.size(), start + kPieceLimit);
  while (at < limit) {
    const char c = bytes[at++];
    if (c == '\n') break;
    if (c == '\r' && (at >= bytes.size() || bytes[at] != '\n')) break;
  }
  return bytes.substr(start, at - start);
}

struct KeyValue {
  std::string_view key;
  std::optional<std::string_view> value;
};

// Splits at "=" characters as a tokenizer does: runs of "=" separate, the
// first token is the key, the second the value. No key when the line holds
// nothing but "=".
std::optional<KeyValue> splitKeyValue(std::string_view line) {
  const std::size_t keyStart = line.find_first_not_of('=');
  if (keyStart == std::string_view::npos) return std::nullopt;
  const std::size_t keyEnd = std::min(line.find('=', keyStart), line.size());
  KeyValue result{line.substr(keyStart, keyEnd - keyStart), std::nullopt};
  const std::size_t valueStart = line.find_first_not_of('=', keyEnd);
  if (valueStart != std::string_view::npos) {
    const std::size_t valueEnd = std::min(line.find('=', valueStart), line.size());
    result.value = line.substr(valueStart, valueEnd - valueStart);
  }
  return result;
}

struct TextSetting {
  std::string_view name;
  std::string Config::*field;
};

// A longer name that begins with a shorter one comes first.
constexpr TextSetting kTextSettings[] = {
    {"EDITOR_OPT1", &Config::editorOpt1},
    {"EDITOR_OPT2", &Config::editorOpt2},
    {"EDITOR", &Config::editor},
    {"SIGNATURE", &Config::signature},
    {"QUOTATION", &Config::quotation},
    {"LOGFILE_DIR", &Config::logfileDir},
    {"UPLOADFILE_DIR", &Config::uploadfileDir},
    {"UPLOADFILE", &Config::uploadfile},
    {"CUTFILE_DIR", &Config::cutfileDir},
    {"TEMPORARY_DIR", &Config::temporaryDir},
    {"IDFILE", &Config::idfile},
    {"GROUPLISTFILE", &Config::grouplistfile},
    {"HEADREPLYMAIL", &Config::headReplyMail},
    {"HEADREPLYNEWSTITLECHANGE", &Config::headReplyNewsTitleChange},
    {"HEADREPLYNEWS", &Config::headReplyNews},
};

bool applyTextSetting(std::string_view key, std::optional<std::string_view> value, Config& config) {
  for (const TextSetting& setting : kTextSettings) {
    if (!startsWith(key, setting.name)) continue;
    // These policy keys begin with a text setting's name but are no text.
    if (setting.field == &Config::uploadfile && startsWith(key, "UPLOADFILE_EXIST")) continue;
    if (setting.field == &Config::editor && startsWith(key, "EDITOR_CODE")) continue;
    config.*setting.field = std::string(value.value_or(std::string_view{}));
    return true;
  }
  return false;
}

template <typename E>
struct Choice {
  std::string_view value;
  E code;
};

template <typename E, std::size_t N>
bool choose(const std::string& upper, const Choice<E> (&choices)[N], E& target) {
  for (const Choice<E>& choice : choices) {
    if (upper == choice.value) {
      target = choice.code;
      return true;
    }
  }
  return false;
}

constexpr Choice<UploadFileExist> kUploadFileExist[] = {
    {"WRITE_QUESTION", UploadFileExist::WriteQuestion},
    {"WRITE_APPEND", UploadFileExist::WriteAppend},
    {"WRITE_KILLOUT", UploadFileExist::WriteKillout},
};
constexpr Choice<LineChatQuote> kLineChatQuote[] = {
    {"LINECHAT_QUESTION", LineChatQuote::Question},
    {"LINECHAT_YES", LineChatQuote::Yes},
    {"LINECHAT_NO", LineChatQuote::No},
};
constexpr Choice<bool> kDeleteNullLine[] = {{"FALSE", false}, {"TRUE", true}};
constexpr Choice<EditorCode> kEditorCode[] = {
    {"LOCALE", EditorCode::Locale},
    {"SJIS", EditorCode::Sjis},
    {"UTF8", EditorCode::Utf8},
};

std::string asciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The policies, matched by a key that contains their name anywhere. A key
// with no value is invalid like any other value outside the list (the empty
// text matches none): a policy that the user meant to set must not silently
// stay at its default.
std::optional<ConfigError> applyPolicy(std::string_view key, std::optional<std::string_view> value,
                                       Config& config) {
  const std::string upper = asciiUpper(value.value_or(std::string_view{}));
  if (key.find("UPLOADFILE_EXIST") != std::string_view::npos) {
    if (choose(upper, kUploadFileExist, config.uploadFileExist)) return std::nullopt;
    return ConfigError{"ZAZIR.CFG内のUPLOADFILE_EXIST=の行で、不正な指定があります。"_sj};
  }
  if (key.find("LINECHAT_QUOTE") != std::string_view::npos) {
    if (choose(upper, kLineChatQuote, config.lineChatQuote)) return std::nullopt;
    return ConfigError{"ZAZIR.CFG内のLINECHAT_QUOTE=の行で、不正な指定があります。"_sj};
  }
  if (key.find("DELETENULLLINE") != std::string_view::npos) {
    if (choose(upper, kDeleteNullLine, config.deleteNullLine)) return std::nullopt;
    return ConfigError{"ZAZIR.CFG内のDELETENULLLINE=の行で、不正な指定があります。"_sj};
  }
  if (key.find("EDITOR_CODE") != std::string_view::npos) {
    if (choose(upper, kEditorCode, config.editorCode)) return std::nullopt;
    return ConfigError{"ZAZIR.CFG内のEDITOR_CODE=の行で、不正な指定があります。"_sj};
  }
  return std::nullopt;
}

}  // namespace

std::optional<ConfigError> parseConfiguration(std::string_view bytes, Config& config) {
  std::size_t at = 0;
  int nextLine = 1;
  while (at < bytes.size()) {
    const std::string_view piece = nextPiece(bytes, at);
    // The continuation of a long line is still on that line.
    const int line = nextLine;
    if (piece.ends_with('\n') || piece.ends_with('\r')) ++nextLine;
    // A line buffer's text ends at its first NUL byte.
    std::string text(piece.substr(0, piece.find('\0')));
    if (const std::size_t comment = text.find(';'); comment != std::string::npos) {
      text.resize(comment);
    }
    stripLineEnd(text);
    if (text.find('=') == std::string::npos) continue;
    const std::optional<KeyValue> entry = splitKeyValue(text);
    if (!entry) continue;
    if (applyTextSetting(entry->key, entry->value, config)) continue;
    if (auto error = applyPolicy(entry->key, entry->value, config)) {
      error->line = line;
      return error;
    }
  }
  return std::nullopt;
}

Config builtInConfiguration() {
  Config config;
  config.signature = "SIGN.TXT";
  config.quotation = "%s> ";
  config.uploadfile = "%s.UP";
  config.idfile = "ID.TXT";
  config.grouplistfile = "GROUP.TXT";
  config.headReplyMail = "%s %s に頂いたメールへのお返事です。"_sj;
  config.headReplyNews = "%sさんの #%s「%s」へのレスです。"_sj;
  config.headReplyNewsTitleChange = "%sさんの #%s「%s」を読んで"_sj;
  return config;
}

namespace {

constexpr std::string_view kName = "ZAZIR.CFG";

std::string joinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

// The non-empty entries of a ":"-separated list.
std::vector<std::string> listEntries(std::string_view list) {
  std::vector<std::string> entries;
  for (std::size_t at = 0; at <= list.size();) {
    std::size_t end = list.find(':', at);
    if (end == std::string_view::npos) end = list.size();
    if (end > at) entries.emplace_back(list.substr(at, end - at));
    at = end + 1;
  }
  return entries;
}

using Getenv = const char* (*)(const char*);

std::string environment(Getenv getenv, const char* name) {
  const char* value = getenv ? getenv(name) : std::getenv(name);
  return value ? value : "";
}

// $XDG_CONFIG_HOME, else ~/.config; a relative directory does not count.
std::string configHome(Getenv getenv) {
  std::string home = environment(getenv, "XDG_CONFIG_HOME");
  if (!home.empty() && home.front() == '/') return home;
  home = environment(getenv, "HOME");
  return home.empty() ? "" : joinPath(home, ".config");
}

}  // namespace

std::optional<std::string> findConfigurationFile(std::string_view programPath, Getenv getenv,
                                                 std::string_view installedDir) {
  std::vector<std::string> candidates;
  // Only the file name's own extension counts: a "." in a directory name
  // (./build/zazir) or a leading "." (a hidden file) gives none.
  const std::size_t slash = programPath.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = programPath.rfind('.');
  if (dot != std::string_view::npos && dot > nameStart) {
    candidates.push_back(std::string(programPath.substr(0, dot + 1)) + "CFG");
  }
  candidates.emplace_back(kName);
  // An empty entry is the current directory, already tried.
  for (const std::string& dir : listEntries(environment(getenv, "PATH"))) {
    candidates.push_back(joinPath(dir, kName));
  }
  if (const std::string home = configHome(getenv); !home.empty()) {
    candidates.push_back(joinPath(joinPath(home, "zazir"), kName));
  }
  std::string configDirs = environment(getenv, "XDG_CONFIG_DIRS");
  if (configDirs.empty()) configDirs = "/etc/xdg:" + std::string(installedDir);
  for (const std::string& dir : listEntries(configDirs)) {
    if (dir.front() == '/') candidates.push_back(joinPath(joinPath(dir, "zazir"), kName));
  }

  for (const std::string& candidate : candidates) {
    std::string cp932 = fromOsName(candidate);
    // Tested as the loader will open it: the CP932 path converted back.
    if (isRegularFile(cp932)) return cp932;
  }
  return std::nullopt;
}

std::string userConfigurationFile(Getenv getenv) {
  const std::string home = configHome(getenv);
  if (home.empty()) return std::string(kName);
  std::string path = joinPath(joinPath(home, "zazir"), kName);
  const std::string user = environment(getenv, "HOME");
  if (!user.empty() && user != "/" && startsWith(path, joinPath(user, ""))) {
    path = "~/" + path.substr(joinPath(user, "").size());
  }
  return fromOsName(path);
}

}  // namespace zazir

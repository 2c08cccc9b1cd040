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
  while (at < bytes.size()) {
    const std::string_view piece = nextPiece(bytes, at);
    // A line buffer's text ends at its first NUL byte.
    std::string line(piece.substr(0, piece.find('\0')));
    if (const std::size_t comment = line.find(';'); comment != std::string::npos) {
      line.resize(comment);
    }
    stripLineEnd(line);
    if (line.find('=') == std::string::npos) continue;
    const std::optional<KeyValue> entry = splitKeyValue(line);
    if (!entry) continue;
    if (applyTextSetting(entry->key, entry->value, config)) continue;
    if (auto error = applyPolicy(entry->key, entry->value, config)) return error;
  }
  return std::nullopt;
}

namespace {

std::string joinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

std::optional<std::string> findConfigurationFile(std::string_view programPath,
                                                 const char* (*getenv)(const char*)) {
  auto env = [getenv](const char* name) -> std::string {
    const char* value = getenv ? getenv(name) : std::getenv(name);
    return value ? value : "";
  };
  std::vector<std::string> candidates;
  // Only the file name's own extension counts: a "." in a directory name
  // (./build/zazir) or a leading "." (a hidden file) gives none.
  const std::size_t slash = programPath.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = programPath.rfind('.');
  if (dot != std::string_view::npos && dot > nameStart) {
    candidates.push_back(std::string(programPath.substr(0, dot + 1)) + "CFG");
  }
  const std::string_view kName = "ZAZIR.CFG";
  candidates.emplace_back(kName);
  const std::string path = env("PATH");
  for (std::size_t at = 0; at <= path.size();) {
    std::size_t end = path.find(':', at);
    if (end == std::string::npos) end = path.size();
    // An empty entry is the current directory, already tried.
    if (end > at) candidates.push_back(joinPath(path.substr(at, end - at), kName));
    at = end + 1;
  }
  std::string configHome = env("XDG_CONFIG_HOME");
  if (configHome.empty() || configHome.front() != '/') {
    const std::string home = env("HOME");
    configHome = home.empty() ? "" : joinPath(home, ".config");
  }
  if (!configHome.empty()) candidates.push_back(joinPath(joinPath(configHome, "zazir"), kName));

  for (const std::string& candidate : candidates) {
    std::string cp932 = fromOsName(candidate);
    // Tested as the loader will open it: the CP932 path converted back.
    if (isReadableFile(cp932)) return cp932;
  }
  return std::nullopt;
}

}  // namespace zazir

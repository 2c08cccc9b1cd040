#include "formats/config.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "platform/encoding.h"
#include "platform/textfile.h"
#include "text/format.h"
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

// The name of the text setting the key sets; none when it sets none.
std::optional<std::string_view> applyTextSetting(std::string_view key,
                                                 std::optional<std::string_view> value,
                                                 Config& config) {
  for (const TextSetting& setting : kTextSettings) {
    if (!startsWith(key, setting.name)) continue;
    // These policy keys begin with a text setting's name but are no text.
    if (setting.field == &Config::uploadfile && startsWith(key, "UPLOADFILE_EXIST")) continue;
    if (setting.field == &Config::editor && startsWith(key, "EDITOR_CODE")) continue;
    config.*setting.field = std::string(value.value_or(std::string_view{}));
    if (setting.field == &Config::uploadfileDir) config.uploadBesideLog = false;
    return setting.name;
  }
  return std::nullopt;
}

template <typename E>
struct Choice {
  std::string_view value;
  E code;
};

// Sets `target` to the value `upper` names, or tells which values there are.
template <typename E, std::size_t N>
std::optional<ConfigError> choose(std::string_view name, const std::string& upper,
                                  const Choice<E> (&choices)[N], E& target) {
  for (const Choice<E>& choice : choices) {
    if (upper == choice.value) {
      target = choice.code;
      return std::nullopt;
    }
  }
  std::string values;
  for (std::size_t k = 0; k < N; ++k) {
    if (k > 0) values += k + 1 == N ? " or " : ", ";
    values += choices[k].value;
  }
  return ConfigError{formatText("ZAZIR.CFG内の%s=の行で、不正な指定があります。"_sj, name), 0,
                     values};
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

struct Policy {
  std::string_view name;
  std::optional<ConfigError> (*set)(std::string_view name, const std::string& upper, Config&);
};

// Sets the field `Field` from the values of `Choices`.
template <const auto& Choices, auto Field>
std::optional<ConfigError> choosePolicy(std::string_view name, const std::string& upper,
                                        Config& config) {
  return choose(name, upper, Choices, config.*Field);
}

// In the order a key that holds two names is taken by.
constexpr Policy kPolicies[] = {
    {"UPLOADFILE_EXIST", choosePolicy<kUploadFileExist, &Config::uploadFileExist>},
    {"LINECHAT_QUOTE", choosePolicy<kLineChatQuote, &Config::lineChatQuote>},
    {"DELETENULLLINE", choosePolicy<kDeleteNullLine, &Config::deleteNullLine>},
    {"EDITOR_CODE", choosePolicy<kEditorCode, &Config::editorCode>},
};

std::string asciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The policies, matched by a key that contains their name anywhere; false
// when the key names none. A key with no value is invalid like any other
// value outside the list (the empty text matches none): a policy that the
// user meant to set must not silently stay at its default.
bool applyPolicy(std::string_view key, std::optional<std::string_view> value, Config& config,
                 std::optional<ConfigError>& error) {
  for (const Policy& policy : kPolicies) {
    if (key.find(policy.name) == std::string_view::npos) continue;
    error = policy.set(policy.name, asciiUpper(value.value_or(std::string_view{})), config);
    return true;
  }
  return false;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// Letter case and the blanks around a name are what a hand most often
// gets wrong, so they do not count against the likeness.
std::string_view nearestName(std::string_view key) {
  const std::size_t first = key.find_first_not_of(' ');
  const std::size_t last = key.find_last_not_of(' ');
  const std::string wanted =
      asciiUpper(first == std::string_view::npos ? "" : key.substr(first, last - first + 1));
  std::string_view nearest;
  std::size_t best = SIZE_MAX;
  const auto consider = [&](std::string_view name) {
    if (const std::size_t distance = editDistance(wanted, name); distance < best) {
      best = distance;
      nearest = name;
    }
  };
  for (const TextSetting& setting : kTextSettings) consider(setting.name);
  for (const Policy& policy : kPolicies) consider(policy.name);
  return nearest;
}

}  // namespace

std::optional<ConfigError> parseConfiguration(std::string_view bytes, Config& config,
                                              std::vector<NameNote>* notes) {
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
    const std::string_view key = entry->key;
    if (const auto name = applyTextSetting(key, entry->value, config)) {
      // More than blanks after the name: a mistyped longer name, most
      // likely (UPLOADFILE_EXIT), that set another setting.
      if (notes && key.find_first_not_of(' ', name->size()) != std::string_view::npos) {
        notes->push_back({line, std::string(key), std::string(*name), false});
      }
      continue;
    }
    std::optional<ConfigError> error;
    if (applyPolicy(key, entry->value, config, error)) {
      if (!error) continue;
      error->line = line;
      return error;
    }
    if (notes) notes->push_back({line, std::string(key), std::string(nearestName(key)), true});
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
  config.uploadBesideLog = true;
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

// The configuration: fifteen text settings and four policies, read once at
// start-up from the configuration file and never written back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zazir {

enum class UploadFileExist : std::uint8_t { WriteQuestion = 0, WriteAppend = 1, WriteKillout = 2 };
enum class LineChatQuote : std::uint8_t { Question = 0, Yes = 1, No = 2 };
// The codeset of the files the editor gets: the locale's (Shift-JIS under a
// Shift-JIS locale, else UTF-8), or one chosen.
enum class EditorCode : std::uint8_t { Locale = 0, Sjis = 1, Utf8 = 2 };

struct Config {
  // Text settings, CP932, at most 79 bytes each.
  std::string editor;                    // EDITOR
  std::string editorOpt1;                // EDITOR_OPT1
  std::string editorOpt2;                // EDITOR_OPT2
  std::string signature;                 // SIGNATURE
  std::string quotation;                 // QUOTATION (format, one %s)
  std::string logfileDir;                // LOGFILE_DIR
  std::string uploadfileDir;             // UPLOADFILE_DIR
  std::string uploadfile;                // UPLOADFILE (format; 13 characters after start-up)
  std::string cutfileDir;                // CUTFILE_DIR
  std::string temporaryDir;              // TEMPORARY_DIR
  std::string idfile;                    // IDFILE (format; a path after start-up)
  std::string grouplistfile;             // GROUPLISTFILE (format; a path after start-up)
  std::string headReplyMail;             // HEADREPLYMAIL (format, two %s)
  std::string headReplyNews;             // HEADREPLYNEWS (format, three %s)
  std::string headReplyNewsTitleChange;  // HEADREPLYNEWSTITLECHANGE (format, three %s)
  // Policies.
  UploadFileExist uploadFileExist = UploadFileExist::WriteQuestion;  // UPLOADFILE_EXIST
  LineChatQuote lineChatQuote = LineChatQuote::Question;             // LINECHAT_QUOTE
  bool deleteNullLine = false;                                       // DELETENULLLINE
  EditorCode editorCode = EditorCode::Locale;                        // EDITOR_CODE
  // UPLOADFILE_DIR left unnamed: the upload file goes beside the log, once
  // the log is known.
  bool uploadBesideLog = false;

  bool operator==(const Config&) const = default;
};

// A configuration that cannot be used: the fatal message (CP932) and the
// line (1-based) that holds the fault.
struct ConfigError {
  std::string message;
  int line = 0;
  std::string values;  // those the setting takes, "FALSE or TRUE"
};

// A line whose name is not quite a setting's, worth telling since the
// setting the user meant keeps its value: one that is no setting's is
// ignored; one that begins with a setting's name and goes on (EDITORX) is
// read as that setting.
struct NameNote {
  int line = 0;
  std::string name;   // as written, blanks included (CP932)
  std::string known;  // ignored: the known name most like it; else the one read
  bool ignored = true;
};

// Parses the configuration file's bytes over `config`: the settings the
// file names replace those given. Returns the error of the first invalid
// policy line, if any (parsing stops there). The names worth telling go
// to `notes` when given.
std::optional<ConfigError> parseConfiguration(std::string_view bytes, Config& config,
                                              std::vector<NameNote>* notes = nullptr);

// The settings a run uses where no configuration file names them: those
// of the bundled sample, with the upload file beside the log.
Config builtInConfiguration();

// Where the configuration file is: the program's own file name with its
// extension replaced by "CFG" (only when the file name has an extension),
// else "ZAZIR.CFG" in the current directory, in each directory of PATH,
// in $XDG_CONFIG_HOME/zazir/ (default ~/.config/zazir/), then in each
// directory of $XDG_CONFIG_DIRS under zazir/ (default /etc/xdg, then
// `installedDir`, where the sample is installed). None when it is nowhere.
// A regular file counts even when it cannot be read: reading it then
// tells why. `programPath` is argument zero as the system gives it; the
// result is CP932, ready to be read. `getenv` reads the environment
// (replaceable in tests).
std::optional<std::string> findConfigurationFile(std::string_view programPath,
                                                 const char* (*getenv)(const char*) = nullptr,
                                                 std::string_view installedDir = {});

// The user's own configuration file, where a first one would go:
// $XDG_CONFIG_HOME/zazir/ZAZIR.CFG or ~/.config/zazir/ZAZIR.CFG, with the
// home directory written "~"; the current directory's when neither is
// known.
std::string userConfigurationFile(const char* (*getenv)(const char*) = nullptr);

}  // namespace zazir

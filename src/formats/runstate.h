// Run state that lives for the whole run: the remembered list positions,
// the download marks and the paths settled at start-up.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "formats/logindex.h"
#include "platform/filedoor.h"
#include "platform/fileidentity.h"

namespace zazir {

struct ListPositions {
  int chatLineRow = 0;
  int chatLinePage = 0;
  int notewallRow = 0;
  int boardListRow = 0;
  int boardListPage = 0;
  int chatBoardRow = 0;
};

struct DownloadMark {
  std::int32_t boardNumber = 0;
  std::int32_t fileNumber = 0;
  bool operator==(const DownloadMark&) const = default;
};

// At most 49 files are marked for download at a time.
inline constexpr int kMaxDownloadMarks = 49;

struct RunState {
  ListPositions listPositions;
  std::vector<DownloadMark> downloadMarks;
  std::string configPath;  // the configuration file used
  std::string logPath;     // the communication log (CP932)
  // The open log: no file the program writes, appends to or deletes may be
  // this one.
  std::optional<FileIdentity> logIdentity;
  // The files chosen at start-up (upload, ID and group file) that were
  // links of the user's own then, and where they led: the door opens these
  // and follows no link put in a file's place later.
  std::map<std::string, std::string> settledLinks;
  // The upload file as written (UPLOADFILE_DIR and UPLOADFILE): nothing
  // but commands goes to it.
  std::string uploadPath;
  std::int64_t logSize = 0;
  std::string lastSearch;         // the text searched for last (CP932), for n and N
  bool marksUnsavedTold = false;  // a failure to keep the read marks is told once

  // What every file the program writes is checked against: the open log,
  // any other file that reads as a log, and the upload file.
  FileGuard guard() const {
    return FileGuard(logIdentity, readsAsCapture, kCaptureHeadBytes, &settledLinks, &uploadPath);
  }
  // The same, for the commands of the upload file.
  FileGuard commandGuard() const {
    return FileGuard(logIdentity, readsAsCapture, kCaptureHeadBytes, &settledLinks);
  }

  bool isTheLog(const std::string& path) const {
    const std::optional<FileIdentity> file = identityOfPath(path);
    return logIdentity && file && *file == *logIdentity;
  }
};

}  // namespace zazir

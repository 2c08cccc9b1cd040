// What lives for the whole run besides the open log: the files settled at
// start-up and what guards every file the program writes.
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

struct RunState {
  std::string configPath;  // the configuration file used
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

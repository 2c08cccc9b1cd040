// What the commands without a terminal share: the logs they are given
// (files as they are, and the files of a directory in name order) and how
// they end.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/linestream.h"

namespace zazir {

// Their exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitNothingToExport = 1;
inline constexpr int kExitNothingFound = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFileError = 50;

// The files named by `args` (operating-system names); of a directory, its
// regular files, those for which `keep` holds when it is given. A directory
// that cannot be read ends the list: `problem` names it with the reason.
bool expandLogs(const std::vector<std::string>& args, std::vector<std::string>& logs,
                std::string& problem, const std::function<bool(const std::string&)>& keep = {});

// The log opened for reading with a large buffer; none when it cannot be,
// with `problem` naming it and the reason.
std::unique_ptr<FileLineStream> openLog(const std::string& osPath, std::string& problem);

// The file's size in bytes; 0 when it cannot be told.
std::uint64_t fileSize(const std::string& osPath);

}  // namespace zazir

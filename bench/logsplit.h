// One generated log cut into many, as an archive of visits holds it: each
// piece opens as a visit does, with a greeting line, and one that starts
// inside a board's messages or a file board's entries goes on with that
// board's listing line again, so that every message and entry of the whole
// is in exactly one piece and is found there.
#pragma once

#include <string>

namespace zazir::bench {

// Writes `count` logs of about equal size, named 000.LOG, 001.LOG, ..., into
// `dir`. Returns false when a file cannot be read or written.
bool splitLog(const std::string& path, const std::string& dir, int count);

}  // namespace zazir::bench

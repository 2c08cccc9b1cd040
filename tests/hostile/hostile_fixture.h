// Whole screens over hostile inputs: the log is written to a file in a
// fresh directory, opened and indexed as start-up does, and every file the
// run may write lies in that directory, so that a test can check that
// nothing else appeared there.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>

#include "services/app.h"
#include "support/test_app.h"

namespace zazir::testing {

class HostileRun : public TestApp {
 public:
  HostileRun();

  // The App over `log`, read from LOG.LOG through the program's own file
  // stream and indexed as start-up does.
  App& open(const std::string& log);

  // The names in the directory other than the log.
  std::set<std::string> files() const;

 private:
  std::unique_ptr<FileLineStream> stream_;
  std::optional<OpenLog> log_;
  std::optional<App> app_;
};

}  // namespace zazir::testing

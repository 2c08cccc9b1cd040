// Work that must not be cut off half done (an export): while a StopSignals
// lives, a hang-up, an interrupt or a termination is only noted, so that
// the work can take back what it wrote and end with the signal's status.
#pragma once

namespace zazir {

class StopSignals {
 public:
  StopSignals();   // notes SIGHUP, SIGINT and SIGTERM from now on
  ~StopSignals();  // as they were before
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The first signal noted, 0 for none.
  int caught() const;
};

}  // namespace zazir

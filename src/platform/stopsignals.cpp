#include "platform/stopsignals.h"

#include <signal.h>

#include <cstddef>

namespace zazir {
namespace {

constexpr int kSignals[] = {SIGHUP, SIGINT, SIGTERM};

// A handler can hand on nothing but a flag.
volatile sig_atomic_t caughtSignal = 0;
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];

void note(int number) {
  if (caughtSignal == 0) caughtSignal = number;
}

}  // namespace

StopSignals::StopSignals() {
  caughtSignal = 0;
  struct sigaction action {};
  action.sa_handler = note;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
    sigaction(kSignals[i], &action, &previous[i]);
  }
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
    sigaction(kSignals[i], &previous[i], nullptr);
  }
}

int StopSignals::caught() const {
  return caughtSignal;
}

}  // namespace zazir

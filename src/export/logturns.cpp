#include "export/logturns.h"

#include <cerrno>

namespace zazir {

void LogTurns::stop() {
  const std::lock_guard lock(mutex_);
  stopped_ = true;
  turnCame_.notify_all();
}

bool LogTurns::stopped() {
  const std::lock_guard lock(mutex_);
  return stopped_;
}

std::size_t LogTurns::turn() {
  const std::lock_guard lock(mutex_);
  return turn_;
}

int LogTurns::outputError() {
  const std::lock_guard lock(mutex_);
  return error_;
}

bool LogTurns::awaitTurn(std::unique_lock<std::mutex>& lock, std::size_t log) {
  turnCame_.wait(lock, [&] { return stopped_ || turn_ == log; });
  return !stopped_;
}

bool LogTurns::writeOut(std::unique_lock<std::mutex>& lock, std::string& lines) {
  lock.unlock();
  errno = 0;
  const bool written = std::fwrite(lines.data(), 1, lines.size(), out_) == lines.size();
  const int error = errno;
  lines.clear();
  lock.lock();
  if (!written) {
    stopped_ = true;
    error_ = error != 0 ? error : EIO;
    turnCame_.notify_all();
  }
  return written;
}

bool LogTurns::offer(std::size_t log, std::string& lines) {
  std::unique_lock lock(mutex_);
  if (stopped_) return false;
  if (turn_ != log && (lines.size() < kKeptBytes || !awaitTurn(lock, log))) return !stopped_;
  return writeOut(lock, lines);
}

bool LogTurns::finish(std::size_t log, std::string& lines, bool goOn) {
  std::unique_lock lock(mutex_);
  if (!awaitTurn(lock, log) || !writeOut(lock, lines)) return false;
  if (goOn) {
    ++turn_;
  } else {
    stopped_ = true;
  }
  turnCame_.notify_all();
  return true;
}

}  // namespace zazir

// The output of logs searched side by side, in the logs' order: the lines
// of the log whose turn it is go out at once; those of a later log wait in
// its searcher's buffer until its turn comes, the searcher waiting once
// they are kKeptBytes, so that the memory stays bounded however many hits.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

namespace zazir {

class LogTurns {
 public:
  static constexpr std::size_t kKeptBytes = 4 << 20;

  explicit LogTurns(std::FILE* out) : out_(out) {}

  // Writes the whole lines `lines` holds of log `log` (numbered from 0)
  // and empties it, or leaves them there while it is not the log's turn.
  // False once the output failed or the turns stopped.
  bool offer(std::size_t log, std::string& lines);
  // Log `log` is done: waits for its turn and writes `lines`. The next
  // log's turn comes unless `goOn` is false (a log that could not be read
  // ends the search there). False when the turns stopped before.
  bool finish(std::size_t log, std::string& lines, bool goOn);

  // Ends the output where it is: no later log writes.
  void stop();
  bool stopped();
  // The log whose turn it is; the count of logs when every one was done.
  std::size_t turn();
  // The error number of the failed output; 0 when it did not fail.
  int outputError();

 private:
  // Waits until it is the log's turn; false when the turns stopped.
  bool awaitTurn(std::unique_lock<std::mutex>& lock, std::size_t log);
  // Writes `lines` outside the lock (no other log writes while this one
  // has its turn) and empties it.
  bool writeOut(std::unique_lock<std::mutex>& lock, std::string& lines);

  std::FILE* out_;
  std::mutex mutex_;
  std::condition_variable turnCame_;
  std::size_t turn_ = 0;
  bool stopped_ = false;
  int error_ = 0;
};

}  // namespace zazir

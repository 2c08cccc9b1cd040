// A terminal for tests: keys come from a script, screens are kept for
// reading back as a person would see them.
#pragma once

#include <deque>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "console/backend.h"
#include "console/dialogs.h"
#include "console/screen.h"

namespace zazir {
// A key in a failure message: the byte or the named key's code.
std::ostream& operator<<(std::ostream& out, Key key);
}  // namespace zazir

namespace zazir::testing {

// Thrown when a screen waits for a key that the script does not have.
struct ScriptExhausted : std::runtime_error {
  ScriptExhausted() : std::runtime_error("the key script ran out") {}
};

class ScriptedBackend : public TerminalBackend {
 public:
  // Each byte of `keys` is one key as the terminal gives it: "\b" is
  // Backspace, "\r" Enter (UTF-8 text types its bytes one by one).
  ScriptedBackend& type(std::string_view keys);
  ScriptedBackend& press(Key key);
  ScriptedBackend& press(Key key, int times);
  ScriptedBackend& press(const std::vector<Key>& keys);
  // The terminal hangs up (SIGHUP, SIGTERM) at this point of the script:
  // this and every later key read ends the run as the real terminal does.
  ScriptedBackend& hangUp(int signal);
  // The terminal takes `rows` rows at this point of the script.
  ScriptedBackend& resize(int rows);

  void present(const Screen& screen) override;
  void bell() override { ++bells_; }
  Key readKey() override;
  void forgetShown() override { ++repaints_; }
  // The next key of the script, as typed ahead; a hang-up waits for the
  // next read.
  std::optional<Key> pollKey() override;
  int rows() const override { return rows_; }
  std::string inputCodeset() const override { return codeset_; }
  void suspend() override { ++suspends_; }
  void resume() override { ++resumes_; }

  void setInputCodeset(std::string codeset) { codeset_ = std::move(codeset); }
  void setRows(int rows) { rows_ = rows; }
  // The screen as last presented.
  const Screen& screen() const { return shown_; }
  // Row `row` as UTF-8, trailing blanks removed.
  std::string row(int row) const;
  // All rows as UTF-8, joined by "\n" (for failure messages).
  std::string dump() const;
  // The screen presented while waiting for the n-th key (0-based).
  const Screen& screenAtKey(std::size_t n) const { return atKey_.at(n); }
  // Row `row` of that screen as UTF-8.
  std::string rowAtKey(std::size_t n, int row) const;
  // How many keys were read, so that the last screens can be found.
  std::size_t keysRead() const { return atKey_.size(); }
  int bells() const { return bells_; }
  // How often the whole screen was to be sent again (Ctrl+L).
  int repaints() const { return repaints_; }
  std::size_t pendingKeys() const { return keys_.size(); }
  int suspends() const { return suspends_; }

 private:
  // A script entry: a key, the hang-up by `signal`, or a new height.
  struct Entry {
    Key key;
    int signal = 0;
    int rows = 0;
  };
  std::deque<Entry> keys_;
  std::vector<Screen> atKey_;
  Screen shown_;
  std::string codeset_ = "UTF-8";
  int bells_ = 0;
  int repaints_ = 0;
  int suspends_ = 0;
  int resumes_ = 0;
  int hungUpBy_ = 0;
  int rows_ = kScreenHeight;
};

// How `run` ended the program (a failure when it returned instead).
template <typename Run>
ProgramExit exitOf(Run run) {
  try {
    run();
  } catch (const ProgramExit& exit) {
    return exit;
  }
  ADD_FAILURE() << "returned instead of ending the program";
  return {-1, "returned"};
}

// Key scripts for tables: `key` `times` times, and two scripts joined.
std::vector<Key> repeated(Key key, int times);
std::vector<Key> concat(std::vector<Key> first, const std::vector<Key>& second);

// The screen rows whose first cell is highlighted (a list's chosen row).
std::vector<int> highlightedRows(const Screen& screen);

// Shorthands for tests.
std::string sj(std::string_view utf8);     // UTF-8 to CP932
std::string utf8(std::string_view cp932);  // CP932 to UTF-8

}  // namespace zazir::testing

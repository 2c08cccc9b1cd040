// The real terminal backend: raw mode, the renderer, and the key decoder
// with its Esc timeout.
#pragma once

#include <memory>
#include <string>

#include "console/backend.h"
#include "console/render.h"
#include "platform/rawterminal.h"

namespace zazir {

class PosixTerminal : public TerminalBackend {
 public:
  // Null when standard input and output are not a terminal. `codeset` is
  // the terminal's, for what is shown and typed.
  static std::unique_ptr<PosixTerminal> open(const std::string& codeset, Colours colours);
  ~PosixTerminal() override;

  void present(const Screen& screen) override;
  void bell() override;
  Key readKey() override;
  void forgetShown() override;
  std::optional<Key> pollKey() override;
  int rows() const override { return terminal_->size().rows; }
  std::string inputCodeset() const override { return codeset_; }
  void suspend() override;
  void resume() override;

 private:
  PosixTerminal(std::unique_ptr<RawTerminal> terminal, std::string codeset, Colours colours);
  // Both give true when the terminal's height is no longer the one last
  // drawn on (it may change while the program is stopped).
  bool redraw();
  bool stop();
  // The next key; without `wait`, none when no byte is typed yet.
  std::optional<Key> nextKey(bool wait);

  std::unique_ptr<RawTerminal> terminal_;
  std::string codeset_;
  Renderer renderer_;
  Screen last_;
  // The terminal's height when last drawn on.
  int lastRows_ = 0;
  std::string pending_;  // input bytes not yet decoded
  bool tooSmall_ = false;  // the notice asking for a larger terminal is shown
  int terminatedBy_ = 0;  // the signal that ended the run, once one has
};

}  // namespace zazir

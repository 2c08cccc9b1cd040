#include "console/terminal.h"

#include "console/dialogs.h"
#include "console/keys.h"
#include "platform/encoding.h"

namespace zazir {
namespace {
// How long a lone Esc waits for the rest of a sequence.
constexpr int kEscapeWaitMs = 50;
// Ctrl-Z, a byte like any other in raw mode.
constexpr Key kStopKey = Key::ofByte(0x1A);
}  // namespace

std::unique_ptr<PosixTerminal> PosixTerminal::open(const std::string& codeset, Colours colours) {
  auto terminal = RawTerminal::open();
  if (!terminal) return nullptr;
  auto backend = std::unique_ptr<PosixTerminal>(
      new PosixTerminal(std::move(terminal), codeset, colours));
  backend->terminal_->enter();
  return backend;
}

PosixTerminal::PosixTerminal(std::unique_ptr<RawTerminal> terminal, std::string codeset,
                             Colours colours)
    : terminal_(std::move(terminal)), codeset_(std::move(codeset)), renderer_(codeset_, colours) {}

PosixTerminal::~PosixTerminal() {
  terminal_->leave();
}

void PosixTerminal::present(const Screen& screen) {
  last_ = screen;
  const TerminalSize size = terminal_->size();
  lastRows_ = size.rows;
  tooSmall_ = !screenFits(size.rows, size.columns);
  terminal_->write(renderer_.frame(screen, size.rows, size.columns));
}

bool PosixTerminal::stop() {
  terminal_->stop();
  pending_.clear();  // what was typed for the shell is not ours
  return redraw();
}

bool PosixTerminal::redraw() {
  const int rows = lastRows_;
  renderer_.invalidate();
  present(last_);
  return lastRows_ != rows;
}

void PosixTerminal::forgetShown() {
  renderer_.invalidate();
}

void PosixTerminal::bell() {
  terminal_->write("\a");
}

Key PosixTerminal::readKey() {
  return *nextKey(true);
}

std::optional<Key> PosixTerminal::pollKey() {
  return nextKey(false);
}

std::optional<Key> PosixTerminal::nextKey(bool wait) {
  // What runs on the way out (writing the download marks) may wait for a
  // key: it gets none, and the run ends as the signal asked.
  if (terminatedBy_ != 0) throw ProgramExit{128 + terminatedBy_, {}, terminatedBy_};
  while (true) {
    int timeout = wait ? -1 : 0;
    if (!pending_.empty()) {
      const KeyDecode decoded = decodeKey(pending_);
      if (decoded.kind != KeyDecode::Kind::Partial) {
        pending_.erase(0, decoded.consumed);
        if (decoded.kind != KeyDecode::Kind::Key) continue;
        if (decoded.key == kStopKey) {
          if (stop()) return key::kResize;
          continue;
        }
        // Nothing may answer a screen that cannot be seen; Ctrl-L only
        // draws it (or the notice that stands for it) again.
        if (tooSmall_ && decoded.key != key::kCtrlL) continue;
        return decoded.key;
      }
      timeout = kEscapeWaitMs;
    }
    int signal = 0;
    switch (terminal_->wait(pending_, timeout, signal)) {
      case RawTerminal::Event::Input:
        break;
      case RawTerminal::Event::Timeout: {
        if (pending_.empty()) return std::nullopt;
        const KeyDecode decoded = decodeAfterTimeout(pending_);
        pending_.erase(0, decoded.consumed);
        if (decoded.kind == KeyDecode::Kind::Key && !tooSmall_) return decoded.key;
        break;
      }
      case RawTerminal::Event::Resize:
        // The screen is fitted and drawn anew by the console.
        renderer_.invalidate();
        return key::kResize;
      case RawTerminal::Event::Redraw:
        if (redraw()) return key::kResize;
        break;
      case RawTerminal::Event::Stop:
        if (stop()) return key::kResize;
        break;
      case RawTerminal::Event::Terminate:
        terminatedBy_ = signal;
        throw ProgramExit{128 + signal, {}, signal};
    }
  }
}

void PosixTerminal::suspend() {
  terminal_->leave();
}

void PosixTerminal::resume() {
  terminal_->enter();
  pending_.clear();
  renderer_.invalidate();
}

}  // namespace zazir

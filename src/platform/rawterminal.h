// The raw terminal: termios mode, the alternate screen, signals turned into
// events, and reading input with a timeout.
#pragma once

#include <termios.h>
#include <memory>
#include <string>
#include <string_view>

namespace zazir {

struct TerminalSize {
  int rows = 25;
  int columns = 80;
};

class RawTerminal {
 public:
  // Takes the terminal on standard input and output; null when they are not
  // a terminal.
  static std::unique_ptr<RawTerminal> open();
  ~RawTerminal();  // restores the terminal

  // Raw mode on the alternate screen, and back to what the user had.
  void enter();
  void leave();
  // Stops the program as a shell's job (Ctrl-Z) with the terminal given
  // back, and takes it again once the job goes on.
  void stop();

  void write(std::string_view bytes);
  TerminalSize size() const;

  enum class Event { Input, Timeout, Resize, Redraw, Stop, Terminate };
  // Waits up to `timeoutMs` (-1: for ever) for input or a signal. On Input
  // the bytes read are appended to `input`; on Terminate `signal` tells
  // which.
  Event wait(std::string& input, int timeoutMs, int& signal);

 private:
  RawTerminal(int inFd, int outFd, const termios& saved);

  int inFd_;
  int outFd_;
  termios saved_;
  bool raw_ = false;
};

}  // namespace zazir

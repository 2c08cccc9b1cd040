#include "platform/rawterminal.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace zazir {
namespace {

// Signals only write their number here; the one poll loop does the rest.
int signalPipe[2] = {-1, -1};

void onSignal(int number) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  [[maybe_unused]] ssize_t ignored = ::write(signalPipe[1], &byte, 1);
  errno = saved;
}

void setHandler(int number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(number, &action, nullptr);
}

void installSignalHandlers() {
  if (signalPipe[0] >= 0) return;
  if (pipe(signalPipe) != 0) return;
  for (int fd : signalPipe) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  for (int number : {SIGWINCH, SIGCONT, SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
    setHandler(number, onSignal);
  }
}

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;  // the terminal is gone; nothing more to show
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

}  // namespace

std::unique_ptr<RawTerminal> RawTerminal::open() {
  termios saved{};
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) {
    return nullptr;
  }
  installSignalHandlers();
  return std::unique_ptr<RawTerminal>(new RawTerminal(STDIN_FILENO, STDOUT_FILENO, saved));
}

RawTerminal::RawTerminal(int inFd, int outFd, const termios& saved)
    : inFd_(inFd), outFd_(outFd), saved_(saved) {}

RawTerminal::~RawTerminal() {
  leave();
}

void RawTerminal::enter() {
  termios raw = saved_;
  // No echo, no line editing, no signal keys (Ctrl-C is a key), no
  // extended input processing.
  raw.c_lflag &= ~(ECHO | ICANON | ISIG | IEXTEN);
  // No CR/NL translation, no flow control (Ctrl-S and Ctrl-Q are keys), no
  // break signal, no parity check, no eighth-bit stripping.
  raw.c_iflag &= ~(ICRNL | INLCR | IGNCR | IXON | IXOFF | BRKINT | INPCK | ISTRIP);
  // Output is sent exactly as the renderer makes it.
  raw.c_oflag &= ~OPOST;
  raw.c_cflag |= CS8;
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(inFd_, TCSAFLUSH, &raw);
  raw_ = true;
  // A stop from outside is the program's to make (the terminal first);
  // while an editor runs, a stop takes the program along with it.
  setHandler(SIGTSTP, onSignal);
  // Alternate screen, cursor keys and keypad in their normal form (an
  // editor that died may have left them in application mode, whose keypad
  // digits would arrive as sequences and be swallowed), cursor shown.
  write("\x1b[?1049h\x1b[?1l\x1b>\x1b[?25h");
}

void RawTerminal::leave() {
  if (!raw_) return;
  setHandler(SIGTSTP, SIG_DFL);
  write("\x1b[0m\x1b[?25h\x1b[?1049l");
  tcsetattr(inFd_, TCSAFLUSH, &saved_);
  raw_ = false;
}

void RawTerminal::stop() {
  leave();
  // The whole job stops, as the shell's own Ctrl-Z would stop it; a job
  // that no shell controls is not stopped and goes straight on.
  kill(0, SIGTSTP);
  enter();
}

void RawTerminal::write(std::string_view bytes) {
  writeAll(outFd_, bytes);
}

TerminalSize RawTerminal::size() const {
  winsize ws{};
  if (ioctl(outFd_, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
    return {ws.ws_row, ws.ws_col};
  }
  return {};
}

RawTerminal::Event RawTerminal::wait(std::string& input, int timeoutMs, int& signal) {
  pollfd fds[2] = {{signalPipe[0], POLLIN, 0}, {inFd_, POLLIN, 0}};
  while (true) {
    const int ready = poll(fds, 2, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return Event::Timeout;
    if (fds[0].revents & POLLIN) {
      unsigned char number = 0;
      if (::read(signalPipe[0], &number, 1) == 1) {
        if (number == SIGWINCH) return Event::Resize;
        if (number == SIGCONT) return Event::Redraw;
        if (number == SIGTSTP) return Event::Stop;
        signal = number;
        return Event::Terminate;
      }
    }
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
      char buffer[256];
      const ssize_t got = ::read(inFd_, buffer, sizeof buffer);
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (got <= 0) {
        signal = SIGHUP;  // the terminal went away
        return Event::Terminate;
      }
      input.append(buffer, static_cast<std::size_t>(got));
      return Event::Input;
    }
  }
}

}  // namespace zazir

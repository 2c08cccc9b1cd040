#include "console/console.h"

#include <algorithm>

#include "platform/encoding.h"
#include "text/cp932.h"

namespace zazir {

namespace {
// No trail byte of a double-byte character is below this (nor a control).
constexpr unsigned char kLowestTrailByte = 0x40;
// The status row of the screens laid out on 25 rows; a notice shown once
// stands there.
constexpr int kStatusRow = kScreenHeight - 2;
}  // namespace

Console::Console(TerminalBackend& backend, CommandRunner runner)
    : backend_(backend), runner_(runner ? std::move(runner) : CommandRunner(runShellCommand)) {}

void Console::setCursor(int column, int row) {
  screen_.cursorColumn = column;
  screen_.cursorRow = row;
}

void Console::moveTo(int x, int y) {
  if (screen_.contains(x - 1, y - 1)) setCursor(x - 1, y - 1);
}

void Console::newLine(bool scrollAtBottom) {
  screen_.cursorColumn = 0;
  ++screen_.cursorRow;
  if (scrollAtBottom && screen_.cursorRow == screen_.rows()) {
    scrollUp();
    screen_.cursorRow = screen_.rows() - 1;
  }
}

void Console::scrollUp() {
  std::copy(screen_.cells.begin() + kScreenWidth, screen_.cells.end(), screen_.cells.begin());
  std::fill(screen_.cells.end() - kScreenWidth, screen_.cells.end(), Cell{' ', attr::kStartup});
}

void Console::putByte(unsigned char byte, Attribute attribute, bool scrollAtBottom) {
  if (screen_.cursorColumn >= kScreenWidth) newLine(scrollAtBottom);
  if (screen_.contains(screen_.cursorColumn, screen_.cursorRow)) {
    screen_.at(screen_.cursorColumn, screen_.cursorRow) = Cell{byte, attribute};
  }
  ++screen_.cursorColumn;
}

void Console::writeText(std::string_view text) {
  write(text, false);
}

void Console::writeBody(std::string_view text) {
  write(text, true);
}

void Console::write(std::string_view text, bool body) {
  const Attribute attribute = body ? attr::kStartup : current_;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte == '\n') {
      newLine(body);
    } else if (body && byte == '\t') {
      do putByte(' ', attribute, true);
      while (screen_.cursorColumn % 8 != 0);
    } else if (isLeadByte(byte) && at + 1 < text.size() &&
               static_cast<unsigned char>(text[at + 1]) >= kLowestTrailByte) {
      // A double-byte character is never split by the row's end: one that
      // would begin in the last column begins the next row.
      if (screen_.cursorColumn == kScreenWidth - 1) putByte(' ', attribute, body);
      putByte(byte, attribute, body);
      putByte(static_cast<unsigned char>(text[++at]), attribute, body);
    } else {
      putByte(byte, attribute, body);
    }
  }
}

void Console::putBodyRow(int row, std::string_view text, std::span<const std::size_t> reversed) {
  int column = 0;
  auto put = [&](unsigned char byte, Attribute attribute) {
    if (screen_.contains(column, row)) {
      screen_.at(column, row) = Cell{byte, attribute};
    }
    ++column;
  };
  auto nextReversed = reversed.begin();
  for (std::size_t at = 0; at < text.size() && column < kScreenWidth; ++at) {
    const char c = text[at];
    if (c == '\t') {
      do put(' ', attr::kStartup);
      while (column % 8 != 0);
      continue;
    }
    const bool reverse = nextReversed != reversed.end() && *nextReversed == at;
    if (reverse) ++nextReversed;
    put(static_cast<unsigned char>(c), reverse ? attr::kBar : attr::kStartup);
  }
  while (column < kScreenWidth) put(' ', attr::kStartup);
  setCursor(0, row + 1);
}

int Console::rows() const {
  return std::max(kScreenHeight, backend_.rows());
}

int Console::bottomRow() const {
  const int rows = this->rows();
  return rows > kScreenHeight ? rows - 1 : kStatusRow;
}

void Console::clearScreen() {
  screen_.cells.assign(static_cast<std::size_t>(kScreenWidth * rows()), Cell{' ', attr::kStartup});
  setCursor(0, 0);
}

void Console::clearToEndOfLine() {
  if (screen_.cursorRow < 0 || screen_.cursorRow >= screen_.rows()) return;
  for (int column = std::max(screen_.cursorColumn, 0); column < kScreenWidth; ++column) {
    screen_.at(column, screen_.cursorRow) = Cell{' ', attr::kStartup};
  }
}

void Console::deleteLine() {
  const int row = screen_.cursorRow;
  if (row < 0 || row >= screen_.rows()) return;
  auto first = screen_.cells.begin() + row * kScreenWidth;
  std::copy(first + kScreenWidth, screen_.cells.end(), first);
  std::fill(screen_.cells.end() - kScreenWidth, screen_.cells.end(), Cell{' ', attr::kStartup});
}

void Console::insertLine() {
  const int row = screen_.cursorRow;
  if (row < 0 || row >= screen_.rows()) return;
  auto first = screen_.cells.begin() + row * kScreenWidth;
  std::copy_backward(first, screen_.cells.end() - kScreenWidth, screen_.cells.end());
  std::fill(first, first + kScreenWidth, Cell{' ', attr::kStartup});
}

void Console::present() {
  backend_.present(screen_);
}

Key Console::getKey(Resizes resizes, Repaints repaints) {
  while (true) {
    const Key key = showAndRead();
    if (key == key::kCtrlL) {
      // Whatever garbled the terminal, every cell goes out again; a screen
      // that can draw itself does so, in case what it holds is stale too.
      backend_.forgetShown();
      const bool resized = fitToTerminal();
      if (repaints == Repaints::Report) return key;
      if (resized && resizes == Resizes::Report) return key::kResize;
      continue;
    }
    if (key != key::kResize) {
      notice_.clear();
      return key;
    }
    fitToTerminal();
    if (resizes == Resizes::Report) return key;
  }
}

bool Console::fitToTerminal() {
  // What is drawn keeps its place; the rows the terminal gained are
  // blank, the ones it lost are gone.
  const std::size_t cells = static_cast<std::size_t>(kScreenWidth * rows());
  if (screen_.cells.size() == cells) return false;
  screen_.cells.resize(cells, Cell{' ', attr::kStartup});
  return true;
}

Key Console::showAndRead() {
  if (notice_.empty()) {
    present();
    return readKey();
  }
  const Screen behind = screen_;
  // On the status row, which stays at the bottom of a taller terminal.
  const int row = bottomRow();
  const std::string_view notice = cutToBytes(notice_, kScreenWidth);
  for (int column = 0; column < kScreenWidth; ++column) {
    const std::size_t at = static_cast<std::size_t>(column);
    const char byte = at < notice.size() ? notice[at] : ' ';
    screen_.at(column, row) = {static_cast<std::uint8_t>(byte), attr::kBar};
  }
  present();
  screen_ = behind;
  return readKey();
}

Key Console::readKey() {
  if (typedAhead_.empty()) return backend_.readKey();
  const Key key = typedAhead_.front();
  typedAhead_.pop_front();
  return key;
}

bool Console::escapeTyped() {
  while (const std::optional<Key> key = backend_.pollKey()) {
    // Work under way shows its screen whole again at once.
    if (*key == key::kCtrlL) {
      backend_.forgetShown();
      present();
      continue;
    }
    if (*key == key::kEscape) {
      typedAhead_.clear();
      return true;
    }
    typedAhead_.push_back(*key);
  }
  return false;
}

void Console::bell() {
  present();
  backend_.bell();
}

CommandResult Console::runCommand(const std::string& commandLine) {
  present();
  backend_.suspend();
  struct Resume {
    TerminalBackend& backend;
    ~Resume() { backend.resume(); }
  } resume{backend_};
  return runner_(toOsName(commandLine));
}

}  // namespace zazir

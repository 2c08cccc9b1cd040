// The console: the screen operations every screen uses, drawing into the
// virtual screen, and the key reader. A backend shows the screen.
#pragma once

#include <deque>
#include <span>
#include <string>
#include <string_view>

#include "console/backend.h"
#include "console/screen.h"
#include "platform/command.h"
#include "text/format.h"

namespace zazir {

// Whether a wait for a key gives back a change of the terminal's size
// (key::kResize) or only shows the screen again, keeping its place.
enum class Resizes { Absorb, Report };
// Whether Ctrl+L comes back (key::kCtrlL), for a screen that draws itself
// anew on it, or only shows the screen again. Either way the terminal is
// sent every cell again.
enum class Repaints { Absorb, Report };

class Console {
 public:
  // `runner` runs external commands; the real shell runner when empty.
  explicit Console(TerminalBackend& backend, CommandRunner runner = {});

  // Cursor: 0-based column and row. Output at a position outside the
  // screen does not appear.
  void setCursor(int column, int row);
  // 1-based position; a position outside the screen is ignored.
  void moveTo(int x, int y);
  int cursorColumn() const { return screen_.cursorColumn; }
  int cursorRow() const { return screen_.cursorRow; }

  // Formatted text at the cursor in the current attribute: "\n" goes to
  // column 0 of the next row and output wraps after column 79, a
  // double-byte character that would straddle the wrap beginning the next
  // row. Every other byte is a cell, control bytes included: texts from
  // files and the log pass through here, and only bell() may sound.
  template <typename... Args>
  void putText(std::string_view format, const Args&... args) {
    writeText(formatText(format, args...));
  }
  void writeText(std::string_view text);

  // Formatted text in the start-up attribute; TAB advances to the next
  // multiple of 8 columns; below the last row the screen scrolls.
  template <typename... Args>
  void putBodyText(std::string_view format, const Args&... args) {
    writeBody(formatText(format, args...));
  }
  void writeBody(std::string_view text);
  // One pager row: `text` from column 0 of `row` in the start-up attribute,
  // tabs expanded, padded with blanks to the row's end and never spilling
  // into the next row. The bytes at the offsets in `reversed` (ascending)
  // are drawn in reverse video.
  void putBodyRow(int row, std::string_view text, std::span<const std::size_t> reversed = {});

  Attribute getAttribute() const { return current_; }
  void setAttribute(Attribute attribute) { current_ = attribute; }
  void setForeground(int colour) { current_ = (current_ & 0xF0) | (colour & 0x0F); }
  void setBackground(int colour) { current_ = (current_ & 0x0F) | ((colour & 0x0F) << 4); }
  // The two attribute pairs every screen uses.
  void setNormal() {
    setBackground(0);
    setForeground(15);
  }
  void setBar() {
    setForeground(0);
    setBackground(15);
  }

  // Every cell blank, the cursor at (0, 0), the height the terminal's.
  void clearScreen();
  void clearToEndOfLine();
  void deleteLine();
  void insertLine();

  // The screen's height: the terminal's, at least the 25 rows the screens
  // are laid out on.
  int rows() const;
  // The last row the screens use, the status row's: row 23, leaving the
  // 25th row empty as on the console the screens were made for; on a
  // taller terminal its bottom row.
  int bottomRow() const;

  // Shows the screen and waits for one key. When the terminal's size
  // changes meanwhile, the screen is fitted to it (rows added or cut at
  // the bottom) and shown again; with Resizes::Report key::kResize comes
  // back too, so that the caller can lay itself out anew. Ctrl+L shows
  // the whole screen again (see Repaints).
  Key getKey(Resizes resizes = Resizes::Absorb, Repaints repaints = Repaints::Absorb);
  // For work that goes on without waiting: whether Esc was typed since the
  // last key read. Keys typed before it are dropped, those after it are
  // left for getKey.
  bool escapeTyped();
  // `notice` stands on the status row of the next screen that waits for a
  // key, over what that screen has there, until the key comes.
  void showOnce(std::string notice) { notice_ = std::move(notice); }
  void bell();
  // Shows the screen as it stands (before a wait that is not a key).
  void present();

  // Runs an external command with the terminal handed over to it.
  CommandResult runCommand(const std::string& commandLine);

  const Screen& screen() const { return screen_; }
  std::string inputCodeset() const { return backend_.inputCodeset(); }

 private:
  // Text or body text: both wrap after column 79, keeping each double-byte
  // character whole.
  void write(std::string_view text, bool body);
  void putByte(unsigned char byte, Attribute attribute, bool scrollAtBottom);
  void newLine(bool scrollAtBottom);
  void scrollUp();
  Key showAndRead();
  // The screen fitted to the terminal's height; true when that changed.
  bool fitToTerminal();
  Key readKey();  // a key escapeTyped kept, else the backend's

  TerminalBackend& backend_;
  CommandRunner runner_;
  Screen screen_;
  Attribute current_ = attr::kStartup;
  std::string notice_;
  std::deque<Key> typedAhead_;  // keys escapeTyped read, for getKey
};

}  // namespace zazir

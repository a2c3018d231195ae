// The controlling terminal in raw mode on the alternate screen, put back as
// it was on every way out: return, exception, or a signal.
#pragma once

#include <cstdint>
#include <string>

namespace jcamp::ui {

enum class KeyCode {
  kCharacter,
  kUp,
  kDown,
  kPageUp,
  kPageDown,
  kHome,
  kEnd,
  kEnter,
  kEscape,
  kBackspace,
  kTab,
  kInterrupt,  // Ctrl-C: raw mode delivers it as a key
  kClearLine,  // Ctrl-U
  kResized,
  kClosed,  // the terminal went away
};

struct Key {
  KeyCode code;
  char character;
};

class Terminal {
 public:
  Terminal() = default;
  ~Terminal() { restore(); }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // Opens /dev/tty and takes it over; false when the process has no
  // controlling terminal (or another dialog holds it).
  bool open();
  // Gives the terminal back; the screen the user had reappears.
  void restore();

  int32_t rows() const;
  int32_t columns() const;
  void write(const std::string& text) const;
  // Waits for the next key; kResized when the window changed meanwhile.
  Key readKey() const;

 private:
  bool active_ = false;
};

}  // namespace jcamp::ui

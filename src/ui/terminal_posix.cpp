#include "ui/terminal_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace jcamp::ui {
namespace {

constexpr char kEnterScreen[] = "\x1b[?1049h\x1b[?25l";
constexpr char kLeaveScreen[] = "\x1b[0m\x1b[?25h\x1b[?1049l";
constexpr int kEscapeWaitMs = 40;   // the rest of an escape sequence follows at once
constexpr int kResizePollMs = 250;  // how often a wait looks for a resize
constexpr int32_t kFallbackRows = 24;
constexpr int32_t kFallbackColumns = 80;

// The signals after which the terminal is put back before they take effect.
constexpr int kRestoringSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};
constexpr size_t kSignalCount = sizeof kRestoringSignals / sizeof kRestoringSignals[0];

// Signal handlers see only these. One terminal dialog at a time.
std::atomic<bool> gInUse{false};
int gTty = -1;
termios gSaved{};
termios gRaw{};
struct sigaction gPrevious[kSignalCount];
struct sigaction gPreviousResize;
volatile sig_atomic_t gResized = 0;

void writeAll(int fd, const char* text, size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd, text, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    length -= static_cast<size_t>(written);
  }
}

// Async-signal-safe: tcsetattr and write only.
void leaveRawMode() {
  writeAll(gTty, kLeaveScreen, sizeof kLeaveScreen - 1);
  ::tcsetattr(gTty, TCSAFLUSH, &gSaved);
}

void enterRawMode() {
  ::tcsetattr(gTty, TCSAFLUSH, &gRaw);
  writeAll(gTty, kEnterScreen, sizeof kEnterScreen - 1);
}

void onResize(int) {
  gResized = 1;
}

void installHandlers();

// Puts the terminal back, lets the signal do what it did before (end or
// stop the process, or the host's own handler), and takes the terminal
// again if the process goes on.
void onSignal(int signal) {
  const int savedErrno = errno;
  leaveRawMode();
  size_t index = 0;
  while (index < kSignalCount && kRestoringSignals[index] != signal) ++index;
  if (index < kSignalCount) ::sigaction(signal, &gPrevious[index], nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  ::raise(signal);
  installHandlers();
  enterRawMode();
  gResized = 1;  // redraw what the interruption may have spoilt
  errno = savedErrno;
}

void installHandlers() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : kRestoringSignals) ::sigaction(signal, &action, nullptr);
}

void saveAndInstallHandlers() {
  for (size_t i = 0; i < kSignalCount; ++i)
    ::sigaction(kRestoringSignals[i], nullptr, &gPrevious[i]);
  installHandlers();
  struct sigaction resize;
  std::memset(&resize, 0, sizeof resize);
  resize.sa_handler = onResize;
  sigemptyset(&resize.sa_mask);
  ::sigaction(SIGWINCH, &resize, &gPreviousResize);
}

void restoreHandlers() {
  for (size_t i = 0; i < kSignalCount; ++i)
    ::sigaction(kRestoringSignals[i], &gPrevious[i], nullptr);
  ::sigaction(SIGWINCH, &gPreviousResize, nullptr);
}

// One byte, or -1 when none came within timeoutMs (-1: wait for ever).
int readByte(int timeoutMs) {
  pollfd wanted{gTty, POLLIN, 0};
  const int ready = ::poll(&wanted, 1, timeoutMs);
  if (ready <= 0) return ready == 0 || errno == EINTR ? -1 : -2;
  unsigned char byte = 0;
  const ssize_t got = ::read(gTty, &byte, 1);
  if (got == 1) return byte;
  return got < 0 && (errno == EINTR || errno == EAGAIN) ? -1 : -2;
}

Key escapeSequence() {
  const int second = readByte(kEscapeWaitMs);
  if (second != '[' && second != 'O') return {KeyCode::kEscape, 0};
  const int third = readByte(kEscapeWaitMs);
  switch (third) {
    case 'A':
      return {KeyCode::kUp, 0};
    case 'B':
      return {KeyCode::kDown, 0};
    case 'H':
      return {KeyCode::kHome, 0};
    case 'F':
      return {KeyCode::kEnd, 0};
    default:
      break;
  }
  if (third < '0' || third > '9') return {KeyCode::kEscape, 0};
  // "ESC [ n ~": read up to the tilde.
  int number = third - '0';
  for (int c = readByte(kEscapeWaitMs); c >= '0' && c <= '9'; c = readByte(kEscapeWaitMs)) {
    number = number * 10 + (c - '0');
  }
  switch (number) {
    case 1:
    case 7:
      return {KeyCode::kHome, 0};
    case 4:
    case 8:
      return {KeyCode::kEnd, 0};
    case 5:
      return {KeyCode::kPageUp, 0};
    case 6:
      return {KeyCode::kPageDown, 0};
    default:
      return {KeyCode::kEscape, 0};
  }
}

}  // namespace

bool Terminal::open() {
  if (gInUse.exchange(true)) return false;
  // O_NOCTTY: never make this terminal ours if we had none.
  gTty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (gTty < 0 || !::isatty(gTty) || ::tcgetattr(gTty, &gSaved) != 0) {
    if (gTty >= 0) ::close(gTty);
    gTty = -1;
    gInUse = false;
    return false;
  }
  gRaw = gSaved;
  cfmakeraw(&gRaw);
  gRaw.c_cc[VMIN] = 1;
  gRaw.c_cc[VTIME] = 0;
  gResized = 0;
  saveAndInstallHandlers();
  enterRawMode();
  active_ = true;
  return true;
}

void Terminal::restore() {
  if (!active_) return;
  active_ = false;
  // Blocked while the handlers change, so no signal finds half of them.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  ::pthread_sigmask(SIG_BLOCK, &all, &previous);
  leaveRawMode();
  restoreHandlers();
  ::close(gTty);
  gTty = -1;
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  gInUse = false;
}

int32_t Terminal::rows() const {
  winsize size{};
  return ::ioctl(gTty, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 ? size.ws_row : kFallbackRows;
}

int32_t Terminal::columns() const {
  winsize size{};
  return ::ioctl(gTty, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : kFallbackColumns;
}

void Terminal::write(const std::string& text) const {
  writeAll(gTty, text.data(), text.size());
}

Key Terminal::readKey() const {
  for (;;) {
    if (gResized != 0) {
      gResized = 0;
      return {KeyCode::kResized, 0};
    }
    const int byte = readByte(kResizePollMs);
    if (byte == -2) return {KeyCode::kClosed, 0};
    if (byte < 0) continue;
    switch (byte) {
      case '\r':
      case '\n':
        return {KeyCode::kEnter, 0};
      case '\t':
        return {KeyCode::kTab, 0};
      case 0x7F:
      case 0x08:
        return {KeyCode::kBackspace, 0};
      case 0x03:
        return {KeyCode::kInterrupt, 0};
      case 0x15:
        return {KeyCode::kClearLine, 0};
      case 0x1B:
        return escapeSequence();
      default:
        break;
    }
    if (byte >= 0x20) return {KeyCode::kCharacter, static_cast<char>(byte)};
  }
}

}  // namespace jcamp::ui

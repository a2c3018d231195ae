// Drives the import dialog from a second thread while the test's own thread
// sits in importDataUI, as a user would with mouse and keyboard.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace dialogtest {

// Waits up to timeoutMs for found() to give a window; null when none came.
HWND waitForWindow(const std::function<HWND()>& found, DWORD timeoutMs = 10000);
// Waits until window is gone; false after timeoutMs.
bool waitUntilClosed(HWND window, DWORD timeoutMs = 10000);
// The visible import dialog (the top-level dialog that has the file list).
HWND findImportDialog();
// Another dialog window of the dialog's thread (a message box, the folder
// browser), or null.
HWND findPopup(HWND dialog);

std::string windowText(HWND window);
std::string itemText(HWND dialog, int id);
std::vector<std::string> listLines(HWND dialog);
std::vector<int> selectedLines(HWND dialog);
// Selects or deselects a line with the caret on it, then tells the dialog
// as the list would after a click.
void setSelection(HWND dialog, int line, bool selected);
bool isEnabled(HWND dialog, int id);
// Posts a command, as a click on the control would send it.
void click(HWND dialog, int id);

// Saves what the screen shows of window as a 24-bit BMP file.
bool saveScreenshot(HWND window, const std::string& path);

// Runs script on its own thread once the dialog is up. Whatever the script
// leaves open (a message box, the browser, the dialog) is cancelled after it,
// so a failed check can never leave importDataUI waiting.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND dialog)> script);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  void join();
  bool dialogSeen() const { return seen_; }

 private:
  std::thread thread_;
  bool seen_ = false;
};

}  // namespace dialogtest

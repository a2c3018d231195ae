// The shell's folder browser, with a line under its tree that shows the full
// path of the folder selected in it.
#pragma once

#include <windows.h>

#include <string>

namespace jcamp::ui {

class FolderBrowser {
 public:
  // Shows the browser for file-system folders, owned by owner (may be null).
  // True when the user confirmed a folder; path() then holds it.
  bool browseForFolder(const std::string& title, HWND owner);
  const std::string& path() const { return path_; }

  // Gives window a font of the face and cell height, redrawn at once.
  // Returns the font, which the caller deletes once the window is gone.
  static HFONT setControlFont(HWND window, const char* face, LONG height);

 private:
  static int CALLBACK browseCallback(HWND browser, UINT message, LPARAM parameter, LPARAM data);

  std::string path_;
};

}  // namespace jcamp::ui

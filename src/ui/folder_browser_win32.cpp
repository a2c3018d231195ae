#include "ui/folder_browser_win32.h"

#include <shlobj.h>

#include <cstring>

namespace jcamp::ui {
namespace {

constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NONEWFOLDERBUTTON;
constexpr char kPathLineFace[] = "MS Sans Serif";
constexpr LONG kPathLineFontHeight = 12;
constexpr int kTreeRaise = 20;
constexpr int kTreeWidth = 290;
constexpr int kTreeHeight = 170;
constexpr int kPathLineDrop = 165;
constexpr int kPathLineHeight = 18;

// One browse at a time: the browser window's path line and the path it shows.
HWND gPathLine = nullptr;
HFONT gPathLineFont = nullptr;
char gSelectedPath[MAX_PATH] = {};

void placeTreeAndPathLine(HWND browser) {
  gPathLine = CreateWindowExA(0, "EDIT", "",
                              WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 0,
                              100, 100, 50, browser, nullptr, nullptr, nullptr);
  const HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
  RECT outer{};
  RECT treeRect{};
  GetWindowRect(browser, &outer);
  if (tree != nullptr) GetWindowRect(tree, &treeRect);
  const int left = treeRect.left - outer.left;
  const int top = treeRect.top - outer.top;
  if (tree != nullptr) {
    SetWindowPos(tree, HWND_TOP, left, top - kTreeRaise, kTreeWidth, kTreeHeight, 0);
  }
  SetWindowPos(gPathLine, HWND_BOTTOM, left, top + kPathLineDrop, kTreeWidth, kPathLineHeight,
               SWP_SHOWWINDOW);
  if (gPathLineFont != nullptr) DeleteObject(gPathLineFont);
  gPathLineFont = FolderBrowser::setControlFont(gPathLine, kPathLineFace, kPathLineFontHeight);
}

void showSelectedPath(LPCITEMIDLIST item) {
  if (SHGetPathFromIDListA(item, gSelectedPath) == FALSE) gSelectedPath[0] = '\0';
  if (gPathLine != nullptr) SetWindowTextA(gPathLine, gSelectedPath);
}

}  // namespace

int CALLBACK FolderBrowser::browseCallback(HWND browser, UINT message, LPARAM parameter,
                                           LPARAM /*data*/) {
  if (message == BFFM_INITIALIZED) placeTreeAndPathLine(browser);
  if (message == BFFM_SELCHANGED) showSelectedPath(reinterpret_cast<LPCITEMIDLIST>(parameter));
  return 0;
}

HFONT FolderBrowser::setControlFont(HWND window, const char* face, LONG height) {
  LOGFONTA description;
  std::memset(&description, 0, sizeof description);
  const auto current = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  if (current != nullptr) GetObjectA(current, sizeof description, &description);
  description.lfWeight = FW_NORMAL;
  description.lfHeight = height;
  lstrcpynA(description.lfFaceName, face, LF_FACESIZE);
  const HFONT font = CreateFontIndirectA(&description);
  const HDC dc = GetDC(window);
  SetBkMode(dc, OPAQUE);
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ReleaseDC(window, dc);
  return font;
}

bool FolderBrowser::browseForFolder(const std::string& title, HWND owner) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return false;
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = kBrowseFlags;
  info.lpfn = &FolderBrowser::browseCallback;
  const LPITEMIDLIST item = SHBrowseForFolderA(&info);
  gPathLine = nullptr;
  if (gPathLineFont != nullptr) {
    DeleteObject(gPathLineFont);
    gPathLineFont = nullptr;
  }
  if (item == nullptr) {
    allocator->Release();
    return false;
  }
  char chosen[MAX_PATH] = {};
  if (SHGetPathFromIDListA(item, chosen) != FALSE) path_ = chosen;
  allocator->Free(item);
  allocator->Release();
  return true;
}

}  // namespace jcamp::ui

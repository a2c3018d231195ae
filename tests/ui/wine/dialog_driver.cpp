#include "dialog_driver.h"

#include <cstdint>
#include <cstdio>

#include "ui/dialog_ids.h"

namespace dialogtest {
namespace {

constexpr DWORD kPollMs = 50;

// A visible dialog window other than `except`, with the file list if asked.
struct DialogSearch {
  HWND except;
  bool withList;
  HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (window == search.except || !IsWindowVisible(window) || std::string(className) != "#32770" ||
      (search.withList && GetDlgItem(window, IDC_FILE_LIST) == nullptr)) {
    return TRUE;
  }
  search.found = window;
  return FALSE;
}

// Cancels the pop-ups and the dialog still open, innermost first.
void cancelWhatIsOpen() {
  for (int round = 0; round < 20; ++round) {
    const HWND dialog = findImportDialog();
    if (dialog == nullptr) return;
    const HWND popup = findPopup(dialog);
    PostMessageA(popup != nullptr ? popup : dialog, WM_COMMAND, IDCANCEL, 0);
    Sleep(200);
  }
}

}  // namespace

HWND waitForWindow(const std::function<HWND()>& found, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (const HWND window = found()) return window;
    Sleep(kPollMs);
  }
  return nullptr;
}

bool waitUntilClosed(HWND window, DWORD timeoutMs) {
  return waitForWindow([window] { return IsWindow(window) ? nullptr : GetDesktopWindow(); },
                       timeoutMs) != nullptr;
}

HWND findImportDialog() {
  DialogSearch search{nullptr, true, nullptr};
  EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND findPopup(HWND dialog) {
  DialogSearch search{dialog, false, nullptr};
  EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), findDialog,
                    reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string windowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string itemText(HWND dialog, int id) {
  return windowText(GetDlgItem(dialog, id));
}

std::vector<std::string> listLines(HWND dialog) {
  const HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
  std::vector<std::string> lines;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[512] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    lines.emplace_back(text);
  }
  return lines;
}

std::vector<int> selectedLines(HWND dialog) {
  const HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
  std::vector<int> lines(64);
  const LRESULT count =
      SendMessageA(list, LB_GETSELITEMS, lines.size(), reinterpret_cast<LPARAM>(lines.data()));
  lines.resize(count > 0 ? static_cast<size_t>(count) : 0);
  return lines;
}

void setSelection(HWND dialog, int line, bool selected) {
  const HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
  SendMessageA(list, LB_SETSEL, selected, line);
  SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(line), FALSE);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

bool isEnabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool saveScreenshot(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);  // let the X server show the last paint
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);

  // 24 bits a pixel, rows bottom-up, as a BMP file keeps them.
  BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
  const DWORD size = offset + static_cast<DWORD>(pixels.size());
  const BITMAPFILEHEADER file{0x4D42 /* "BM" */, size, 0, 0, offset};
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&info, sizeof info, 1, out) == 1 &&
                       std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  return std::fclose(out) == 0 && written;
}

DialogDriver::DialogDriver(std::function<void(HWND)> script)
    : thread_([this, script] {
        const HWND dialog = waitForWindow(findImportDialog);
        seen_ = dialog != nullptr;
        if (dialog != nullptr) script(dialog);
        cancelWhatIsOpen();
      }) {}

DialogDriver::~DialogDriver() {
  join();
}

void DialogDriver::join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace dialogtest

// importDataUI under Wine: the test's thread calls the export while a second
// thread reads and drives the dialog, checking what it shows as it goes; then
// the result is checked through the exports. Screenshots go to
// JCAMP_SCREENSHOTS when it is set.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/library_fixture.h"
#include "ui/dialog_ids.h"

namespace {

namespace fs = std::filesystem;

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

// Waits up to timeoutMs for found() to give a window; null when none came.
HWND waitForWindow(const std::function<HWND()>& found, DWORD timeoutMs = 10000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (const HWND window = found()) return window;
    Sleep(kPollMs);
  }
  return nullptr;
}

bool waitUntilClosed(HWND window, DWORD timeoutMs = 10000) {
  return waitForWindow([window] { return IsWindow(window) ? nullptr : GetDesktopWindow(); },
                       timeoutMs) != nullptr;
}

// The visible import dialog (the top-level dialog that has the file list).
HWND findImportDialog() {
  DialogSearch search{nullptr, true, nullptr};
  EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Another dialog window of the dialog's thread (a message box, the folder
// browser), or null.
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

// Selects or deselects a line with the caret on it, then tells the dialog
// as the list would after a click.
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

// Posts a command, as a click on the control would send it.
void click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Saves what the screen shows of window as a 24-bit BMP file.
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

void screenshot(HWND window, const char* name) {
  const char* folder = std::getenv("JCAMP_SCREENSHOTS");
  if (folder != nullptr && *folder != '\0') {
    EXPECT_TRUE(saveScreenshot(window, std::string(folder) + "\\" + name)) << name;
  }
}

// What a host's timer saw when it called into the library while the dialog ran.
struct DialogReentry {
  JcampLibrary* lib = nullptr;
  uint32_t handle = 0;  // the handle whose dialog is up
  uint32_t other = 0;
  int32_t ownCode = -1;
  int32_t otherCode = -1;
  std::atomic<bool> fired{false};
};
DialogReentry* gReentry = nullptr;

// Runs on the test's thread, from the dialog's message loop.
void CALLBACK callIntoTheLibrary(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  int32_t count = 0;
  gReentry->ownCode = gReentry->lib->getNumberOfSamples(gReentry->handle, &count);
  gReentry->otherCode = gReentry->lib->getNoOfFiles(gReentry->other, &count);
  gReentry->fired = true;
}

class DialogWineTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    // Named as a user's folder would be: the screenshots show it.
    folder_ = testpaths::scratchDir() + "\\Spectra";
    fs::create_directory(folder_);
    const std::pair<std::string, const char*> files[] = {
        {testpaths::dataFile("import-two.jdx"), "A.JDX"},
        {testpaths::dataFile("import-three.jdx"), "b.dx"},
        {testpaths::dataFile("scan-linked.jdx"), "C.jdx"},
        {testpaths::exampleFile("wheat-a.jdx"), "wheat-a.jdx"},
        {testpaths::exampleFile("wheat-b.jdx"), "wheat-b.jdx"},
        {testpaths::exampleFile("wheat-pair.jdx"), "wheat-pair.jdx"},
        {testpaths::dataFile("import-two.jdx"), "hidden.jdx"}};
    for (const auto& [from, to] : files) fs::copy_file(from, folder_ + "\\" + to);
    SetFileAttributesA((folder_ + "\\hidden.jdx").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directory(folder_ + "\\X.JDX");
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
  }
  std::string fileName(uint32_t handle, int32_t index) {
    char name[1024] = {};
    return lib().getFileName(handle, index, name) == JCAMP_OK ? fs::path(name).filename().string()
                                                              : std::string();
  }
  // importDataUI's result while script drives the dialog from another thread
  // once it is up. Whatever the script leaves open (a message box, the
  // browser, the dialog) is cancelled after it, so that a failed check never
  // leaves the call waiting.
  int32_t importWithDialog(uint32_t handle, const std::function<void(HWND)>& script) {
    bool seen = false;
    std::thread driver([&] {
      const HWND dialog = waitForWindow(findImportDialog);
      seen = dialog != nullptr;
      if (dialog != nullptr) script(dialog);
      cancelWhatIsOpen();
    });
    const int32_t result = lib().importDataUI(handle);
    driver.join();
    EXPECT_TRUE(seen) << "the dialog never showed";
    return result;
  }
  std::string folder_;
};

TEST_F(DialogWineTest, OkImportsTheCompatibleChosenFilesInListOrder) {
  const uint32_t handle = openHandle();
  const int32_t result = importWithDialog(handle, [&](HWND dialog) {
    EXPECT_EQ(listLines(dialog),
              (std::vector<std::string>{"A|4|2|2", "b|4|2|3", "C|4|2|3", "wheat-a|10|2|1",
                                        "wheat-b|10|2|1", "wheat-pair|10|2|2"}));
    EXPECT_FALSE(isEnabled(dialog, IDOK));
    setSelection(dialog, 4, true);  // wheat-b, then wheat-a: list order wins
    setSelection(dialog, 3, true);
    setSelection(dialog, 0, true);  // A has other points: it does not stay
    EXPECT_EQ(selectedLines(dialog), (std::vector<int>{3, 4}));
    EXPECT_EQ(itemText(dialog, IDC_TITLE), "Two A");  // the caret's file, selected or not
    EXPECT_EQ(itemText(dialog, IDC_FORMAT), TEXT_FORMAT_XYDATA);
    setSelection(dialog, 4, true);  // caret back on a chosen file for the picture
    EXPECT_TRUE(isEnabled(dialog, IDOK));
    screenshot(dialog, "import-dialog.bmp");
    click(dialog, IDOK);
    waitUntilClosed(dialog);
  });
  ASSERT_EQ(result, JCAMP_OK);
  int32_t files = 0;
  ASSERT_EQ(lib().getNoOfFiles(handle, &files), JCAMP_OK);
  ASSERT_EQ(files, 2);
  EXPECT_EQ(fileName(handle, 0), "wheat-a.jdx");
  EXPECT_EQ(fileName(handle, 1), "wheat-b.jdx");
  EXPECT_EQ(sampleCount(handle), 2);
  EXPECT_EQ(variableCount(handle), 12);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(fs::path(current), fs::path(folder_));
}

TEST_F(DialogWineTest, CancelAnswers4100AndResetsTheCounts) {
  const uint32_t handle = openHandle();
  ASSERT_EQ(lib().addFileName(handle, testpaths::dataFile("import-two.jdx").c_str()), JCAMP_OK);
  ASSERT_EQ(lib().importData(handle), JCAMP_OK);
  const int32_t result = importWithDialog(handle, [&](HWND dialog) {
    EXPECT_FALSE(isEnabled(dialog, IDOK));
    setSelection(dialog, 3, true);
    setSelection(dialog, 3, false);
    EXPECT_FALSE(isEnabled(dialog, IDOK));
    click(dialog, IDCANCEL);
    waitUntilClosed(dialog);
  });
  EXPECT_EQ(result, JCAMP_NOT_READY);
  EXPECT_EQ(sampleCount(handle), 0);
  EXPECT_EQ(variableCount(handle), 0);
  int32_t files = 0;
  EXPECT_EQ(lib().getNoOfFiles(handle, &files), JCAMP_OK);
  EXPECT_EQ(files, 1);
}

// A host's timer or window procedure that runs while the dialog is up and
// calls into its handle gets JCAMP_BUSY at once; another handle answers.
TEST_F(DialogWineTest, CallsIntoTheHandleFromInsideTheDialogAreBusy) {
  DialogReentry probe;
  probe.lib = &lib();
  probe.handle = openHandle();
  probe.other = openHandle();
  ASSERT_EQ(lib().addFileName(probe.other, testpaths::dataFile("import-two.jdx").c_str()),
            JCAMP_OK);
  gReentry = &probe;
  SetTimer(nullptr, 0, 100, callIntoTheLibrary);
  const int32_t result = importWithDialog(probe.handle, [&](HWND dialog) {
    waitForWindow([&] { return probe.fired ? dialog : nullptr; });
    click(dialog, IDCANCEL);
    waitUntilClosed(dialog);
  });
  gReentry = nullptr;
  EXPECT_EQ(result, JCAMP_NOT_READY);
  ASSERT_TRUE(probe.fired);
  EXPECT_EQ(probe.ownCode, JCAMP_BUSY);
  EXPECT_EQ(probe.otherCode, JCAMP_OK);
}

TEST_F(DialogWineTest, LookInReportsAMissingFolderAndBrowseListsAnother) {
  const std::string other = testpaths::scratchDir() + "\\Other spectra";
  fs::create_directory(other);
  fs::copy_file(testpaths::exampleFile("wheat-a.jdx"), other + "\\only.jdx");
  const uint32_t handle = openHandle();
  const int32_t result = importWithDialog(handle, [&](HWND dialog) {
    // Browse: the path line follows the selection; OK lists that folder.
    click(dialog, IDC_BROWSE);
    const HWND browser = waitForWindow([] { return FindWindowA("#32770", "Browse for Folder"); });
    ASSERT_NE(browser, nullptr);
    // The path line appears once the browser has set itself up.
    const HWND pathLine =
        waitForWindow([browser] { return FindWindowExA(browser, nullptr, "Edit", nullptr); });
    const HWND shown = waitForWindow([&] {
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(other.c_str()));
      return fs::path(windowText(pathLine)) == fs::path(other) ? pathLine : nullptr;
    });
    EXPECT_NE(shown, nullptr) << "the path line reads " << windowText(pathLine);
    screenshot(browser, "folder-browser.bmp");
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
    waitUntilClosed(browser);
    EXPECT_EQ(listLines(dialog), (std::vector<std::string>{"only|10|2|1"}));
    EXPECT_EQ(fs::path(itemText(dialog, IDC_LOOK_IN)), fs::path(other));

    // A folder typed into Look In is checked when the focus moves to the list.
    SetDlgItemTextA(dialog, IDC_LOOK_IN, (folder_ + "\\none").c_str());
    const HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_LOOK_IN)),
                 TRUE);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    const HWND box = waitForWindow([dialog] { return findPopup(dialog); });
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(itemText(box, 0xFFFF), "Folder Not found");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    waitUntilClosed(box);
    EXPECT_FALSE(IsWindowEnabled(list));
    EXPECT_EQ(listLines(dialog).size(), 0u);
  });
  EXPECT_EQ(result, JCAMP_NOT_READY);
}

}  // namespace

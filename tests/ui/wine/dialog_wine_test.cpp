// importDataUI under Wine: the test's thread calls the export while a second
// thread reads and drives the dialog, then the result is checked through the
// exports. Screenshots go to JCAMP_SCREENSHOTS when it is set.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "support/library_fixture.h"
#include "ui/dialog_ids.h"

namespace {

namespace fs = std::filesystem;
using namespace dialogtest;

// What the driver saw; checked on the test's thread once the dialog is gone.
struct Seen {
  std::vector<std::string> lines;
  std::vector<int> selectedAfterGreyClick;
  std::vector<int> selectedAtOk;
  bool okAtStart = true;
  bool okWithSelection = false;
  bool okWithoutSelection = true;
  std::string title;
  std::string format;
  std::string message;
  std::string pathLine;
  std::vector<std::string> browsedLines;
  std::string browsedFolder;
  bool listEnabledAfterMessage = true;
  int linesAfterMessage = -1;
  bool screenshots = true;
};

void screenshot(HWND window, const char* name, Seen& seen) {
  const char* folder = std::getenv("JCAMP_SCREENSHOTS");
  if (folder == nullptr || *folder == '\0') return;
  seen.screenshots = seen.screenshots && saveScreenshot(window, std::string(folder) + "\\" + name);
}

class DialogWineTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    // Named as a user's folder would be: the screenshots show it.
    folder_ = testpaths::scratchDir() + "\\Spectra";
    fs::create_directory(folder_);
    copyData("import-two.jdx", "A.JDX");
    copyData("import-three.jdx", "b.dx");
    copyData("scan-linked.jdx", "C.jdx");
    for (const char* name : {"wheat-a.jdx", "wheat-b.jdx", "wheat-pair.jdx"}) {
      fs::copy_file(testpaths::exampleFile(name), folder_ + "\\" + name);
    }
    copyData("import-two.jdx", "hidden.jdx");
    SetFileAttributesA((folder_ + "\\hidden.jdx").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directory(folder_ + "\\X.JDX");
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
  }
  void copyData(const char* name, const char* as) {
    fs::copy_file(testpaths::dataFile(name), folder_ + "\\" + as);
  }
  std::string fileName(uint32_t handle, int32_t index) {
    char name[1024] = {};
    return lib().getFileName(handle, index, name) == JCAMP_OK ? fs::path(name).filename().string()
                                                              : std::string();
  }

  std::string folder_;
  const std::vector<std::string> expectedLines_ = {
      "A|4|2|2", "b|4|2|3", "C|4|2|3", "wheat-a|10|2|1", "wheat-b|10|2|1", "wheat-pair|10|2|2"};
};

TEST_F(DialogWineTest, OkImportsTheCompatibleChosenFilesInListOrder) {
  const uint32_t handle = openHandle();
  Seen seen;
  DialogDriver driver([&](HWND dialog) {
    seen.lines = listLines(dialog);
    seen.okAtStart = isEnabled(dialog, IDOK);
    setSelection(dialog, 4, true);  // wheat-b, then wheat-a: list order wins
    setSelection(dialog, 3, true);
    setSelection(dialog, 0, true);  // A has other points: it does not stay
    seen.selectedAfterGreyClick = selectedLines(dialog);
    seen.title = itemText(dialog, IDC_TITLE);
    seen.format = itemText(dialog, IDC_FORMAT);
    setSelection(dialog, 4, true);  // caret back on a chosen file for the picture
    seen.okWithSelection = isEnabled(dialog, IDOK);
    screenshot(dialog, "import-dialog.bmp", seen);
    seen.selectedAtOk = selectedLines(dialog);
    click(dialog, IDOK);
    waitUntilClosed(dialog);
  });
  const int32_t result = lib().importDataUI(handle);
  driver.join();
  ASSERT_TRUE(driver.dialogSeen()) << "the dialog never showed";
  EXPECT_EQ(seen.lines, expectedLines_);
  EXPECT_FALSE(seen.okAtStart);
  EXPECT_EQ(seen.selectedAfterGreyClick, (std::vector<int>{3, 4}));
  EXPECT_EQ(seen.title, "Two A");  // the caret's file, selected or not
  EXPECT_EQ(seen.format, TEXT_FORMAT_XYDATA);
  EXPECT_TRUE(seen.okWithSelection);
  EXPECT_TRUE(seen.screenshots);

  ASSERT_EQ(result, JCAMP_OK);
  int32_t files = 0;
  ASSERT_EQ(lib().getNoOfFiles(handle, &files), JCAMP_OK);
  ASSERT_EQ(files, 2);
  EXPECT_EQ(fileName(handle, 0), "wheat-a.jdx");
  EXPECT_EQ(fileName(handle, 1), "wheat-b.jdx");
  int32_t samples = 0;
  int32_t variables = 0;
  EXPECT_EQ(lib().getNumberOfSamples(handle, &samples), JCAMP_OK);
  EXPECT_EQ(lib().getNumberOfVariables(handle, &variables), JCAMP_OK);
  EXPECT_EQ(samples, 2);
  EXPECT_EQ(variables, 12);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(fs::path(current), fs::path(folder_));
}

TEST_F(DialogWineTest, CancelAnswers4100AndResetsTheCounts) {
  const uint32_t handle = openHandle();
  ASSERT_EQ(lib().addFileName(handle, testpaths::dataFile("import-two.jdx").c_str()), JCAMP_OK);
  ASSERT_EQ(lib().importData(handle), JCAMP_OK);
  Seen seen;
  DialogDriver driver([&](HWND dialog) {
    seen.okWithoutSelection = isEnabled(dialog, IDOK);
    setSelection(dialog, 3, true);
    setSelection(dialog, 3, false);
    seen.okWithoutSelection = seen.okWithoutSelection || isEnabled(dialog, IDOK);
    click(dialog, IDCANCEL);
    waitUntilClosed(dialog);
  });
  EXPECT_EQ(lib().importDataUI(handle), JCAMP_NOT_READY);
  driver.join();
  ASSERT_TRUE(driver.dialogSeen());
  EXPECT_FALSE(seen.okWithoutSelection);
  int32_t count = -1;
  EXPECT_EQ(lib().getNumberOfSamples(handle, &count), JCAMP_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(lib().getNumberOfVariables(handle, &count), JCAMP_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_OK);
  EXPECT_EQ(count, 1);
}

TEST_F(DialogWineTest, LookInReportsAMissingFolderAndBrowseListsAnother) {
  const std::string other = testpaths::scratchDir() + "\\Other spectra";
  fs::create_directory(other);
  fs::copy_file(testpaths::exampleFile("wheat-a.jdx"), other + "\\only.jdx");
  const uint32_t handle = openHandle();
  Seen seen;
  DialogDriver driver([&](HWND dialog) {
    // Browse: the path line follows the selection; OK lists that folder.
    click(dialog, IDC_BROWSE);
    const HWND browser = waitForWindow([] { return FindWindowA("#32770", "Browse for Folder"); });
    if (browser == nullptr) return;
    // The path line appears once the browser has set itself up.
    const HWND pathLine =
        waitForWindow([browser] { return FindWindowExA(browser, nullptr, "Edit", nullptr); });
    waitForWindow([&] {
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(other.c_str()));
      seen.pathLine = windowText(pathLine);
      return fs::path(seen.pathLine) == fs::path(other) ? pathLine : nullptr;
    });
    screenshot(browser, "folder-browser.bmp", seen);
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
    waitUntilClosed(browser);
    seen.browsedLines = listLines(dialog);
    seen.browsedFolder = itemText(dialog, IDC_LOOK_IN);

    // A folder typed into Look In is checked when the focus moves to the list.
    SetDlgItemTextA(dialog, IDC_LOOK_IN, (folder_ + "\\none").c_str());
    const HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_LOOK_IN)),
                 TRUE);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    const HWND box = waitForWindow([dialog] { return findPopup(dialog); });
    if (box == nullptr) return;
    seen.message = itemText(box, 0xFFFF);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    waitUntilClosed(box);
    seen.listEnabledAfterMessage = IsWindowEnabled(list) != FALSE;
    seen.linesAfterMessage = static_cast<int>(listLines(dialog).size());
  });
  EXPECT_EQ(lib().importDataUI(handle), JCAMP_NOT_READY);
  driver.join();
  ASSERT_TRUE(driver.dialogSeen());
  EXPECT_EQ(fs::path(seen.pathLine), fs::path(other));
  EXPECT_EQ(seen.browsedLines, (std::vector<std::string>{"only|10|2|1"}));
  EXPECT_EQ(fs::path(seen.browsedFolder), fs::path(other));
  EXPECT_EQ(seen.message, "Folder Not found");
  EXPECT_FALSE(seen.listEnabledAfterMessage);
  EXPECT_EQ(seen.linesAfterMessage, 0);
  EXPECT_TRUE(seen.screenshots);
}

}  // namespace

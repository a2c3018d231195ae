// importDataUI under Wine: the test's thread calls the export while a second
// thread reads and drives the dialog, checking what it shows as it goes; then
// the result is checked through the exports. Screenshots go to
// JCAMP_SCREENSHOTS when it is set.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "dialog_driver.h"
#include "support/library_fixture.h"
#include "ui/dialog_ids.h"

namespace {

namespace fs = std::filesystem;
using namespace dialogtest;

void screenshot(HWND window, const char* name) {
  const char* folder = std::getenv("JCAMP_SCREENSHOTS");
  if (folder != nullptr && *folder != '\0') {
    EXPECT_TRUE(saveScreenshot(window, std::string(folder) + "\\" + name)) << name;
  }
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
  std::string folder_;
};

TEST_F(DialogWineTest, OkImportsTheCompatibleChosenFilesInListOrder) {
  const uint32_t handle = openHandle();
  DialogDriver driver([&](HWND dialog) {
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
  const int32_t result = lib().importDataUI(handle);
  driver.join();
  ASSERT_TRUE(driver.dialogSeen()) << "the dialog never showed";
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
  DialogDriver driver([&](HWND dialog) {
    EXPECT_FALSE(isEnabled(dialog, IDOK));
    setSelection(dialog, 3, true);
    setSelection(dialog, 3, false);
    EXPECT_FALSE(isEnabled(dialog, IDOK));
    click(dialog, IDCANCEL);
    waitUntilClosed(dialog);
  });
  EXPECT_EQ(lib().importDataUI(handle), JCAMP_NOT_READY);
  driver.join();
  ASSERT_TRUE(driver.dialogSeen());
  EXPECT_EQ(sampleCount(handle), 0);
  EXPECT_EQ(variableCount(handle), 0);
  int32_t files = 0;
  EXPECT_EQ(lib().getNoOfFiles(handle, &files), JCAMP_OK);
  EXPECT_EQ(files, 1);
}

TEST_F(DialogWineTest, LookInReportsAMissingFolderAndBrowseListsAnother) {
  const std::string other = testpaths::scratchDir() + "\\Other spectra";
  fs::create_directory(other);
  fs::copy_file(testpaths::exampleFile("wheat-a.jdx"), other + "\\only.jdx");
  const uint32_t handle = openHandle();
  DialogDriver driver([&](HWND dialog) {
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
  EXPECT_EQ(lib().importDataUI(handle), JCAMP_NOT_READY);
  driver.join();
  ASSERT_TRUE(driver.dialogSeen());
}

}  // namespace

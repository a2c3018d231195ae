// The import dialog's rules behind a fake view: listing, selection,
// compatibility, OK, Browse and the typed folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/message_box.h"
#include "plugin/file_reading.h"
#include "support/jdx_text.h"
#include "support/test_paths.h"
#include "ui/import_dialog.h"
#include "ui/line_list.h"
#include "ui/split_path.h"

namespace jcamp::ui {
namespace {

namespace fs = std::filesystem;

class FakeView : public DialogView {
 public:
  int32_t addLine(const std::string& text, const JcampFileInfo* entry) override {
    return lines.add(text, entry);
  }
  void clearLines() override { lines.clear(); }
  int32_t lineCount() const override { return lines.size(); }
  const JcampFileInfo* lineEntry(int32_t line) const override {
    return static_cast<const JcampFileInfo*>(lines.data(line));
  }
  std::vector<int32_t> selectedLines() const override { return lines.selectedLines(); }
  void deselectLine(int32_t line) override { lines.setSelected(line, false); }
  int32_t caretLine() const override { return lines.caret(); }
  void repaintLines() override { ++repaints; }
  void enableLines(bool enabled) override { linesEnabled = enabled; }
  void enableOk(bool enabled) override { okEnabled = enabled; }
  void setInfoText(InfoField field, const std::string& text) override { info[field] = text; }
  void showFolder(const std::string& folder) override { typed = folder; }
  std::string typedFolder() const override { return typed; }
  void focusFolder() override { folderFocused = true; }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  bool browseForFolder(const std::string&, std::string& folder) override {
    if (browseAnswer.empty()) return false;
    folder = browseAnswer;
    return true;
  }
  void showWaitCursor(bool waiting) override { waitCursor = waiting; }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (int32_t i = 0; i < lines.size(); ++i) out.push_back(lines.text(i));
    return out;
  }
  // A click with Ctrl: the line's selection flips and the caret moves there.
  void ctrlClick(int32_t line) {
    lines.setSelected(line, !lines.selected(line));
    lines.setCaret(line);
  }
  // A plain click: the line alone is selected.
  void click(int32_t line) {
    for (int32_t i = 0; i < lines.size(); ++i) lines.setSelected(i, i == line);
    lines.setCaret(line);
  }

  LineList lines;
  std::map<InfoField, std::string> info;
  std::vector<std::string> messages;
  std::string typed;
  std::string browseAnswer;
  int repaints = 0;
  bool linesEnabled = true;
  bool okEnabled = true;
  bool folderFocused = false;
  bool waitCursor = false;
};

// A one-block spectrum of a lab's, with one concentration per name.
std::string spectrum(const std::string& title, const std::string& firstX, const std::string& lastX,
                     int points = 4, const std::vector<std::string>& concentrations = {"water"}) {
  std::string header = concentrations.empty() ? "" : "##CONCENTRATIONS=(NCU)\n";
  for (const std::string& name : concentrations) header += "(" + name + ", 1, %)\n";
  std::string data = firstX;
  for (int i = 1; i <= points; ++i) data += " " + std::to_string(i);
  return jdxtext::spectrum(title, firstX, lastX, data, "##ORIGIN=lab\n##OWNER=us\n" + header,
                           points);
}

class ImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testpaths::scratchDir();
    previousDirectory_ = platform::currentDirectory();
    platform::setMessageBoxHandler(
        [](const char* text, uint32_t, void* context) {
          static_cast<std::vector<std::string>*>(context)->push_back(text);
          return 1;
        },
        &boxes_);
  }
  void TearDown() override {
    platform::setMessageBoxHandler(nullptr, nullptr);
    platform::setCurrentDirectory(previousDirectory_);
  }
  std::string write(const std::string& name, const std::string& text) {
    return testpaths::writeFile(folder_ + "/" + name, text);
  }
  // a, b and c agree; d has other points, e another LASTX, f another
  // concentration name, g a FIRSTX of the same whole number, h no concentrations.
  void writeSelectionSet() {
    write("a.jdx", spectrum("A", "900", "600"));
    write("b.jdx", spectrum("B", "900", "600"));
    write("c.jdx", spectrum("C", "900", "600"));
    write("d.jdx", spectrum("D", "900", "600", 5));
    write("e.jdx", spectrum("E", "900", "601"));
    write("f.jdx", spectrum("F", "900", "600", 4, {"fat"}));
    write("g.jdx", spectrum("G", "900.9", "600"));
    write("h.jdx", spectrum("H", "900", "600", 4, {}));
  }

  std::string folder_;
  std::string previousDirectory_;
  std::vector<std::string> boxes_;
  FakeView view_;
  // The import's own trial read, as the importer hands it to the dialog.
  const TrialRead trialRead_ = [](const JcampImportDialog::Entries& chosen) {
    readAsTrial(chosen, kHostCompatibleRules);
  };
};

TEST_F(ImportDialogTest, ListsReadableJcampFilesSortedWithTheirCounts) {
  write("A.JDX", spectrum("A", "900", "600"));
  write("b.dx", spectrum("B", "900", "600", 5, {"water", "fat"}));
  write("C.jdx", spectrum("C", "900", "600", 4, {}));
  write("RUN.1.JDX", spectrum("S", "900", "600"));
  write("D.JDX.bak", spectrum("D", "900", "600"));
  write(".hidden.jdx", spectrum("H", "900", "600"));
  write("broken.jdx", "no labels here\n");
  fs::create_directory(folder_ + "/X.JDX");
  for (const std::string& folder : {folder_, folder_ + platform::kPathSeparator}) {
    JcampImportDialog dialog(view_, kHostCompatibleRules, trialRead_, folder);
    dialog.initialise();
    EXPECT_EQ(view_.names(),
              (std::vector<std::string>{"A|4|1|1", "b|5|2|1", "C|4|0|1", "RUN.1|4|1|1"}));
    EXPECT_FALSE(view_.okEnabled);
    EXPECT_FALSE(view_.waitCursor);
    EXPECT_EQ(view_.typed, folder);
  }
  JcampImportDialog missing(view_, kHostCompatibleRules, trialRead_, folder_ + "/none");
  missing.initialise();
  EXPECT_EQ(view_.lineCount(), 0);
  EXPECT_TRUE(view_.messages.empty());
}

// In the standard mode an NTUPLES file is listed: a sample per page, the
// points of its first page, its format.
TEST_F(ImportDialogTest, TheStandardModeListsNtuplesFilesByTheirPages) {
  write("N.JDX",
        "##TITLE=N\n##DATA TYPE=NMR SPECTRUM\n##NTUPLES=NMR SPECTRUM\n##SYMBOL=X, R, I, N\n"
        "##VAR_DIM=4, 4, 4, 2\n##FIRST=40, 10, 40, 1\n##LAST=10, 40, 10, 2\n"
        "##PAGE=N=1\n##DATA TABLE=(X++(R..R)), XYDATA\n4 10 20 30 40\n"
        "##PAGE=N=2\n##DATA TABLE=(X++(I..I)), XYDATA\n4 40 30 20 10\n##END=\n");
  for (const bool standard : {false, true}) {
    JcampImportDialog dialog(view_, standard ? kStandardRules : kHostCompatibleRules, trialRead_,
                             folder_);
    dialog.initialise();
    EXPECT_EQ(view_.names(),
              standard ? std::vector<std::string>{"N|4|0|2"} : std::vector<std::string>{});
    if (!standard) continue;
    view_.click(0);
    dialog.onSelectionChange();
    EXPECT_EQ(view_.info[InfoField::kDataFormat], TEXT_FORMAT_NTUPLES);
  }
}

TEST_F(ImportDialogTest, SelectionKeepsOnlyFilesCompatibleWithTheReference) {
  writeSelectionSet();
  JcampImportDialog dialog(view_, kHostCompatibleRules, trialRead_, folder_);
  dialog.initialise();
  ASSERT_EQ(view_.lineCount(), 8);
  view_.click(0);  // a: the reference
  dialog.onSelectionChange();
  EXPECT_TRUE(view_.okEnabled);
  EXPECT_EQ(view_.info[InfoField::kTitle], "A");
  EXPECT_EQ(view_.info[InfoField::kOrigin], "lab");
  EXPECT_EQ(view_.info[InfoField::kOwner], "us");
  EXPECT_EQ(view_.info[InfoField::kDataFormat], TEXT_FORMAT_XYDATA);
  const std::map<std::string, bool> compatible = {{"a", true},  {"b", true},  {"c", true},
                                                  {"d", false}, {"e", false}, {"f", false},
                                                  {"g", true},  {"h", false}};
  for (int32_t line = 1; line < view_.lineCount(); ++line) {
    const std::string name = view_.lines.text(line).substr(0, 1);
    view_.ctrlClick(line);
    dialog.onSelectionChange();
    EXPECT_EQ(view_.lines.selected(line), compatible.at(name)) << name;
    EXPECT_EQ(view_.info[InfoField::kTitle], std::string(1, static_cast<char>(name[0] - 32)));
  }
  EXPECT_EQ(view_.selectedLines(), (std::vector<int32_t>{0, 1, 2, 6}));
  EXPECT_GT(view_.repaints, 0);

  // Deselecting the reference while others stay keeps it.
  view_.ctrlClick(0);
  dialog.onSelectionChange();
  ASSERT_NE(dialog.referenceFile(), nullptr);
  EXPECT_EQ(dialog.referenceFile()->title, "A");
  // A plain click on a grey file makes it the reference.
  view_.click(3);
  dialog.onSelectionChange();
  EXPECT_EQ(dialog.referenceFile()->title, "D");
  EXPECT_FALSE(dialog.isCompatible(*view_.lineEntry(0)));
  // Nothing selected: no reference, OK off, the caret's file still shown.
  view_.ctrlClick(3);
  dialog.onSelectionChange();
  EXPECT_EQ(dialog.referenceFile(), nullptr);
  EXPECT_FALSE(view_.okEnabled);
  EXPECT_EQ(view_.info[InfoField::kTitle], "D");
}

TEST_F(ImportDialogTest, OkHandsOverTheChosenFilesInListOrderAndMovesTheCurrentDirectory) {
  writeSelectionSet();
  JcampImportDialog dialog(view_, kHostCompatibleRules, trialRead_, folder_);
  dialog.initialise();
  for (const int32_t line : {2, 0, 1}) {
    view_.ctrlClick(line);
    dialog.onSelectionChange();
  }
  // A chosen file that can no longer be read is reported by the trial read.
  fs::remove(folder_ + "/b.jdx");
  dialog.onOk();
  std::vector<std::string> chosen;
  for (const auto& entry : dialog.chosenFiles()) chosen.push_back(entry->title);
  EXPECT_EQ(chosen, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(fs::canonical(platform::currentDirectory()), fs::canonical(folder_));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("b.jdx"), std::string::npos);
  // The lines that were not chosen still own their entries.
  EXPECT_EQ(view_.lineEntry(3)->title, "D");
}

// Browse refills the list from the chosen folder (a cancel changes nothing);
// a typed folder is listed, or reported, when the check runs.
TEST_F(ImportDialogTest, AnotherFolderIsListedOrReported) {
  write("a.jdx", spectrum("A", "900", "600"));
  const std::string other = testpaths::scratchDir();
  testpaths::writeFile(other + "/x.jdx", spectrum("X", "900", "600"));
  testpaths::writeFile(other + "/y.jdx", spectrum("Y", "900", "600"));
  JcampImportDialog dialog(view_, kHostCompatibleRules, trialRead_, folder_);
  dialog.initialise();
  EXPECT_EQ(dialog.runPendingCheck(), kCheckDone);  // nothing pending
  view_.click(0);
  dialog.onSelectionChange();
  dialog.onBrowse();  // cancelled
  EXPECT_EQ(view_.names(), (std::vector<std::string>{"a|4|1|1"}));
  EXPECT_EQ(view_.selectedLines(), (std::vector<int32_t>{0}));
  view_.browseAnswer = other;
  dialog.onBrowse();
  EXPECT_EQ(view_.names(), (std::vector<std::string>{"x|4|1|1", "y|4|1|1"}));
  EXPECT_EQ(dialog.folder(), other);
  EXPECT_EQ(view_.typed, other);
  EXPECT_FALSE(view_.okEnabled);
  EXPECT_EQ(view_.info[InfoField::kTitle], "");
  EXPECT_EQ(dialog.referenceFile(), nullptr);

  const std::pair<std::string, const char*> typed[] = {{"", kNoFolderGiven},
                                                       {folder_ + "/none", kFolderNotFound},
                                                       {other, nullptr},
                                                       {folder_, nullptr}};
  for (const auto& [folder, message] : typed) {  // message null: the folder is listed
    view_.messages.clear();
    view_.folderFocused = false;
    view_.typed = folder;
    dialog.setPendingCheck(IDC_LOOK_IN);
    EXPECT_EQ(dialog.runPendingCheck(), kCheckDone);
    EXPECT_EQ(dialog.folder(), folder);
    EXPECT_EQ(view_.lineCount(), message ? 0 : folder == other ? 2 : 1) << folder;
    EXPECT_EQ(view_.linesEnabled, message == nullptr) << folder;
    EXPECT_EQ(view_.folderFocused, message != nullptr) << folder;
    EXPECT_EQ(view_.messages,
              message ? std::vector<std::string>{message} : std::vector<std::string>{});
  }
  // The same folder typed again is not listed again.
  view_.click(0);
  dialog.setPendingCheck(IDC_LOOK_IN);
  dialog.runPendingCheck();
  EXPECT_EQ(view_.selectedLines(), (std::vector<int32_t>{0}));
}

TEST(SplitPathTest, KeepsTheAskedParts) {
  struct Case {
    const char* path;
    bool directory, name, extension;
    const char* result;
  };
  const Case cases[] = {
      {"C:\\data\\RUN.1.JDX", false, true, false, "RUN.1"},
      {"C:\\data\\RUN.1.JDX", true, true, false, "C:\\data\\RUN.1"},
      {"C:\\data\\RUN.1.JDX", true, false, false, "C:\\data"},
      {"C:\\data\\RUN.1.JDX", false, false, true, ".JDX"},
      {"C:\\data.d\\name", false, true, true, "name"},
      {"name.jdx", true, true, true, "name.jdx"},
  };
  for (const Case& c : cases) {
    std::string path = c.path;
    EXPECT_TRUE(splitPath(path, c.directory, c.name, c.extension, '\\'));
    EXPECT_EQ(path, c.result) << c.path;
  }
  std::string empty;
  EXPECT_FALSE(splitPath(empty, true, true, true, '\\'));
}

TEST(LineListTest, SortsWithoutRegardToCaseAndKeepsTheCaretInside) {
  LineList lines;
  for (const char* text : {"b|1", "C|1", "a|1", "B|2"}) lines.add(text, nullptr);
  std::vector<std::string> order;
  for (int32_t i = 0; i < lines.size(); ++i) order.push_back(lines.text(i));
  EXPECT_EQ(order, (std::vector<std::string>{"a|1", "b|1", "B|2", "C|1"}));
  lines.setCaret(9);
  EXPECT_EQ(lines.caret(), 3);
  lines.clear();
  EXPECT_EQ(lines.caret(), -1);
}

}  // namespace
}  // namespace jcamp::ui

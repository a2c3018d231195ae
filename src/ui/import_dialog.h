// The import dialog's rules: which files a folder lists, which of them may be
// selected together, and what OK hands over. Drawn by a skin through DialogView.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "labels/reading_rules.h"
#include "scan/jcamp_file_info.h"
#include "ui/canvas.h"
#include "ui/dialog_view.h"
#include "ui/markup_columns.h"
#include "ui/run_import_dialog.h"

namespace jcamp::ui {

constexpr char kFilePattern[] = "*.JDX;*.DX";
constexpr char kBrowseTitle[] = "Select the folder where you want to search for JCAMP files";
constexpr char kNoFolderGiven[] = "No Folder Given";
constexpr char kFolderNotFound[] = "Folder Not found";

// Result of running the pending check.
constexpr int32_t kCheckDone = 1;
constexpr int32_t kCheckBusy = -1;

// The line of a listed file: its base name, then "|%ld" for its X, Y and sample counts.
std::string lineText(const JcampFileInfo& entry);

class JcampImportDialog {
 public:
  using Entries = std::vector<std::unique_ptr<JcampFileInfo>>;

  // Opens on folder (the process's current directory when the host starts it).
  JcampImportDialog(DialogView& view, const ReadingRules& rules, TrialRead trialRead,
                    std::string folder);

  // Once the controls exist: OK off, the folder shown, its files listed.
  void initialise();
  // Lists the files of folder that match pattern ("*.JDX;*.DX") and whose
  // header scan succeeds; the selection, reference and fields start afresh.
  void fillFileList(std::string folder, const std::string& pattern);
  void clearFileList();
  void onBrowse();
  void onSelectionChange();
  // Whether entry may be imported with the reference file.
  bool isCompatible(const JcampFileInfo& entry) const;
  // Moves the compatible selected entries to the chosen files in list order,
  // makes the folder the current directory and reads the chosen files once
  // as a trial, so that a file that cannot be read is reported now.
  void onOk();

  // The check of a typed folder, armed when the Look-In field loses the
  // focus and run when the list or an information field gains it.
  void setPendingCheck(int32_t controlId) { pendingControl_ = controlId; }
  int32_t runPendingCheck();
  // Acts on the folder typed into the Look-In field.
  void checkTypedFolder();

  // Paints one list line (its text and entry) in [left, right) x [top, bottom),
  // in the colours its selection and its file's compatibility give.
  void paintLine(const std::string& text, const JcampFileInfo* entry, bool selected, int32_t left,
                 int32_t top, int32_t right, int32_t bottom, Canvas& canvas);

  MarkupColumns& columns() { return columns_; }
  const std::string& folder() const { return folder_; }
  const JcampFileInfo* referenceFile() const { return reference_; }
  Entries& chosenFiles() { return chosen_; }

 private:
  void showInformation(const JcampFileInfo* entry);

  DialogView& view_;
  const ReadingRules rules_;
  const TrialRead trialRead_;
  std::string folder_;
  const JcampFileInfo* reference_ = nullptr;
  Entries listed_;  // the entries of the list's lines, owned here for them
  Entries chosen_;
  MarkupColumns columns_;
  int32_t pendingControl_ = 0;
  bool checking_ = false;
};

}  // namespace jcamp::ui

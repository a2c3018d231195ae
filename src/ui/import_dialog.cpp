#include "ui/import_dialog.h"

#include <algorithm>
#include <cstring>

#include "document/row_model.h"
#include "platform/folders.h"
#include "scan/jcamp_reader.h"
#include "ui/split_path.h"

namespace jcamp::ui {
namespace {

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  explicit WaitCursor(DialogView& view) : view_(view) { view_.showWaitCursor(true); }
  ~WaitCursor() { view_.showWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  DialogView& view_;
};

// The parts of a ";"-separated pattern, up to the first empty one.
std::vector<std::string> patternParts(const std::string& pattern) {
  std::vector<std::string> parts;
  size_t begin = 0;
  while (begin <= pattern.size()) {
    size_t end = pattern.find(';', begin);
    if (end == std::string::npos) end = pattern.size();
    if (end == begin) break;
    parts.push_back(pattern.substr(begin, end - begin));
    begin = end + 1;
  }
  return parts;
}

}  // namespace

std::string lineText(const JcampFileInfo& entry) {
  std::string text = entry.path;
  splitPath(text, false, true, false);
  for (const int32_t count : {entry.xCount, entry.yCount, entry.sampleCount}) {
    text += '|';
    text += std::to_string(count);
  }
  return text;
}

JcampImportDialog::JcampImportDialog(DialogView& view, const ReadingRules& rules,
                                     TrialRead trialRead, std::string folder)
    : view_(view), rules_(rules), trialRead_(std::move(trialRead)), folder_(std::move(folder)) {}

void JcampImportDialog::initialise() {
  view_.enableOk(false);
  view_.showFolder(folder_);
  fillFileList(folder_, kFilePattern);
}

void JcampImportDialog::fillFileList(std::string folder, const std::string& pattern) {
  // One reader measures every file of the listing.
  JcampReader reader(rules_, RowModel::of(rules_).firstSample());
  WaitCursor wait(view_);
  clearFileList();
  if (folder.empty() || folder.back() != platform::kPathSeparator) {
    folder += platform::kPathSeparator;
  }
  for (const std::string& part : patternParts(pattern)) {
    for (const std::string& name : platform::findFiles(folder, part)) {
      auto entry = std::make_unique<JcampFileInfo>(folder + name);
      reader.entry = entry.get();
      if (reader.scanHeader() != kStatusOk) continue;
      view_.addLine(lineText(*entry), entry.get());
      listed_.push_back(std::move(entry));
    }
  }
  reader.entry = nullptr;
}

void JcampImportDialog::clearFileList() {
  view_.clearLines();
  listed_.clear();
  showInformation(nullptr);
  view_.enableOk(false);
  reference_ = nullptr;
}

void JcampImportDialog::onBrowse() {
  std::string chosen;
  if (!view_.browseForFolder(kBrowseTitle, chosen)) return;
  folder_ = chosen;
  view_.showFolder(folder_);
  fillFileList(folder_, kFilePattern);
}

void JcampImportDialog::onSelectionChange() {
  const std::vector<int32_t> selected = view_.selectedLines();
  view_.enableOk(!selected.empty());
  if (selected.empty()) {
    reference_ = nullptr;
  } else if (reference_ == nullptr || selected.size() == 1) {
    reference_ = view_.lineEntry(selected.front());
  }
  const int32_t caret = view_.caretLine();
  if (caret >= 0 && caret < view_.lineCount()) showInformation(view_.lineEntry(caret));
  for (const int32_t line : selected) {
    const JcampFileInfo* entry = view_.lineEntry(line);
    if (entry != nullptr && !isCompatible(*entry)) view_.deselectLine(line);
  }
  view_.repaintLines();
}

void JcampImportDialog::showInformation(const JcampFileInfo* entry) {
  if (entry == nullptr) {
    for (const InfoField field :
         {InfoField::kTitle, InfoField::kOrigin, InfoField::kOwner, InfoField::kDataFormat}) {
      view_.setInfoText(field, std::string());
    }
    return;
  }
  view_.setInfoText(InfoField::kTitle, entry->title);
  view_.setInfoText(InfoField::kOrigin, entry->origin);
  view_.setInfoText(InfoField::kOwner, entry->owner);
  // A listed file has one of the two table forms, or (standard mode) NTUPLES pages.
  std::string format;
  if (entry->tableKind == kTableKindXyData) format = view_.resourceText(IDS_FORMAT_XYDATA);
  if (entry->tableKind == kTableKindXyPoints) format = view_.resourceText(IDS_FORMAT_XYPOINTS);
  if (entry->tableKind == kTableKindNTuples) format = view_.resourceText(IDS_FORMAT_NTUPLES);
  view_.setInfoText(InfoField::kDataFormat, format);
}

bool JcampImportDialog::isCompatible(const JcampFileInfo& entry) const {
  if (reference_ == nullptr) return true;
  const JcampFileInfo& reference = *reference_;
  if (entry.xCount != reference.xCount || entry.yCount != reference.yCount ||
      entry.firstX != reference.firstX || entry.lastX != reference.lastX) {
    return false;
  }
  const size_t names = std::min(entry.yNames.size(), reference.yNames.size());
  for (size_t i = 0; i < names; ++i) {
    if (std::strcmp(entry.yNames[i].c_str(), reference.yNames[i].c_str()) != 0) return false;
  }
  return true;
}

void JcampImportDialog::onOk() {
  for (const int32_t line : view_.selectedLines()) {
    const JcampFileInfo* entry = view_.lineEntry(line);
    if (entry == nullptr || !isCompatible(*entry)) continue;
    const auto owned = std::find_if(listed_.begin(), listed_.end(),
                                    [&](const auto& listed) { return listed.get() == entry; });
    if (owned == listed_.end()) continue;
    chosen_.push_back(std::move(*owned));
    listed_.erase(owned);
  }
  // The next dialog opens where this one ended.
  platform::setCurrentDirectory(folder_);
  if (trialRead_) trialRead_(chosen_);
}

int32_t JcampImportDialog::runPendingCheck() {
  if (checking_) return kCheckBusy;
  const int32_t control = pendingControl_;
  pendingControl_ = 0;
  if (control != IDC_LOOK_IN) return kCheckDone;
  checking_ = true;
  checkTypedFolder();
  checking_ = false;
  return kCheckDone;
}

void JcampImportDialog::checkTypedFolder() {
  const std::string typed = view_.typedFolder();
  if (platform::isDirectory(typed)) {
    if (!platform::sameFolderName(typed, folder_)) {
      view_.enableLines(true);
      fillFileList(typed, kFilePattern);
    }
  } else {
    view_.enableLines(false);
    clearFileList();
    view_.showMessage(typed.empty() ? kNoFolderGiven : kFolderNotFound);
    view_.focusFolder();
  }
  folder_ = typed;
}

void JcampImportDialog::paintLine(const std::string& text, const JcampFileInfo* entry,
                                  bool selected, int32_t left, int32_t top, int32_t right,
                                  int32_t bottom, Canvas& canvas) {
  const bool compatible = entry == nullptr || isCompatible(*entry);
  const Colour back =
      canvas.systemColour(selected && compatible ? kColourHighlight : kColourWindow);
  Colour fore = kGrey;
  if (compatible) fore = canvas.systemColour(selected ? kColourHighlightText : kColourWindowText);
  canvas.fillRect(left, top, right, bottom, back);
  canvas.setBackColour(back);
  canvas.setTextColour(fore);
  columns_.paintLine(left, top, text, canvas);
}

}  // namespace jcamp::ui

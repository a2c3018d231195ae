// What the import dialog's logic asks of a window system: the controls of the
// dialog as one small interface, so the same rules run behind a Win32 dialog,
// a terminal screen and the tests' fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/jcamp_file_info.h"
#include "ui/dialog_ids.h"

namespace jcamp::ui {

// The read-only information fields under the list.
enum class InfoField { kTitle, kOrigin, kOwner, kDataFormat };

class DialogView {
 public:
  virtual ~DialogView() = default;

  // The file list: sorted lines, each with its file's entry as item data.
  virtual int32_t addLine(const std::string& text, const JcampFileInfo* entry) = 0;
  virtual void clearLines() = 0;
  virtual int32_t lineCount() const = 0;
  virtual const JcampFileInfo* lineEntry(int32_t line) const = 0;
  virtual std::vector<int32_t> selectedLines() const = 0;  // ascending
  virtual void deselectLine(int32_t line) = 0;
  virtual int32_t caretLine() const = 0;  // -1: none
  // Repaints every line at once (their colours depend on the reference).
  virtual void repaintLines() = 0;
  virtual void enableLines(bool enabled) = 0;

  virtual void enableOk(bool enabled) = 0;
  virtual void setInfoText(InfoField field, const std::string& text) = 0;
  // The Look-In field: shows folder (all of it selected), or what was typed.
  virtual void showFolder(const std::string& folder) = 0;
  virtual std::string typedFolder() const = 0;
  virtual void focusFolder() = 0;

  // A message with an exclamation mark and an OK button; returns when answered.
  virtual void showMessage(const std::string& text) = 0;
  // Lets the user pick a folder; false when cancelled.
  virtual bool browseForFolder(const std::string& title, std::string& folder) = 0;
  virtual void showWaitCursor(bool waiting) = 0;

  // The text of a string resource (IDS_FORMAT_XYDATA, IDS_FORMAT_XYPOINTS, IDS_FORMAT_NTUPLES).
  virtual std::string resourceText(int32_t id) const {
    if (id == IDS_FORMAT_XYDATA) return TEXT_FORMAT_XYDATA;
    if (id == IDS_FORMAT_XYPOINTS) return TEXT_FORMAT_XYPOINTS;
    if (id == IDS_FORMAT_NTUPLES) return TEXT_FORMAT_NTUPLES;
    return std::string();
  }
};

}  // namespace jcamp::ui

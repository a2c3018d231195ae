// The owner-drawn list box of a dialog, subclassed to draw its lines from
// their mark-up and to tell the dialog when it gains the focus.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/markup_columns.h"

namespace jcamp::ui {

// Sent to the dialog when the list gains the focus: run the pending check.
constexpr UINT kRecordPendingCheck = WM_USER + 1300;
constexpr UINT kRunPendingCheck = WM_USER + 1301;

class MarkupListBox {
 public:
  static constexpr UINT kItemHeight = 14;

  explicit MarkupListBox(MarkupColumns& columns) : columns_(columns) {}
  ~MarkupListBox();
  MarkupListBox(const MarkupListBox&) = delete;
  MarkupListBox& operator=(const MarkupListBox&) = delete;

  // Binds to the dialog's list control; every column end becomes its client
  // width minus 2. Comes before the columns are added.
  void attachToControl(int controlId, HWND dialog);
  void addColumnAtControl(int controlId, int32_t offset, bool inDialogUnits);
  void setLastColumnEndAtControl(int controlId, int32_t offset, bool inDialogUnits);
  // The left edge of the dialog's control, relative to the list's, plus offset.
  int32_t controlOffset(int controlId, int32_t offset, bool inDialogUnits) const;

  // The class's own painting of a line, for lines the dialog leaves to it.
  void drawItem(DRAWITEMSTRUCT& item);
  HWND window() const { return list_; }

 private:
  static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  MarkupColumns& columns_;
  HWND list_ = nullptr;
  HWND dialog_ = nullptr;
  WNDPROC previousProc_ = nullptr;
};

}  // namespace jcamp::ui

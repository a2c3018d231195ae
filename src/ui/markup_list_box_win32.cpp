#include "ui/markup_list_box_win32.h"

#include <string>

#include "ui/gdi_canvas_win32.h"

namespace jcamp::ui {
namespace {

constexpr char kInstanceProperty[] = "jcampimport.MarkupListBox";
constexpr int32_t kTextInset = 2;

std::string lineText(HWND list, UINT item) {
  if (item == static_cast<UINT>(-1)) return std::string();
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, item, 0);
  if (length == LB_ERR || length < 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

MarkupListBox::~MarkupListBox() {
  if (list_ != nullptr && IsWindow(list_)) {
    SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    RemovePropA(list_, kInstanceProperty);
  }
}

void MarkupListBox::attachToControl(int controlId, HWND dialog) {
  dialog_ = dialog;
  list_ = GetDlgItem(dialog, controlId);
  if (list_ == nullptr) return;
  SetPropA(list_, kInstanceProperty, this);
  previousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassProc)));
  RECT client{};
  GetClientRect(list_, &client);
  columns_.setClientWidth(client.right);
}

int32_t MarkupListBox::controlOffset(int controlId, int32_t offset, bool inDialogUnits) const {
  RECT control{};
  RECT list{};
  GetWindowRect(GetDlgItem(dialog_, controlId), &control);
  GetWindowRect(list_, &list);
  if (offset != 0 && inDialogUnits) offset = LOWORD(GetDialogBaseUnits()) * offset / 4;
  return control.left - list.left + offset;
}

void MarkupListBox::addColumnAtControl(int controlId, int32_t offset, bool inDialogUnits) {
  columns_.addColumn(controlOffset(controlId, offset, inDialogUnits));
}

void MarkupListBox::setLastColumnEndAtControl(int controlId, int32_t offset, bool inDialogUnits) {
  columns_.setLastColumnEnd(controlOffset(controlId, offset, inDialogUnits));
}

void MarkupListBox::drawItem(DRAWITEMSTRUCT& item) {
  const std::string text = lineText(list_, item.itemID);
  const bool enabled = IsWindowEnabled(list_) != FALSE;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  bool paint = true;
  Colour back = GetSysColor(COLOR_WINDOW);
  Colour fore = enabled ? GetSysColor(COLOR_WINDOWTEXT) : kGrey;
  Colour outline = back;
  if (selected) {
    if (enabled) {
      back = outline = GetSysColor(COLOR_HIGHLIGHT);
      fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if ((item.itemState & ODS_DISABLED) != 0) {
      outline = kGrey;
    }
  } else {
    paint = (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0;
  }
  const HDC dc = item.hDC;
  if (paint) {
    const HPEN pen = CreatePen(PS_SOLID, 0, outline);
    const HBRUSH brush = CreateSolidBrush(back);
    const HGDIOBJ previousPen = SelectObject(dc, pen);
    const HGDIOBJ previousBrush = SelectObject(dc, brush);
    if (item.rcItem.left > 0) InflateRect(&item.rcItem, 1, 1);
    Rectangle(dc, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
    SetBkColor(dc, back);
    SetTextColor(dc, fore);
    GdiCanvas canvas(dc, static_cast<int32_t>(SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0)));
    columns_.paintLine(item.rcItem.left + kTextInset, item.rcItem.top + kTextInset, text, canvas);
    SelectObject(dc, previousPen);
    SelectObject(dc, previousBrush);
    DeleteObject(pen);
    DeleteObject(brush);
  }
  if ((item.itemState & ODS_FOCUS) != 0) {
    DrawFocusRect(dc, &item.rcItem);
  } else if (!paint) {
    // Takes away the focus rectangle an earlier paint left.
    FrameRect(dc, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
  }
}

LRESULT CALLBACK MarkupListBox::subclassProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  auto* self = static_cast<MarkupListBox*>(GetPropA(window, kInstanceProperty));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  const WNDPROC previous = self->previousProc_;
  if (message == WM_SETFOCUS) {
    const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    SendMessageA(GetParent(window), kRunPendingCheck, 0, 0);
    return result;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kInstanceProperty);
    self->list_ = nullptr;
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace jcamp::ui

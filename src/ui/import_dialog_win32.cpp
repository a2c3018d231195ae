// The import dialog as a Win32 dialog: resource IDD_JCAMP_IMPORT of this
// module, its list drawn by the mark-up list box.
#include <objbase.h>
#include <windows.h>

#include "platform/folders.h"
#include "ui/dialog_ids.h"
#include "ui/folder_browser_win32.h"
#include "ui/gdi_canvas_win32.h"
#include "ui/import_dialog.h"
#include "ui/markup_list_box_win32.h"
#include "ui/run_import_dialog.h"

namespace jcamp::ui {
namespace {

constexpr char kCaption[] = "JCAMP-DX Import";
constexpr int kInfoFieldIds[] = {IDC_TITLE, IDC_ORIGIN, IDC_OWNER, IDC_FORMAT};
constexpr int kResourceTextCapacity = 256;

// This module, whose resources hold the dialog.
HINSTANCE moduleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&moduleInstance), &module);
  return module;
}

// COM on the thread that shows the dialog, for the shell's folder browser,
// when the host has not set the thread up already.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

class Win32Dialog : public DialogView {
 public:
  Win32Dialog(const ReadingRules& rules, const TrialRead& trialRead)
      : logic_(*this, rules, trialRead, platform::currentDirectory()), list_(logic_.columns()) {}

  static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  JcampImportDialog& logic() { return logic_; }

  int32_t addLine(const std::string& text, const JcampFileInfo* entry) override {
    const auto line = static_cast<int32_t>(
        SendMessageA(listWindow(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (line >= 0) {
      SendMessageA(listWindow(), LB_SETITEMDATA, static_cast<WPARAM>(line),
                   reinterpret_cast<LPARAM>(entry));
    }
    return line;
  }
  void clearLines() override { SendMessageA(listWindow(), LB_RESETCONTENT, 0, 0); }
  int32_t lineCount() const override {
    return static_cast<int32_t>(SendMessageA(listWindow(), LB_GETCOUNT, 0, 0));
  }
  const JcampFileInfo* lineEntry(int32_t line) const override {
    const LRESULT data = SendMessageA(listWindow(), LB_GETITEMDATA, static_cast<WPARAM>(line), 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<const JcampFileInfo*>(data);
  }
  std::vector<int32_t> selectedLines() const override {
    const LRESULT count = SendMessageA(listWindow(), LB_GETSELCOUNT, 0, 0);
    std::vector<int> lines(count > 0 ? static_cast<size_t>(count) : 0);
    if (lines.empty()) return {};
    const LRESULT got = SendMessageA(listWindow(), LB_GETSELITEMS, static_cast<WPARAM>(count),
                                     reinterpret_cast<LPARAM>(lines.data()));
    // Only when every position came back.
    if (got != count) return {};
    return std::vector<int32_t>(lines.begin(), lines.end());
  }
  void deselectLine(int32_t line) override {
    SendMessageA(listWindow(), LB_SETSEL, FALSE, static_cast<LPARAM>(line));
  }
  int32_t caretLine() const override {
    return static_cast<int32_t>(SendMessageA(listWindow(), LB_GETCARETINDEX, 0, 0));
  }
  void repaintLines() override {
    InvalidateRect(listWindow(), nullptr, FALSE);
    UpdateWindow(listWindow());
  }
  void enableLines(bool enabled) override { EnableWindow(listWindow(), enabled); }
  void enableOk(bool enabled) override { EnableWindow(GetDlgItem(dialog_, IDOK), enabled); }
  void setInfoText(InfoField field, const std::string& text) override {
    SetDlgItemTextA(dialog_, kInfoFieldIds[static_cast<int>(field)], text.c_str());
  }
  void showFolder(const std::string& folder) override {
    const HWND edit = GetDlgItem(dialog_, IDC_LOOK_IN);
    SetWindowTextA(edit, folder.c_str());
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  }
  std::string typedFolder() const override {
    const HWND edit = GetDlgItem(dialog_, IDC_LOOK_IN);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
    return text;
  }
  void focusFolder() override {
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDC_LOOK_IN)),
                 TRUE);
  }
  void showMessage(const std::string& text) override {
    MessageBoxA(dialog_, text.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
  }
  bool browseForFolder(const std::string& title, std::string& folder) override {
    FolderBrowser browser;
    if (!browser.browseForFolder(title, dialog_)) return false;
    folder = browser.path();
    return true;
  }
  void showWaitCursor(bool waiting) override {
    if (waiting) {
      previousCursor_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    } else {
      SetCursor(previousCursor_);
    }
  }
  std::string resourceText(int32_t id) const override {
    char text[kResourceTextCapacity] = {};
    const int length = LoadStringA(moduleInstance(), static_cast<UINT>(id), text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
  }

 private:
  HWND listWindow() const { return GetDlgItem(dialog_, IDC_FILE_LIST); }
  void initialise(HWND dialog);
  void drawItem(DRAWITEMSTRUCT& item);
  bool command(WORD id, WORD code);
  LRESULT runPendingCheck();

  JcampImportDialog logic_;
  MarkupListBox list_;
  HWND dialog_ = nullptr;
  HCURSOR previousCursor_ = nullptr;
  HWND pendingWindow_ = nullptr;  // another window's control to check, or null
};

void Win32Dialog::initialise(HWND dialog) {
  dialog_ = dialog;
  list_.attachToControl(IDC_FILE_LIST, dialog);
  for (const int header :
       {IDC_HEADER_NAME, IDC_HEADER_XVARS, IDC_HEADER_YVARS, IDC_HEADER_SAMPLES}) {
    list_.addColumnAtControl(header, 0, false);
  }
  for (const int32_t column : {1, 2, 3}) logic_.columns().setColumnRightAligned(column, true);
  list_.setLastColumnEndAtControl(IDC_HIDDEN_SAMPLES_END, 0, false);
  logic_.initialise();
}

void Win32Dialog::drawItem(DRAWITEMSTRUCT& item) {
  const JcampFileInfo* entry =
      item.itemID == static_cast<UINT>(-1) ? nullptr : lineEntry(static_cast<int32_t>(item.itemID));
  if (lineCount() == 0 || entry == nullptr) {
    list_.drawItem(item);
    return;
  }
  const LRESULT length = SendMessageA(listWindow(), LB_GETTEXTLEN, item.itemID, 0);
  std::string text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
  SendMessageA(listWindow(), LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  GdiCanvas canvas(item.hDC,
                   static_cast<int32_t>(SendMessageA(listWindow(), LB_GETITEMHEIGHT, 0, 0)));
  const RECT& r = item.rcItem;
  logic_.paintLine(text, entry, (item.itemState & ODS_SELECTED) != 0, r.left, r.top, r.right,
                   r.bottom, canvas);
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

bool Win32Dialog::command(WORD id, WORD code) {
  switch (id) {
    case IDOK:
      // Enter in the Look-In field lists the folder typed there.
      if (GetFocus() == GetDlgItem(dialog_, IDC_LOOK_IN)) {
        logic_.setPendingCheck(0);
        logic_.checkTypedFolder();
        return true;
      }
      if (IsWindowEnabled(GetDlgItem(dialog_, IDOK)) == FALSE) return true;
      logic_.onOk();
      EndDialog(dialog_, IDOK);
      return true;
    case IDCANCEL:
      EndDialog(dialog_, IDCANCEL);
      return true;
    case IDC_BROWSE:
      if (code == BN_CLICKED) logic_.onBrowse();
      return true;
    case IDC_FILE_LIST:
      if (code == LBN_SELCHANGE) logic_.onSelectionChange();
      return true;
    case IDC_LOOK_IN:
      if (code == EN_KILLFOCUS) logic_.setPendingCheck(IDC_LOOK_IN);
      return true;
    case IDC_TITLE:
    case IDC_ORIGIN:
    case IDC_OWNER:
    case IDC_FORMAT:
      if (code == EN_SETFOCUS) SendMessageA(dialog_, kRunPendingCheck, 0, 0);
      return true;
    default:
      return false;
  }
}

LRESULT Win32Dialog::runPendingCheck() {
  const HWND other = pendingWindow_;
  pendingWindow_ = nullptr;
  if (other == nullptr || other == dialog_) return logic_.runPendingCheck();
  // A control of another window: that window checks it.
  const int control = GetDlgCtrlID(other);
  logic_.setPendingCheck(0);
  const LRESULT result =
      SendMessageA(other, kRunPendingCheck, reinterpret_cast<WPARAM>(dialog_), control);
  if (result == 0) SetFocus(other);
  return result;
}

// Dialog procedures answer a message's value through DWLP_MSGRESULT.
INT_PTR answer(HWND dialog, LRESULT value) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, value);
  return TRUE;
}

INT_PTR CALLBACK Win32Dialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      reinterpret_cast<Win32Dialog*>(lParam)->initialise(dialog);
      return TRUE;
    case WM_MEASUREITEM:
      // Arrives while the controls are created, before WM_INITDIALOG.
      if (wParam == IDC_FILE_LIST) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = MarkupListBox::kItemHeight;
        return answer(dialog, TRUE);
      }
      return FALSE;
    case WM_COMPAREITEM:
      return answer(dialog, 0);
    default:
      break;
  }
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_DRAWITEM:
      if (wParam != IDC_FILE_LIST) return FALSE;
      self->drawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      return self->command(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case kRecordPendingCheck:
      self->pendingWindow_ = reinterpret_cast<HWND>(wParam);
      self->logic_.setPendingCheck(static_cast<int32_t>(lParam));
      return answer(dialog, 1);
    case kRunPendingCheck:
      return answer(dialog, self->runPendingCheck());
    case WM_DESTROY:
      self->logic_.clearFileList();
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool runImportDialog(const ReadingRules& rules, const TrialRead& trialRead,
                     std::vector<std::unique_ptr<JcampFileInfo>>& chosen) {
  ComScope com;
  Win32Dialog dialog(rules, trialRead);
  const INT_PTR result =
      DialogBoxParamA(moduleInstance(), MAKEINTRESOURCEA(IDD_JCAMP_IMPORT), nullptr,
                      &Win32Dialog::dialogProc, reinterpret_cast<LPARAM>(&dialog));
  if (result != IDOK) return false;
  chosen = std::move(dialog.logic().chosenFiles());
  return true;
}

}  // namespace jcamp::ui

// The import dialog as a screen on the controlling terminal: the same rules
// as the Windows dialog, driven by keys.
#include <algorithm>

#include "platform/folders.h"
#include "ui/cell_canvas.h"
#include "ui/import_dialog.h"
#include "ui/line_list.h"
#include "ui/run_import_dialog.h"
#include "ui/terminal_posix.h"

namespace jcamp::ui {
namespace {

constexpr char kTitle[] = "JCAMP-DX Import";
constexpr char kHeaderLine[] = "File Name|X-Vars|Y-Vars|Samples";
constexpr char kKeysOk[] = "Up/Down move  Space select  Enter OK  Esc cancel  Tab Look In";
constexpr char kKeysNoOk[] = "Up/Down move  Space select  Esc cancel  Tab Look In";
constexpr char kSelectFirst[] = "Select at least one file for OK.";
constexpr char kPressAKey[] = "  (press a key)";
constexpr int32_t kMarkWidth = 6;    // " > [x]" before each line
constexpr int32_t kNumberWidth = 8;  // each count column
constexpr int32_t kRowsAroundList = 12;
constexpr int32_t kMinimumListRows = 3;
constexpr int32_t kMinimumColumns = 40;

class TerminalDialog : public DialogView {
 public:
  TerminalDialog(Terminal& terminal, const ReadingRules& rules, const TrialRead& trialRead)
      : terminal_(terminal), logic_(*this, rules, trialRead, platform::currentDirectory()) {}

  // Runs until OK or Cancel; true for OK, the chosen files then in the logic.
  bool run();
  JcampImportDialog& logic() { return logic_; }

  int32_t addLine(const std::string& text, const JcampFileInfo* entry) override {
    return lines_.add(text, entry);
  }
  void clearLines() override { lines_.clear(); }
  int32_t lineCount() const override { return lines_.size(); }
  const JcampFileInfo* lineEntry(int32_t line) const override {
    return line >= 0 && line < lines_.size() ? static_cast<const JcampFileInfo*>(lines_.data(line))
                                             : nullptr;
  }
  std::vector<int32_t> selectedLines() const override { return lines_.selectedLines(); }
  void deselectLine(int32_t line) override { lines_.setSelected(line, false); }
  int32_t caretLine() const override { return lines_.caret(); }
  void repaintLines() override { draw(); }
  void enableLines(bool enabled) override { linesEnabled_ = enabled; }
  void enableOk(bool enabled) override { okEnabled_ = enabled; }
  void setInfoText(InfoField field, const std::string& text) override {
    info_[static_cast<size_t>(field)] = text;
  }
  void showFolder(const std::string& folder) override { typed_ = folder; }
  std::string typedFolder() const override { return typed_; }
  void focusFolder() override { editing_ = true; }
  void showMessage(const std::string& text) override {
    status_ = "! " + text + kPressAKey;
    draw();
    if (terminal_.readKey().code == KeyCode::kClosed) closed_ = true;
    status_.clear();
  }
  // The terminal has no folder tree: a folder is typed into Look In.
  bool browseForFolder(const std::string&, std::string&) override { return false; }
  void showWaitCursor(bool waiting) override {
    if (!waiting) return;
    status_ = "Reading headers...";
    draw();
    status_.clear();
  }

 private:
  enum class Outcome { kGoOn, kOk, kCancel };

  void layOutColumns(int32_t width);
  void draw();
  std::string listRow(int32_t line, int32_t width);
  Outcome onListKey(const Key& key);
  void onEditKey(const Key& key);
  void moveCaret(int32_t by);

  Terminal& terminal_;
  JcampImportDialog logic_;
  LineList lines_;
  std::string info_[4];
  std::string typed_;
  std::string status_;
  int32_t top_ = 0;  // first line shown
  int32_t listRows_ = kMinimumListRows;
  int32_t laidOutWidth_ = -1;
  bool linesEnabled_ = true;
  bool okEnabled_ = false;
  bool editing_ = false;
  bool closed_ = false;
};

void TerminalDialog::layOutColumns(int32_t width) {
  if (width == laidOutWidth_) return;
  laidOutWidth_ = width;
  MarkupColumns& columns = logic_.columns();
  columns = MarkupColumns();
  const int32_t listWidth = width - kMarkWidth;
  columns.setClientWidth(listWidth);
  const int32_t numbers = listWidth - 3 * kNumberWidth;
  for (const int32_t start : {0, numbers, numbers + kNumberWidth, numbers + 2 * kNumberWidth}) {
    columns.addColumn(start);
  }
  for (const int32_t column : {1, 2, 3}) columns.setColumnRightAligned(column, true);
  columns.setLastColumnEnd(listWidth - 1);
}

std::string TerminalDialog::listRow(int32_t line, int32_t width) {
  const auto* entry = lineEntry(line);
  const bool selected = lines_.selected(line);
  std::string mark = line == lines_.caret() && !editing_ ? " > " : "   ";
  if (!linesEnabled_) {
    mark += "    ";
  } else if (selected) {
    mark += "[x] ";
  } else {
    mark += entry != nullptr && !logic_.isCompatible(*entry) ? "[-] " : "[ ] ";
  }
  CellCanvas canvas(width - kMarkWidth);
  logic_.paintLine(lines_.text(line), entry, selected, 0, 0, width - kMarkWidth, 1, canvas);
  return mark + canvas.render();
}

void TerminalDialog::draw() {
  // The last column stays empty: a full row would leave the cursor waiting to wrap.
  const int32_t width = std::max(terminal_.columns(), kMinimumColumns) - 1;
  layOutColumns(width);
  listRows_ = std::max(terminal_.rows() - kRowsAroundList, kMinimumListRows);
  const int32_t caret = lines_.caret();
  if (caret >= 0 && caret < top_) top_ = caret;
  if (caret >= top_ + listRows_) top_ = caret - listRows_ + 1;
  top_ = std::clamp(top_, 0, std::max(lines_.size() - listRows_, 0));

  std::vector<std::string> rows;
  rows.push_back(std::string(" \x1b[1m") + kTitle + "\x1b[0m");
  rows.push_back(std::string(" Look In: ") + (editing_ ? "\x1b[4m" + typed_ + "_\x1b[0m" : typed_));
  rows.push_back(std::string());
  CellCanvas header(width - kMarkWidth);
  logic_.columns().paintLine(0, 0, kHeaderLine, header);
  rows.push_back(std::string(kMarkWidth, ' ') + header.text());
  for (int32_t row = 0; row < listRows_; ++row) {
    const int32_t line = top_ + row;
    rows.push_back(line < lines_.size() ? listRow(line, width) : std::string());
  }
  rows.push_back(std::string());
  rows.push_back(" JCAMP File Information");
  const char* labels[] = {"Title:", "Origin:", "Owner:", "Data Formats:"};
  for (size_t i = 0; i < 4; ++i) {
    std::string label = labels[i];
    label.resize(14, ' ');
    rows.push_back("   " + label + info_[i]);
  }
  rows.push_back(" " + (status_.empty() && !okEnabled_ && !editing_ ? kSelectFirst : status_));
  rows.push_back(std::string(" ") +
                 (editing_     ? "Type a folder, Enter to list it, Esc to keep the old one"
                  : okEnabled_ ? kKeysOk
                               : kKeysNoOk));

  // No line feed after the last row, which would scroll the screen.
  std::string screen = "\x1b[H";
  for (size_t i = 0; i < rows.size(); ++i) {
    screen += rows[i] + "\x1b[K";
    if (i + 1 < rows.size()) screen += "\r\n";
  }
  terminal_.write(screen);
}

void TerminalDialog::moveCaret(int32_t by) {
  if (lines_.size() == 0) return;
  lines_.setCaret(lines_.caret() + by);
  logic_.onSelectionChange();
}

TerminalDialog::Outcome TerminalDialog::onListKey(const Key& key) {
  switch (key.code) {
    case KeyCode::kUp:
      moveCaret(-1);
      break;
    case KeyCode::kDown:
      moveCaret(1);
      break;
    case KeyCode::kPageUp:
      moveCaret(-listRows_);
      break;
    case KeyCode::kPageDown:
      moveCaret(listRows_);
      break;
    case KeyCode::kHome:
      moveCaret(-lines_.size());
      break;
    case KeyCode::kEnd:
      moveCaret(lines_.size());
      break;
    case KeyCode::kEnter:
      return okEnabled_ ? Outcome::kOk : Outcome::kGoOn;
    case KeyCode::kEscape:
    case KeyCode::kInterrupt:
    case KeyCode::kClosed:
      return Outcome::kCancel;
    case KeyCode::kTab:
      editing_ = true;
      break;
    case KeyCode::kCharacter:
      if (key.character == 'q') return Outcome::kCancel;
      if (key.character == 'l' || key.character == '/') editing_ = true;
      // Space toggles the line under the caret, as Ctrl-click does.
      if (key.character == ' ' && linesEnabled_ && lines_.caret() >= 0) {
        lines_.setSelected(lines_.caret(), !lines_.selected(lines_.caret()));
        logic_.onSelectionChange();
      }
      if (key.character == 'k') moveCaret(-1);
      if (key.character == 'j') moveCaret(1);
      break;
    default:
      break;
  }
  return Outcome::kGoOn;
}

void TerminalDialog::onEditKey(const Key& key) {
  switch (key.code) {
    case KeyCode::kEnter:
    case KeyCode::kTab:
      // Leaving the field acts on what was typed.
      editing_ = false;
      logic_.checkTypedFolder();
      break;
    case KeyCode::kEscape:
      editing_ = false;
      typed_ = logic_.folder();
      break;
    case KeyCode::kBackspace:
      if (!typed_.empty()) typed_.pop_back();
      break;
    case KeyCode::kClearLine:
      typed_.clear();
      break;
    case KeyCode::kCharacter:
      typed_ += key.character;
      break;
    case KeyCode::kInterrupt:
    case KeyCode::kClosed:
      closed_ = true;
      break;
    default:
      break;
  }
}

bool TerminalDialog::run() {
  logic_.initialise();
  for (;;) {
    draw();
    const Key key = terminal_.readKey();
    if (editing_) {
      onEditKey(key);
      if (closed_) return false;
      continue;
    }
    const Outcome outcome = onListKey(key);
    if (closed_ || outcome == Outcome::kCancel) return false;
    if (outcome == Outcome::kOk) {
      // The trial read may report files: on the user's own screen.
      terminal_.restore();
      logic_.onOk();
      return true;
    }
  }
}

}  // namespace

bool runImportDialog(const ReadingRules& rules, const TrialRead& trialRead,
                     std::vector<std::unique_ptr<JcampFileInfo>>& chosen) {
  Terminal terminal;
  if (!terminal.open()) return false;
  TerminalDialog dialog(terminal, rules, trialRead);
  if (!dialog.run()) return false;
  chosen = std::move(dialog.logic().chosenFiles());
  return true;
}

}  // namespace jcamp::ui

#include "ui/cell_canvas.h"

#include <algorithm>

namespace jcamp::ui {
namespace {

// The classic Windows scheme, so that the dialog's colour rules read the same.
constexpr Colour kWindow = rgb(255, 255, 255);
constexpr Colour kWindowText = rgb(0, 0, 0);
constexpr Colour kHighlight = rgb(0, 120, 215);
constexpr Colour kHighlightText = rgb(255, 255, 255);
constexpr Colour kActiveCaption = rgb(153, 180, 209);

constexpr char kPlain[] = "\x1b[0m";
constexpr char kReverse[] = "\x1b[0;7m";
constexpr char kDim[] = "\x1b[0;2m";
constexpr char kReverseDim[] = "\x1b[0;2;7m";

}  // namespace

CellCanvas::CellCanvas(int32_t width)
    : cells_(static_cast<size_t>(std::max(width, 0)), Cell{' ', kWindowText, kWindow}),
      fore_(kWindowText),
      back_(kWindow) {}

Colour CellCanvas::systemColour(int32_t index) const {
  switch (index) {
    case kColourActiveCaption:
      return kActiveCaption;
    case kColourHighlight:
      return kHighlight;
    case kColourHighlightText:
      return kHighlightText;
    case kColourWindowText:
      return kWindowText;
    default:
      return kWindow;
  }
}

void CellCanvas::drawText(int32_t x, int32_t /*y*/, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const int64_t column = int64_t{x} + static_cast<int64_t>(i);
    if (column < 0 || column >= static_cast<int64_t>(cells_.size())) continue;
    // Control characters would move the terminal's cursor.
    const char c = static_cast<unsigned char>(text[i]) < 0x20 ? '?' : text[i];
    cells_[static_cast<size_t>(column)] = Cell{c, fore_, back_};
  }
}

void CellCanvas::fillRect(int32_t left, int32_t /*top*/, int32_t right, int32_t /*bottom*/,
                          Colour colour) {
  const auto width = static_cast<int32_t>(cells_.size());
  for (int32_t column = std::max(left, 0); column < std::min(right, width); ++column) {
    cells_[static_cast<size_t>(column)] = Cell{' ', fore_, colour};
  }
}

std::string CellCanvas::text() const {
  std::string text;
  for (const Cell& cell : cells_) text += cell.c;
  return text;
}

std::string CellCanvas::render() const {
  std::string out;
  const char* current = kPlain;
  for (const Cell& cell : cells_) {
    const bool reverse = cell.back == kHighlight || cell.back == kActiveCaption;
    const bool dim = cell.fore != kWindowText && cell.fore != kHighlightText;
    const char* style = reverse ? (dim ? kReverseDim : kReverse) : (dim ? kDim : kPlain);
    if (style != current) out += style;
    current = style;
    out += cell.c;
  }
  if (current != kPlain) out += kPlain;
  return out;
}

}  // namespace jcamp::ui

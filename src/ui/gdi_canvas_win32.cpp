#include "ui/gdi_canvas_win32.h"

namespace jcamp::ui {

int32_t GdiCanvas::textWidth(const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void GdiCanvas::drawText(int32_t x, int32_t y, const std::string& text) {
  TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void GdiCanvas::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Colour colour) {
  const RECT rect{left, top, right, bottom};
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc_, &rect, brush);
  DeleteObject(brush);
}

void GdiCanvas::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Colour colour) {
  const HPEN pen = CreatePen(PS_SOLID, 0, colour);
  const HGDIOBJ previous = SelectObject(dc_, pen);
  MoveToEx(dc_, x1, y1, nullptr);
  LineTo(dc_, x2, y2);
  SelectObject(dc_, previous);
  DeleteObject(pen);
}

}  // namespace jcamp::ui

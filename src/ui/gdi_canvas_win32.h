// A canvas on a Win32 device context.
#pragma once

#include <windows.h>

#include "ui/canvas.h"

namespace jcamp::ui {

class GdiCanvas : public Canvas {
 public:
  GdiCanvas(HDC dc, int32_t lineHeight) : dc_(dc), lineHeight_(lineHeight) {}

  int32_t textWidth(const std::string& text) override;
  void drawText(int32_t x, int32_t y, const std::string& text) override;
  void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Colour colour) override;
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Colour colour) override;
  Colour textColour() const override { return GetTextColor(dc_); }
  void setTextColour(Colour colour) override { SetTextColor(dc_, colour); }
  void setBackColour(Colour colour) override { SetBkColor(dc_, colour); }
  Colour systemColour(int32_t index) const override { return GetSysColor(index); }
  int32_t lineHeight() const override { return lineHeight_; }

 private:
  HDC dc_;
  int32_t lineHeight_;
};

}  // namespace jcamp::ui

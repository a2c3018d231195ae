// What the mark-up list box draws on: a device context on Windows, a
// character grid on a terminal, a recording fake in the tests.
#pragma once

#include <cstdint>
#include <string>

namespace jcamp::ui {

// A colour in the Win32 layout 0x00BBGGRR: red in the low byte.
using Colour = uint32_t;

constexpr Colour rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr Colour kGrey = rgb(128, 128, 128);

// System colour indexes, as GetSysColor numbers them.
enum SystemColour : int32_t {
  kColourActiveCaption = 2,
  kColourWindow = 5,
  kColourWindowText = 8,
  kColourHighlight = 13,
  kColourHighlightText = 14,
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Width of text in the canvas's units (pixels, or cells).
  virtual int32_t textWidth(const std::string& text) = 0;
  // Draws text with its top-left corner at (x, y), in the current colours.
  virtual void drawText(int32_t x, int32_t y, const std::string& text) = 0;
  // Fills [left, right) x [top, bottom).
  virtual void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                        Colour colour) = 0;
  // A one-unit line from (x1, y1) to (x2, y2), the end point excluded.
  virtual void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Colour colour) = 0;
  virtual Colour textColour() const = 0;
  virtual void setTextColour(Colour colour) = 0;
  virtual void setBackColour(Colour colour) = 0;
  virtual Colour systemColour(int32_t index) const = 0;
  // Height of one list line.
  virtual int32_t lineHeight() const = 0;
};

}  // namespace jcamp::ui

// A canvas on one row of character cells: a terminal line. One unit is one
// cell; colours become attributes when the row is written out.
#pragma once

#include <string>
#include <vector>

#include "ui/canvas.h"

namespace jcamp::ui {

class CellCanvas : public Canvas {
 public:
  explicit CellCanvas(int32_t width);

  int32_t textWidth(const std::string& text) override { return static_cast<int32_t>(text.size()); }
  void drawText(int32_t x, int32_t y, const std::string& text) override;
  void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Colour colour) override;
  // A rule between two rows of cells has no room: it is left out.
  void drawLine(int32_t, int32_t, int32_t, int32_t, Colour) override {}
  Colour textColour() const override { return fore_; }
  void setTextColour(Colour colour) override { fore_ = colour; }
  void setBackColour(Colour colour) override { back_ = colour; }
  Colour systemColour(int32_t index) const override;
  int32_t lineHeight() const override { return 1; }

  // The characters alone.
  std::string text() const;
  // The row with terminal attributes: highlighted cells in reverse video,
  // grey text dim.
  std::string render() const;

 private:
  struct Cell {
    char c;
    Colour fore;
    Colour back;
  };
  std::vector<Cell> cells_;
  Colour fore_;
  Colour back_;
};

}  // namespace jcamp::ui

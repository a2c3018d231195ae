// The columns of the mark-up list box and the painting of one line.
//
// A line is column texts joined by "|". A column text may begin with markers:
//   \BAR:<number>         a bar of <number> percent of the column's width, no text
//   \BITMAP:<name>,<n>    nothing in this column
//   \TEXTCOLOR(<colour>)  the text colour from here on (0x00BBGGRR, decimal)
//   \TOPLINE              (with a space) a rule just above the line
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/canvas.h"

namespace jcamp::ui {

class MarkupColumns {
 public:
  static constexpr int32_t kMaxColumns = 10;
  // A column's default end lies this far inside the list's client width.
  static constexpr int32_t kDefaultEndInset = 2;
  // A column ends this far before the next one starts.
  static constexpr int32_t kColumnGap = 5;

  // Every column end becomes clientWidth - 2 (done when bound to a list).
  void setClientWidth(int32_t clientWidth);
  // Appends a column starting at x; the previous column ends before it.
  // Columns beyond kMaxColumns are ignored.
  void addColumn(int32_t x);
  void setLastColumnEnd(int32_t x);
  void setColumnRightAligned(int32_t column, bool rightAligned);

  int32_t count() const { return count_; }
  int32_t start(int32_t column) const { return starts_[static_cast<size_t>(column)]; }
  int32_t end(int32_t column) const { return ends_[static_cast<size_t>(column)]; }

  // Draws the line's columns with their mark-up, the columns offset by x.
  void paintLine(int32_t x, int32_t y, std::string text, Canvas& canvas);

 private:
  // The text a left-aligned column shows of t when it is width units wide.
  static std::string shortened(const std::string& t, int32_t width, Canvas& canvas);

  std::array<int32_t, kMaxColumns> starts_{};
  std::array<int32_t, kMaxColumns> ends_{};
  std::array<bool, kMaxColumns> rightAligned_{};
  int32_t count_ = 0;
};

}  // namespace jcamp::ui

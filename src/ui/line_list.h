// A sorted list of lines with item data, selection and a caret: the state of
// a list control, for skins that draw the list themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jcamp::ui {

// The order of a sorted list control: case-insensitive, byte by byte.
bool lineLess(const std::string& a, const std::string& b);

class LineList {
 public:
  // Inserts text in sorted order, after equal lines; returns its position.
  int32_t add(const std::string& text, const void* data);
  void clear();

  int32_t size() const { return static_cast<int32_t>(lines_.size()); }
  const std::string& text(int32_t line) const { return at(line).text; }
  const void* data(int32_t line) const { return at(line).data; }
  bool selected(int32_t line) const { return at(line).selected; }
  void setSelected(int32_t line, bool selected);
  std::vector<int32_t> selectedLines() const;  // ascending

  // The line that has the focus, or -1 in an empty list.
  int32_t caret() const { return caret_; }
  // Clamped into the list.
  void setCaret(int32_t line);

 private:
  struct Line {
    std::string text;
    const void* data;
    bool selected;
  };
  const Line& at(int32_t line) const { return lines_.at(static_cast<size_t>(line)); }

  std::vector<Line> lines_;
  int32_t caret_ = -1;
};

}  // namespace jcamp::ui

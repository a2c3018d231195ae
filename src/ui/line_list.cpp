#include "ui/line_list.h"

#include <algorithm>
#include <cctype>

namespace jcamp::ui {

bool lineLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

int32_t LineList::add(const std::string& text, const void* data) {
  const auto place = std::upper_bound(
      lines_.begin(), lines_.end(), text,
      [](const std::string& t, const Line& line) { return lineLess(t, line.text); });
  const auto inserted = lines_.insert(place, Line{text, data, false});
  if (caret_ < 0) caret_ = 0;
  return static_cast<int32_t>(inserted - lines_.begin());
}

void LineList::clear() {
  lines_.clear();
  caret_ = -1;
}

void LineList::setSelected(int32_t line, bool selected) {
  lines_.at(static_cast<size_t>(line)).selected = selected;
}

std::vector<int32_t> LineList::selectedLines() const {
  std::vector<int32_t> selected;
  for (int32_t i = 0; i < size(); ++i) {
    if (at(i).selected) selected.push_back(i);
  }
  return selected;
}

void LineList::setCaret(int32_t line) {
  caret_ = lines_.empty() ? -1 : std::clamp(line, 0, size() - 1);
}

}  // namespace jcamp::ui

#include "ui/markup_columns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "scan/whole_number.h"

namespace jcamp::ui {
namespace {

constexpr char kBarMarker[] = "\\BAR:";
constexpr size_t kBarLength = 5;
constexpr char kBitmapMarker[] = "\\BITMAP:";
constexpr size_t kBitmapLength = 8;
constexpr char kColourMarker[] = "\\TEXTCOLOR(";
constexpr size_t kColourLength = 11;
constexpr char kTopLineMarker[] = "\\TOPLINE ";
constexpr size_t kTopLineLength = 9;
// The rule above a line crosses the whole list, whatever its width.
constexpr int32_t kTopLineRight = 1024;
// The bar leaves one unit above it and four below, inside the line.
constexpr int32_t kBarTopInset = 1;
constexpr int32_t kBarBottomInset = 4;
constexpr double kPercent = static_cast<double>(0.01f);

// The whole of text as a decimal number (blanks, sign, digits, point,
// exponent); false when anything is left over or the value is out of range.
bool parseWholeNumber(const std::string& text, double& value) {
  const char* p = text.c_str();
  const char* end = p + text.size();
  while (p < end && isWhiteSpace(*p)) ++p;
  const char* signStart = p;
  if (p < end && (*p == '+' || *p == '-')) ++p;
  // from_chars would also take "inf", "nan" and a second sign.
  if (p == end || !(std::isdigit(static_cast<unsigned char>(*p)) || *p == '.')) return false;
  const char* number = *signStart == '-' ? signStart : p;
  const auto result = std::from_chars(number, end, value, std::chars_format::general);
  return result.ec == std::errc() && result.ptr == end;
}

// Cuts the line into column texts: an empty column holds a space, a trailing
// "|" gives no column.
std::vector<std::string> columnTexts(std::string text) {
  if (text[0] == '|') text.insert(0, 1, ' ');
  for (size_t bars = text.find("||"); bars != std::string::npos; bars = text.find("||")) {
    text.insert(bars + 1, 1, ' ');
  }
  std::vector<std::string> columns;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t bar = text.find('|', begin);
    if (bar == std::string::npos) bar = text.size();
    columns.push_back(text.substr(begin, bar - begin));
    begin = bar + 1;
  }
  return columns;
}

std::string tailFrom(const std::string& text, size_t index) {
  return index < text.size() ? text.substr(index) : std::string();
}

}  // namespace

void MarkupColumns::setClientWidth(int32_t clientWidth) {
  ends_.fill(clientWidth - kDefaultEndInset);
}

void MarkupColumns::addColumn(int32_t x) {
  if (count_ >= kMaxColumns) return;
  starts_[static_cast<size_t>(count_)] = x;
  if (count_ > 0 && ends_[static_cast<size_t>(count_ - 1)] >= x) {
    ends_[static_cast<size_t>(count_ - 1)] = x - kColumnGap;
  }
  ++count_;
}

void MarkupColumns::setLastColumnEnd(int32_t x) {
  if (count_ > 0) ends_[static_cast<size_t>(count_ - 1)] = x;
}

void MarkupColumns::setColumnRightAligned(int32_t column, bool rightAligned) {
  if (column >= 0 && column < kMaxColumns)
    rightAligned_[static_cast<size_t>(column)] = rightAligned;
}

std::string MarkupColumns::shortened(const std::string& t, int32_t width, Canvas& canvas) {
  const auto length = static_cast<int32_t>(t.size());
  const auto widthOf = [&](int32_t k) {
    return canvas.textWidth(t.substr(0, static_cast<size_t>(k)));
  };
  // Start from a guess by the average character width, then move one
  // character at a time. Text narrower than a unit per character counts one.
  const int32_t average = std::max(canvas.textWidth(t) / std::max(length, 1), 1);
  const int32_t guess = std::clamp(width / average, 0, length);
  int32_t keep;
  if (widthOf(guess) < width) {
    int32_t k = guess + 1;
    while (k < length && widthOf(k) < width) ++k;
    keep = k - 1;
  } else {
    int32_t k = guess - 1;
    while (k > 0 && widthOf(k) > width) --k;
    keep = std::max(k, 0);
  }
  return t.substr(0, static_cast<size_t>(keep));
}

void MarkupColumns::paintLine(int32_t x, int32_t y, std::string text, Canvas& canvas) {
  if (count_ == 0) addColumn(0);
  if (text.empty()) return;
  const std::vector<std::string> columns = columnTexts(std::move(text));
  const auto shown = std::min(static_cast<int32_t>(columns.size()), count_);
  for (int32_t i = 0; i < shown; ++i) {
    const auto c = static_cast<size_t>(i);
    std::string t = columns[c];
    int32_t left = starts_[c] + x;
    bool draw = true;

    const size_t bar = t.find(kBarMarker);
    double percent = 0.0;
    if (bar != std::string::npos && parseWholeNumber(tailFrom(t, bar + kBarLength), percent)) {
      draw = false;
      const double width = static_cast<double>(ends_[c]) - starts_[c];
      const double length = std::trunc(width * std::min(percent, 100.0) * kPercent);
      if (length >= 1.0) {
        canvas.fillRect(left, y + kBarTopInset, left + static_cast<int32_t>(length),
                        y + canvas.lineHeight() - kBarBottomInset,
                        canvas.systemColour(kColourActiveCaption));
      }
    }
    if (t.find(kBitmapMarker) != std::string::npos &&
        tailFrom(t, kBitmapLength).find(',') != std::string::npos) {
      draw = false;
    }
    if (t.find(kColourMarker) != std::string::npos) {
      const std::string rest = tailFrom(t, kColourLength);
      const size_t close = rest.find(')');
      if (close != std::string::npos) {
        const int32_t colour = leadingInteger(rest.substr(0, close).c_str());
        canvas.setTextColour(static_cast<Colour>(colour));
        t = rest.substr(close + 1);
      }
    }
    if (t.find(kTopLineMarker) != std::string::npos) {
      canvas.drawLine(0, y - 2, kTopLineRight, y - 2, canvas.textColour());
      t = tailFrom(t, kTopLineLength);
    }
    if (!draw || t.empty()) continue;
    if (rightAligned_[c]) {
      left = ends_[c] - canvas.textWidth(t) + x;
    } else if (i + 1 < count_) {
      const int32_t width = ends_[c] - starts_[c];
      if (canvas.textWidth(t) >= width) t = shortened(t, width, canvas);
    }
    canvas.drawText(left, y, t);
  }
}

}  // namespace jcamp::ui

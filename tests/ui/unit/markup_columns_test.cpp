// The mark-up list box's columns and line painting, on a canvas whose
// characters have fixed widths: 'i' 4 units, 'W' 14, every other one 8.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/markup_columns.h"

namespace jcamp::ui {
namespace {

constexpr int32_t kClientWidth = 302;  // default column end: 300
constexpr int32_t kLineHeight = 14;
constexpr Colour kText = 1;
constexpr Colour kCaption = 2;

// Records what is painted: "x:text" (with "#colour" unless kText), fills as
// "bar left-right top-bottom#colour", rules as "rule x1,y1-x2,y2#colour".
class FixedCanvas : public Canvas {
 public:
  int32_t textWidth(const std::string& text) override {
    ++measurements;
    int32_t width = 0;
    for (const char c : text) width += c == 'i' ? 4 : c == 'W' ? 14 : 8;
    return width;
  }
  void drawText(int32_t x, int32_t, const std::string& text) override {
    texts.push_back(text);
    log(std::to_string(x) + ":" + text + (colour_ == kText ? "" : "#" + std::to_string(colour_)));
  }
  void fillRect(int32_t l, int32_t t, int32_t r, int32_t b, Colour colour) override {
    log("bar " + std::to_string(l) + "-" + std::to_string(r) + " " + std::to_string(t) + "-" +
        std::to_string(b) + "#" + std::to_string(colour));
  }
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Colour colour) override {
    log("rule " + std::to_string(x1) + "," + std::to_string(y1) + "-" + std::to_string(x2) + "," +
        std::to_string(y2) + "#" + std::to_string(colour));
  }
  Colour textColour() const override { return colour_; }
  void setTextColour(Colour colour) override { colour_ = colour; }
  void setBackColour(Colour) override {}
  Colour systemColour(int32_t index) const override {
    return index == kColourActiveCaption ? kCaption : 0;
  }
  int32_t lineHeight() const override { return kLineHeight; }

  std::string painted;
  std::vector<std::string> texts;
  int measurements = 0;

 private:
  void log(const std::string& what) { painted += (painted.empty() ? "" : "; ") + what; }
  Colour colour_ = kText;
};

MarkupColumns columnsAt(const std::vector<int32_t>& starts) {
  MarkupColumns columns;
  columns.setClientWidth(kClientWidth);
  for (const int32_t start : starts) columns.addColumn(start);
  return columns;
}

TEST(MarkupColumnsTest, EachColumnEndsFivePixelsBeforeTheNextAndTheLastAtTheClientWidth) {
  MarkupColumns columns = columnsAt({0, 100, 150});
  EXPECT_EQ(columns.end(0), 95);
  EXPECT_EQ(columns.end(1), 145);
  EXPECT_EQ(columns.end(2), 300);
  columns.setLastColumnEnd(200);
  EXPECT_EQ(columns.end(2), 200);
  // An eleventh column is not taken.
  for (int32_t i = 3; i < 12; ++i) columns.addColumn(150 + 10 * i);
  EXPECT_EQ(columns.count(), MarkupColumns::kMaxColumns);
}

// Columns of texts, a space for each empty one. A bar fills its percentage of
// its column's width, computed in single precision (50% of 100 pixels: 49);
// what is no number stays text. Colours carry on to the next columns.
TEST(MarkupColumnsTest, PaintsEachColumnAsItsMarkersSay) {
  struct Case {
    std::vector<int32_t> starts;
    int32_t x, y;
    std::string line;
    std::string painted;
  };
  const std::vector<int32_t> three = {0, 100, 150};
  const std::vector<int32_t> wide = {0, 100, 200};
  const Case cases[] = {
      {three, 0, 0, "|5|6", "0: ; 100:5; 150:6"},
      {three, 0, 0, "A||B", "0:A; 100: ; 150:B"},
      {three, 0, 0, "A|B|", "0:A; 100:B"},
      {three, 0, 0, "A|B|C|D", "0:A; 100:B; 150:C"},  // the fourth text has no column
      {three, 0, 0, "", ""},
      {{}, 7, 0, "alone", "7:alone"},  // without columns the line is one at x
      {wide, 0, 30, "\\TEXTCOLOR(255)Alarm|Next|\\TEXTCOLOR(65280)Own",
       "0:Alarm#255; 100:Next#255; 200:Own#65280"},
      {wide, 5, 30, "\\TEXTCOLOR(255)\\TOPLINE Total", "rule 0,28-1024,28#255; 5:Total#255"},
      {wide, 0, 0, "\\BITMAP:pic,3|\\BITMAP:pic|\\TEXTCOLOR(9",
       "100:\\BITMAP:pic; 200:\\TEXTCOLOR(9"},
  };
  for (const Case& c : cases) {
    MarkupColumns columns = c.starts.empty() ? MarkupColumns() : columnsAt(c.starts);
    FixedCanvas canvas;
    columns.paintLine(c.x, c.y, c.line, canvas);
    EXPECT_EQ(canvas.painted, c.painted) << c.line;
  }
  // Bars in column 0 (from 10 to 110, 100 pixels wide) of a line at (3, 20),
  // ending where given (none: 0; the shortest is 2%), then column 1's text;
  // a percentage that is no number shows as text.
  const std::pair<std::string, int32_t> bars[] = {
      {"50", 62}, {"100", 112}, {"150", 112}, {"50.5", 63}, {" +25", 37}, {"2", 14}, {"1", 0},
      {"0", 0},   {"-5", 0},    {"abc", -1},  {"5x", -1},   {"inf", -1},  {"", -1},  {"1e999", -1}};
  for (const auto& [percent, right] : bars) {
    MarkupColumns columns = columnsAt({10, 115});
    columns.setLastColumnEnd(150);
    FixedCanvas canvas;
    columns.paintLine(3, 20, "\\BAR:" + percent + "|next", canvas);
    const std::string shown = right > 0    ? "bar 13-" + std::to_string(right) + " 21-30#2; "
                              : right == 0 ? ""
                                           : "13:\\BAR:" + percent + "; ";
    EXPECT_EQ(canvas.painted, shown + "118:next") << percent;
  }
}

TEST(MarkupColumnsTest, MiddleColumnsShortenTheirTextLastAndRightAlignedOnesDoNot) {
  struct Case {
    const char* text;
    int32_t width;
    const char* shown;
  };
  const Case cases[] = {
      {"abcdefgh", 64, "abcdefg"},  // exactly as wide as the column: one less
      {"abcdefghij", 60, "abcdefg"},
      {"WWWWWiiiii", 50, "WWW"},      // the guess (5 characters) is too wide: lowered
      {"iiiiiiWWWW", 40, "iiiiiiW"},  // the guess (5) is too narrow: raised
      {"abc", 100, "abc"},
  };
  for (const Case& c : cases) {
    MarkupColumns columns = columnsAt({0, c.width + 5, 290});
    FixedCanvas canvas;
    columns.paintLine(0, 0, std::string(c.text) + "|" + c.text, canvas);
    ASSERT_GE(canvas.texts.size(), 1u) << c.text;
    EXPECT_EQ(canvas.texts[0], c.shown) << c.text << " in " << c.width;
    EXPECT_EQ(canvas.texts.back(), c.text);  // the last column is drawn whole
    EXPECT_LT(canvas.measurements, 12) << c.text;
  }
  MarkupColumns right = columnsAt({0, 100});
  right.setColumnRightAligned(0, true);
  FixedCanvas canvas;
  right.paintLine(2, 0, "WWWWWWWWWW|x", canvas);
  EXPECT_EQ(canvas.painted, std::to_string(95 - 140 + 2) + ":WWWWWWWWWW; 102:x");
}

}  // namespace
}  // namespace jcamp::ui

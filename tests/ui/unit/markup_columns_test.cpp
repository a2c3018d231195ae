// The mark-up list box's columns and line painting, on a canvas whose
// characters have fixed widths: 'i' 4 units, 'W' 14, every other one 8.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/markup_columns.h"

namespace jcamp::ui {
namespace {

constexpr int32_t kClientWidth = 302;  // default column end: 300
constexpr int32_t kLineHeight = 14;
constexpr Colour kText = 0x010101;
constexpr Colour kCaption = 0x020202;

struct DrawnText {
  int32_t x;
  std::string text;
  Colour colour;
};
struct Fill {
  int32_t left, top, right, bottom;
  Colour colour;
};
struct Rule {
  int32_t x1, y1, x2, y2;
  Colour colour;
};

class FixedCanvas : public Canvas {
 public:
  int32_t textWidth(const std::string& text) override {
    ++measurements;
    int32_t width = 0;
    for (const char c : text) width += c == 'i' ? 4 : c == 'W' ? 14 : 8;
    return width;
  }
  void drawText(int32_t x, int32_t, const std::string& text) override {
    texts.push_back({x, text, colour_});
  }
  void fillRect(int32_t l, int32_t t, int32_t r, int32_t b, Colour colour) override {
    fills.push_back({l, t, r, b, colour});
  }
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Colour colour) override {
    rules.push_back({x1, y1, x2, y2, colour});
  }
  Colour textColour() const override { return colour_; }
  void setTextColour(Colour colour) override { colour_ = colour; }
  void setBackColour(Colour) override {}
  Colour systemColour(int32_t index) const override {
    return index == kColourActiveCaption ? kCaption : 0;
  }
  int32_t lineHeight() const override { return kLineHeight; }

  std::vector<std::string> textsOnly() const {
    std::vector<std::string> out;
    for (const auto& t : texts) out.push_back(t.text);
    return out;
  }

  std::vector<DrawnText> texts;
  std::vector<Fill> fills;
  std::vector<Rule> rules;
  int measurements = 0;

 private:
  Colour colour_ = kText;
};

MarkupColumns columnsAt(std::initializer_list<int32_t> starts) {
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

TEST(MarkupColumnsTest, CutsTheLineIntoColumnsWithASpaceForEachEmptyOne) {
  struct Case {
    const char* line;
    std::vector<std::string> drawn;
  };
  const Case cases[] = {
      {"|5|6", {" ", "5", "6"}},
      {"A||B", {"A", " ", "B"}},
      {"A|B|", {"A", "B"}},
      {"A|B|C|D", {"A", "B", "C"}},  // three columns: the fourth text is ignored
      {"", {}},
  };
  for (const Case& c : cases) {
    MarkupColumns columns = columnsAt({0, 100, 150});
    FixedCanvas canvas;
    columns.paintLine(0, 0, c.line, canvas);
    EXPECT_EQ(canvas.textsOnly(), c.drawn) << c.line;
  }
  // Without columns the whole line is one column at x.
  MarkupColumns none;
  FixedCanvas canvas;
  none.paintLine(7, 0, "alone", canvas);
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].x, 7);
}

TEST(MarkupColumnsTest, BarFillsItsPercentageOfTheColumnWidthInSinglePrecision) {
  struct Case {
    const char* value;
    int32_t length;  // -1: drawn as text
  };
  const Case cases[] = {{"50", 49},  {"100", 99}, {"150", 99},  {"50.5", 50}, {" +25", 24},
                        {"1", 0},    {"0", 0},    {"-5", 0},    {"abc", -1},  {"5x", -1},
                        {"inf", -1}, {"", -1},    {"1e999", -1}};
  for (const Case& c : cases) {
    MarkupColumns columns = columnsAt({10, 115});  // column 0: 100 pixels wide
    columns.setLastColumnEnd(150);
    FixedCanvas canvas;
    const std::string text = std::string("\\BAR:") + c.value + "|next";
    columns.paintLine(3, 20, text, canvas);
    if (c.length < 0) {
      EXPECT_TRUE(canvas.fills.empty()) << c.value;
      ASSERT_EQ(canvas.texts.size(), 2u) << c.value;
      continue;
    }
    ASSERT_EQ(canvas.texts.size(), 1u) << c.value;  // only "next"
    if (c.length == 0) {
      EXPECT_TRUE(canvas.fills.empty()) << c.value;
      continue;
    }
    ASSERT_EQ(canvas.fills.size(), 1u) << c.value;
    const Fill& fill = canvas.fills[0];
    EXPECT_EQ(fill.right - fill.left, c.length) << c.value;
    EXPECT_EQ(fill.left, 13);
    EXPECT_EQ(fill.top, 21);
    EXPECT_EQ(fill.bottom, 20 + kLineHeight - 4);
    EXPECT_EQ(fill.colour, kCaption);
  }
}

TEST(MarkupColumnsTest, MarkersSetTheColourDrawARuleOrBlankTheColumn) {
  MarkupColumns columns = columnsAt({0, 100, 200});
  FixedCanvas canvas;
  columns.paintLine(0, 30, "\\TEXTCOLOR(255)Alarm|Next|\\TEXTCOLOR(65280)Own", canvas);
  ASSERT_EQ(canvas.texts.size(), 3u);
  EXPECT_EQ(canvas.texts[0].text, "Alarm");
  EXPECT_EQ(canvas.texts[0].colour, 255u);
  EXPECT_EQ(canvas.texts[1].colour, 255u);  // the colour carries on
  EXPECT_EQ(canvas.texts[2].colour, 65280u);

  FixedCanvas rule;
  columns.paintLine(5, 30, "\\TEXTCOLOR(255)\\TOPLINE Total", rule);
  ASSERT_EQ(rule.rules.size(), 1u);
  EXPECT_EQ(rule.rules[0].x1, 0);
  EXPECT_EQ(rule.rules[0].y1, 28);
  EXPECT_EQ(rule.rules[0].x2, 1024);
  EXPECT_EQ(rule.rules[0].colour, 255u);
  ASSERT_EQ(rule.texts.size(), 1u);
  EXPECT_EQ(rule.texts[0].text, "Total");
  EXPECT_EQ(rule.texts[0].colour, 255u);

  FixedCanvas blank;
  columns.paintLine(0, 0, "\\BITMAP:pic,3|\\BITMAP:pic|\\TEXTCOLOR(9", blank);
  EXPECT_EQ(blank.textsOnly(), (std::vector<std::string>{"\\BITMAP:pic", "\\TEXTCOLOR(9"}));
  EXPECT_EQ(blank.texts[1].colour, kText);
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
    EXPECT_EQ(canvas.texts[0].text, c.shown) << c.text << " in " << c.width;
    EXPECT_EQ(canvas.texts.back().text, c.text);  // the last column is drawn whole
    EXPECT_LT(canvas.measurements, 12) << c.text;
  }
  MarkupColumns right = columnsAt({0, 100});
  right.setColumnRightAligned(0, true);
  FixedCanvas canvas;
  right.paintLine(2, 0, "WWWWWWWWWW|x", canvas);
  EXPECT_EQ(canvas.texts[0].text, "WWWWWWWWWW");
  EXPECT_EQ(canvas.texts[0].x, 95 - 140 + 2);
}

}  // namespace
}  // namespace jcamp::ui

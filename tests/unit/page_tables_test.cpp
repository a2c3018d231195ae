// The variable list of an NTUPLES page, and the fields of the variables' lists.
#include <gtest/gtest.h>

#include <string>

#include "labels/page_tables.h"

namespace jcamp {
namespace {

TEST(PageTablesTest, AVariableListNamesItsXAndYVariables) {
  struct Case {
    const char* list;
    const char* symbols;
    std::string form;  // "x++y", "xy" or "-"
  };
  const Case cases[] = {
      {"(X++(R..R)), XYDATA", "X, R, I, N", "X++R"},
      {"( x ++ ( i .. i ) ), XYDATA", nullptr, "X++I"},
      {"(F2++(Y..Y)), PROFILE", "F1, F2, Y", "F2++Y"},
      {"(XY..XY), PEAKS", "X, Y, T", "XY"},
      {"(F2Y..F2Y)", "F1,F2,Y", "F2Y"},  // split where both are symbols
      {"(XY..XY)", "INDEPENDENT, DEPENDENT", "XY"},
      {"(X++(R..I))", "X, R, I", "-"},
      {"(XYT..XYT), PEAKS", "X, Y, T", "-"},
      {"(XYW..XYW)", nullptr, "-"},
      {"", nullptr, "-"},
      {nullptr, nullptr, "-"},
  };
  for (const Case& c : cases) {
    const PageTableForm form = pageTableForm(c.list, c.symbols);
    std::string text = "-";
    if (form.kind == PageTableForm::kIncrements) text = form.x + "++" + form.y;
    if (form.kind == PageTableForm::kPairs) text = form.x + form.y;
    EXPECT_EQ(text, c.form) << (c.list != nullptr ? c.list : "(null)");
  }
}

TEST(PageTablesTest, ListsAreReadFieldByField) {
  const char* dims = " 16384 ,16384,, 2";
  EXPECT_EQ(listField(dims, 0), "16384");
  EXPECT_EQ(listField(dims, 1), "16384");
  EXPECT_EQ(listField(dims, 2), "");
  EXPECT_EQ(listField(dims, 3), "2");
  EXPECT_EQ(listField(dims, 4), "");
  EXPECT_EQ(listField(nullptr, 0), "");
  EXPECT_EQ(symbolColumn("X, R, I, N", "i"), 2);
  EXPECT_EQ(symbolColumn("X, R, I, N", "Y"), -1);
  EXPECT_EQ(symbolColumn("F1,F2,Y", "F2"), 1);
}

}  // namespace
}  // namespace jcamp

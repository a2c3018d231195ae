#include "labels/data_types.h"

#include <gtest/gtest.h>

#include <string>

#include "labels/jcamp_block.h"

namespace jcamp {
namespace {

struct Case {
  const char* text;
  uint32_t code;
  const char* after;
};

TEST(DataTypesTest, DataTypeIsTheWholeUpperCasedText) {
  const Case cases[] = {
      {"infrared spectrum", kDataTypeInfraredSpectrum, "INFRARED SPECTRUM"},
      {"INFRARED SPECTRUM (TRANSMITTANCE)", kDataTypeOther, "INFRARED SPECTRUM (TRANSMITTANCE)"},
      {"link", kDataTypeLink, "LINK"},
      {"UVVIS", kDataTypeUvVis, "UVVIS"},
      {"uv-vis", kDataTypeOther, "UV-VIS"},
      {"NMR  SPECTRUM", kDataTypeOther, "NMR  SPECTRUM"},
      {"Nmr Peak Assignments", kDataTypeNmrPeakAssignments, "NMR PEAK ASSIGNMENTS"},
      {"", kDataTypeOther, ""},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(classifyDataType(text.data()), c.code) << c.text;
    EXPECT_EQ(text, c.after);
  }
  EXPECT_EQ(classifyDataType(nullptr), kDataTypeOther);
}

TEST(DataTypesTest, DataClassSetsTheTableForm) {
  const Case cases[] = {
      {"Peak Table", kTableFormPeakTable, "PEAK TABLE"},
      {"XYDATA (X++(Y..Y))", kTableFormOther, "XYDATA (X++(Y..Y))"},
      {"xydata", kTableFormXyData, "XYDATA"},
      {"XYPOINTS", kTableFormXyPoints, "XYPOINTS"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    JcampBlock block;
    block.tableForm = 99;
    classifyDataClass(block, text.data());
    EXPECT_EQ(block.tableForm, c.code) << c.text;
    EXPECT_EQ(text, c.after);
  }
  JcampBlock block;
  block.tableForm = kTableFormXyData;
  classifyDataClass(block, nullptr);
  EXPECT_EQ(block.tableForm, kTableFormOther);
}

}  // namespace
}  // namespace jcamp

#include "labels/label_dictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "labels/data_types.h"
#include "labels/jcamp_block.h"
#include "labels/markers.h"
#include "support/text_document.h"

namespace jcamp {
namespace {

using testdocument::buildSpans;

TEST(LabelDictionaryTest, NamesMatchWholeAndExactly) {
  // The ends of the table, the longest name, and names that share a length.
  std::string rows;
  for (const char* name : {"TITLE", "JCAMPDX", ".IMSPRESSURE", "XYDATA", "XYPOINTS", "DATE", "TIME",
                           "MAXX", "MINX", "MAXY", "MINY", "INSTRUMENTALPARAMETERS", ".AVERAGES"}) {
    rows += std::to_string(dictionaryRow(name)) + " ";
  }
  EXPECT_EQ(rows, "1 2 8 24 25 26 27 44 45 46 47 39 58 ");
  const std::string tooLong(300, 'X');
  for (const char* name : {"", "IMSPRESSURE", "RESOLUTION", "END", "BLOCKS", "DELTAX", "TITL",
                           "TITLEX", "title", "XYDATA ", ".AVERAGE", "AVERAGES", "SAMPLEDESCRIPTIO",
                           "INSTRUMENTALPARAMETERSX", tooLong.c_str()}) {
    EXPECT_EQ(dictionaryRow(name), 0u) << name;
  }
  EXPECT_EQ(dictionaryRow(nullptr), 0u);
}

TEST(LabelDictionaryTest, LabelsOfABlockFillTheirFields) {
  JcampDocument document = testdocument::documentFor(kHostCompatibleRules);
  buildSpans(document,
             "##TITLE= sample\n##JCAMP-DX= 4.24\n##DATA TYPE= infrared spectrum\n"
             "##DATA CLASS= XYPOINTS\n##.IMS PRESSURE= 1013\n##IMSPRESSURE= 5\n##RESOLUTION= 4\n"
             "##YUNITS= ABSORBANCE\n##YUNITS= TRANSMITTANCE\n"
             "##FIRSTX= 1\n##XFACTOR= 1\n##YFACTOR= 2\n##XYDATA= (X++(Y..Y))\n1 1 2 3\n"
             "##NPOINTS= 3\n##LONG DATE= 2024/01/02 03:04:05\n##.ELECTRIC FIELD= 1.5, 2.5\n"
             "##.AVERAGES= -3\n##END=\n");
  ASSERT_EQ(document.buildDataBlocks(), kStatusOk);
  ASSERT_EQ(document.dataBlockCount, 1u);
  const JcampBlock& block = document.dataBlocks[0];
  EXPECT_STREQ(valueText(document.context, *block.title), "sample");
  EXPECT_EQ(block.jcampVersion, 4.24f);
  EXPECT_EQ(block.dataType, kDataTypeInfraredSpectrum);
  EXPECT_STREQ(valueText(document.context, document.labels[2]),
               "INFRARED SPECTRUM");      // upper-cased in place
  EXPECT_EQ(block.imsPressure, 1013.0f);  // and ##IMSPRESSURE= is no dictionary label
  EXPECT_STREQ(valueText(document.context, *block.yUnits), "TRANSMITTANCE");
  // The table decides the form, whatever DATACLASS said before it; it was read
  // while nPoints was 0, so the NPOINTS after it changes nothing in it.
  EXPECT_EQ(block.tableForm, kTableFormXyData);
  EXPECT_EQ(block.nPoints, 3u);
  ASSERT_EQ(block.tableLength, 3u);
  EXPECT_EQ(std::vector<float>(block.yValues.get(), block.yValues.get() + 3),
            (std::vector<float>{2, 4, 6}));
  EXPECT_EQ(block.checkFlags, kCheckCount);
  EXPECT_EQ(block.year, 2024u);
  EXPECT_EQ(block.minute, 4u);
  EXPECT_EQ(block.electricField[1], 2.5f);
  EXPECT_EQ(block.averages, -3);
  // Labels the block does not give keep their initial values.
  EXPECT_EQ(block.blockId, 0u);
  EXPECT_EQ(block.maxY, kUnsetValue);
}

TEST(LabelDictionaryTest, ALaterTableReplacesTheEarlierOne) {
  const std::string header = "##NPOINTS= 2\n##XFACTOR= 1\n##YFACTOR= 1\n";
  const std::string points = "##XYPOINTS= (XY..XY)\n1, 5; 2, 6\n";
  const std::string data = "##XYDATA= (X++(Y..Y))\n1 7 8\n";
  const std::string peaks = "##DATA CLASS= PEAK TABLE\n";
  JcampDocument document = testdocument::documentFor(kHostCompatibleRules);
  buildSpans(document, "##TITLE= t\n" + header + points + peaks + data + "##END=\n##TITLE= u\n" +
                           header + data + points + peaks + "##END=\n");
  ASSERT_EQ(document.buildDataBlocks(), kStatusOk);
  ASSERT_EQ(document.dataBlockCount, 2u);
  const JcampBlock& xyDataLast = document.dataBlocks[0];
  EXPECT_EQ(xyDataLast.tableForm, kTableFormXyData);
  EXPECT_EQ(xyDataLast.yValues[1], 8.0f);
  EXPECT_EQ(xyDataLast.xValues, nullptr);  // the abscissas of the replaced table go with it
  EXPECT_EQ(xyDataLast.xIsReal, nullptr);
  const JcampBlock& xyPointsLast = document.dataBlocks[1];
  EXPECT_EQ(xyPointsLast.tableForm, kTableFormPeakTable);  // the last of the three decides
  EXPECT_EQ(xyPointsLast.yValues[1], 6.0f);
  EXPECT_EQ(xyPointsLast.xValues[1], 2.0f);
}

// ##DATATYPE= and ##DATACLASS= are upper-cased in place and known only whole.
TEST(DataTypesTest, TypesAndClassesAreTheWholeUpperCasedText) {
  const struct {
    bool dataClass;
    const char* text;
    uint32_t code;
    const char* after;
  } cases[] = {
      {false, "infrared spectrum", kDataTypeInfraredSpectrum, "INFRARED SPECTRUM"},
      {false, "INFRARED SPECTRUM (TRANSMITTANCE)", kDataTypeOther, nullptr},
      {false, "link", kDataTypeLink, "LINK"},
      {false, "UVVIS", kDataTypeUvVis, nullptr},
      {false, "uv-vis", kDataTypeOther, "UV-VIS"},
      {false, "NMR  SPECTRUM", kDataTypeOther, nullptr},
      {false, "Nmr Peak Assignments", kDataTypeNmrPeakAssignments, "NMR PEAK ASSIGNMENTS"},
      {false, "", kDataTypeOther, nullptr},
      {false, "Quartz", kDataTypeOther, "QUARTZ"},
      {true, "Peak Table", kTableFormPeakTable, "PEAK TABLE"},
      {true, "XYDATA (X++(Y..Y))", kTableFormOther, nullptr},
      {true, "xydata", kTableFormXyData, "XYDATA"},
      {true, "XYPOINTS", kTableFormXyPoints, nullptr},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    JcampBlock block;
    block.tableForm = 99;
    if (c.dataClass) classifyDataClass(block, text.data());
    EXPECT_EQ(c.dataClass ? block.tableForm : classifyDataType(text.data()), c.code) << c.text;
    EXPECT_EQ(text, c.after ? c.after : c.text);
  }
  JcampBlock block;
  block.tableForm = kTableFormXyData;
  classifyDataClass(block, nullptr);
  EXPECT_EQ(block.tableForm, kTableFormOther);
  EXPECT_EQ(classifyDataType(nullptr), kDataTypeOther);
}

}  // namespace
}  // namespace jcamp

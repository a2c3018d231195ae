#include "labels/label_dictionary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "labels/data_types.h"
#include "labels/markers.h"

namespace jcamp {
namespace {

TEST(LabelDictionaryTest, EveryNameFindsItsRowAndNothingElseMatches) {
  // The dictionary in its order, blank-separated.
  const std::string order =
      "TITLE JCAMPDX DATATYPE DATACLASS ORIGIN OWNER BLOCKID .IMSPRESSURE .CARRIERGAS .DRIFTGAS "
      ".ELECTRICFIELD .IONPOLARITY .IONIZATIONMODE .IMSTEMPERATURE .SHUTTEROPENINGTIME XUNITS "
      "YUNITS FIRSTX LASTX FIRSTY XFACTOR YFACTOR NPOINTS XYDATA XYPOINTS DATE TIME LONGDATE "
      "SOURCEREFERENCE CROSSREFERENCE SAMPLEDESCRIPTION CASNAME IUPACNAME NAMES MOLFORM "
      "CASREGISTRYNO CONCENTRATIONS SPECTROMETERDATASYSTEM INSTRUMENTALPARAMETERS DATAPROCESSING "
      "COMMENT XLABEL YLABEL MAXX MINX MAXY MINY .REDUCEDMOBILITY .IONIZATIONENERGY "
      ".IONIZATIONCHAMBER .DRIFTCHAMBER .CARRIERGASFLOW .DRIFTGASFLOW .CARRIERGASMOISTURE "
      ".IONIZATIONSOURCE .SHUTTERGRIDPOTENTIAL .REPETITIONRATE .AVERAGES";
  std::istringstream names(order);
  uint32_t row = 0;
  for (std::string name; names >> name;) EXPECT_EQ(dictionaryRow(name.c_str()), ++row) << name;
  EXPECT_EQ(row, kDictionarySize);
  const std::string tooLong(300, 'X');
  for (const char* name :
       {"", "IMSPRESSURE", "RESOLUTION", "END", "BLOCKS", "DELTAX", "TITL", "TITLEX", "title",
        "XYDATA ", ".AVERAGE", "AVERAGES", "SAMPLEDESCRIPTIO", tooLong.c_str()}) {
    EXPECT_EQ(dictionaryRow(name), 0u) << name;
  }
  EXPECT_EQ(dictionaryRow(nullptr), 0u);
}

// The data blocks of a document loaded from text (no title check).
class DocumentBlocks {
 public:
  explicit DocumentBlocks(const std::string& text, uint32_t concentrations = 0) {
    document_.lineTable = std::make_unique<LineTable>();
    EXPECT_EQ(document_.lineTable->loadText(text.data(), text.size()), kDocOk);
    document_.lineTable->normalizeLines();
    EXPECT_EQ(document_.buildLabels(), kDocOk);
    EXPECT_EQ(document_.buildBlocks(), kDocOk);
    document_.concentrationCapacity = concentrations;
    status_ = document_.buildDataBlocks();
  }
  uint32_t status() const { return status_; }
  uint32_t count() const { return document_.dataBlockCount; }
  const JcampBlock& block(uint32_t k) const { return document_.dataBlocks[k]; }

 private:
  JcampDocument document_;
  uint32_t status_ = 0;
};

std::string textOf(JcampBlock::Ref ref) {
  if (ref == nullptr) return "(null)";
  const char* text = valueText(*ref);
  return text != nullptr ? text : "(no line)";
}

TEST(LabelDictionaryTest, LabelsOfABlockFillTheirFields) {
  const DocumentBlocks blocks(
      "##TITLE= sample\n"
      "##JCAMP-DX= 4.24\n"
      "##DATA CLASS= XYPOINTS\n"
      "##.IMS PRESSURE= 1013\n"
      "##IMSPRESSURE= 5\n"
      "##RESOLUTION= 4\n"
      "##YUNITS= ABSORBANCE\n"
      "##YUNITS= TRANSMITTANCE\n"
      "##FIRSTX= 1\n"
      "##LASTX= 3\n"
      "##XFACTOR= 1\n"
      "##YFACTOR= 2\n"
      "##FIRSTY= 2\n"
      "##XYDATA= (X++(Y..Y))\n"
      "1 1 2 3\n"
      "##NPOINTS= 3\n"
      "##LONG DATE= 2024/01/02 03:04:05\n"
      "##.ELECTRIC FIELD= 1.5, 2.5\n"
      "##.AVERAGES= -3\n"
      "##END=\n");
  ASSERT_EQ(blocks.count(), 1u);
  const JcampBlock& block = blocks.block(0);
  EXPECT_EQ(textOf(block.title), "sample");
  EXPECT_EQ(block.jcampVersion, 4.24f);
  EXPECT_EQ(block.imsPressure, 1013.0f);  // and ##IMSPRESSURE= is no dictionary label
  EXPECT_EQ(textOf(block.yUnits), "TRANSMITTANCE");
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
  EXPECT_EQ(block.dataType, 0u);
  EXPECT_EQ(block.maxY, kUnsetValue);
  EXPECT_EQ(block.origin, nullptr);
  EXPECT_EQ(block.xValues, nullptr);
  EXPECT_EQ(block.concentrations, nullptr);
  EXPECT_EQ(block.zone, 0);
}

TEST(LabelDictionaryTest, DataTypeIsClassifiedAndItsLineUpperCased) {
  std::string value = "infrared spectrum";
  char* line = value.data();
  currentLineTable = LineView{&line, 1};
  LabelRecord record;
  record.lineCount = 1;
  record.name = std::unique_ptr<char[]>(new char[9]);
  std::memcpy(record.name.get(), "DATATYPE", 9);
  JcampBlock block;
  EXPECT_EQ(applyLabel(block, record), kDocOk);
  EXPECT_EQ(block.dataType, kDataTypeInfraredSpectrum);
  EXPECT_EQ(value, "INFRARED SPECTRUM");
  currentLineTable = LineView{};
}

TEST(LabelDictionaryTest, ALaterTableReplacesTheEarlierOne) {
  const DocumentBlocks blocks(
      "##TITLE= t\n##NPOINTS= 2\n##XFACTOR= 1\n##YFACTOR= 1\n"
      "##XYPOINTS= (XY..XY)\n1, 5; 2, 6\n"
      "##DATA CLASS= PEAK TABLE\n"
      "##XYDATA= (X++(Y..Y))\n1 7 8\n"
      "##END=\n"
      "##TITLE= u\n##NPOINTS= 2\n##XFACTOR= 1\n##YFACTOR= 1\n"
      "##XYDATA= (X++(Y..Y))\n1 7 8\n"
      "##XYPOINTS= (XY..XY)\n1, 5; 2, 6\n"
      "##DATA CLASS= PEAK TABLE\n"
      "##END=\n");
  ASSERT_EQ(blocks.count(), 2u);
  const JcampBlock& points = blocks.block(1);
  const JcampBlock& data = blocks.block(0);
  EXPECT_EQ(data.tableForm, kTableFormXyData);
  EXPECT_EQ(data.yValues[1], 8.0f);
  EXPECT_EQ(data.xValues, nullptr);  // the abscissas of the replaced table go with it
  EXPECT_EQ(data.xIsReal, nullptr);
  EXPECT_EQ(points.tableForm, kTableFormPeakTable);  // the last of the three decides
  EXPECT_EQ(points.yValues[1], 6.0f);
  EXPECT_EQ(points.xValues[1], 2.0f);
}

}  // namespace
}  // namespace jcamp

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "labels/markers.h"

namespace jcamp {
namespace {

// Lines, labels and spans of text (no title check); data blocks are left to the test.
void buildSpans(JcampDocument& document, const std::string& text) {
  document.lineTable = std::make_unique<LineTable>();
  ASSERT_EQ(document.lineTable->loadText(text.data(), text.size()), kDocOk);
  document.lineTable->normalizeLines();
  ASSERT_EQ(document.buildLabels(), kDocOk);
  ASSERT_EQ(document.buildBlocks(), kDocOk);
}

std::string titleOf(const JcampBlock& block) {
  return block.title != nullptr ? valueText(*block.title) : "(none)";
}

TEST(DataBlocksTest, ALinkBlockEnclosingThreeBlocksGivesThreeDataBlocks) {
  JcampDocument document;
  buildSpans(document,
             "##TITLE= set\n##DATA TYPE= LINK\n##BLOCKS= 3\n##NPOINTS= 7\n"
             "##TITLE= one\n##DATA TYPE= INFRARED SPECTRUM\n"
             "##CONCENTRATIONS= (NCU)\n(<water>, 12.5, %)\n(<fat>, 2, %)\n(<salt>, 1, %)\n"
             "##END=\n"
             "##TITLE= two\n##END=\n"  // no DATA TYPE: a data block all the same
             "##TITLE= three\n##DATA TYPE= RAMAN SPECTRUM\n##END=\n"
             "##END=\n");
  document.concentrationCapacity = 2;
  ASSERT_EQ(document.buildDataBlocks(), kDocOk);
  ASSERT_EQ(document.dataBlockCount, 3u);
  EXPECT_EQ(titleOf(document.dataBlocks[0]), "one");
  EXPECT_EQ(titleOf(document.dataBlocks[1]), "two");
  EXPECT_EQ(titleOf(document.dataBlocks[2]), "three");
  EXPECT_EQ(document.dataBlocks[2].dataType, 6u);
  // The LINK block's own labels reach no data block.
  for (uint32_t k = 0; k < 3; ++k) EXPECT_EQ(document.dataBlocks[k].nPoints, 0u);

  const JcampBlock& first = document.dataBlocks[0];
  EXPECT_EQ(first.concentrationCount, 2u);
  ASSERT_EQ(first.concentrationLength, 2u);
  EXPECT_EQ(first.concentrations[0], 12.5f);
  EXPECT_EQ(first.concentrations[1], 2.0f);
  EXPECT_EQ(document.dataBlocks[1].concentrationCount, 2u);  // set before every label

  // Building again replaces the blocks.
  document.concentrationCapacity = 3;
  ASSERT_EQ(document.buildDataBlocks(), kDocOk);
  EXPECT_EQ(document.dataBlocks[0].concentrationLength, 3u);
  EXPECT_EQ(document.dataBlocks[0].concentrations[2], 1.0f);
}

TEST(DataBlocksTest, WithoutSpansThereIsNothingToBuild) {
  JcampDocument document;
  EXPECT_EQ(document.buildDataBlocks(), kDocNotReady);
  buildSpans(document, "##ORIGIN= no title\n##END=\n");
  EXPECT_EQ(document.buildDataBlocks(), kDocNotReady);
  EXPECT_EQ(document.dataBlockCount, 0u);
}

TEST(DataBlocksTest, ATableThatCannotBeHeldStopsTheStep) {
  std::string dups = "1 A1";
  for (int i = 0; i < 8; ++i) dups += "S000000000";
  JcampDocument document;
  buildSpans(document, "##TITLE= one\n##NPOINTS= 4000000000\n##XYDATA= (X++(Y..Y))\n" + dups +
                           "\n##END=\n##TITLE= two\n##END=\n");
  EXPECT_EQ(document.buildDataBlocks(), kDocNoMemory);
  ASSERT_EQ(document.dataBlockCount, 2u);
  EXPECT_EQ(document.dataBlocks[0].yValues, nullptr);
  EXPECT_EQ(document.dataBlocks[1].title, nullptr);  // never reached
}

TEST(DataBlocksTest, BadTablesInADocumentStayInsideTheirArrays) {
  // Each block's table is one of the hard cases; the sanitizers watch every access.
  const std::string zigzag = [] {
    std::string line = "1 ";
    while (line.size() < 127) line += "Z9";
    return line.substr(0, 127);
  }();
  const std::string text =
      "##TITLE= dups\n##NPOINTS= 50\n##XYDATA= (X++(Y..Y))\n" + zigzag +
      "\n##END=\n"
      "##TITLE= digits\n##NPOINTS= 3\n##XYDATA= (X++(Y..Y))\n1 " +
      std::string(100, '9') + " J" + std::string(21, '1') +
      "\n##END=\n"
      "##TITLE= empty points\n##NPOINTS= 4\n##XYPOINTS= (XY..XY)\n,;,;\n"
      "(  )\n##END=\n"
      "##TITLE= no npoints\n##XFACTOR= 1\n##YFACTOR= 1\n##XYDATA= (X++(Y..Y))\n1 1 2 3\n"
      "##NPOINTS= 0\n##XYPOINTS= (XY..XY)\n1 2 3 4\n##END=\n";
  JcampDocument document;
  buildSpans(document, text);
  ASSERT_EQ(document.buildDataBlocks(), kDocOk);
  ASSERT_EQ(document.dataBlockCount, 4u);
  constexpr float kM = kMissingValue;
  const std::vector<float> tables[] = {
      std::vector<float>(50, 0.0f), {0, kM, kM}, {kM, kM, kM, kM}, {2, 4}};
  for (uint32_t k = 0; k < 4; ++k) {
    const JcampBlock& block = document.dataBlocks[k];
    EXPECT_EQ(std::vector<float>(block.yValues.get(), block.yValues.get() + block.tableLength),
              tables[k])
        << titleOf(block);
    EXPECT_NE(block.checkFlags & kCheckCount, 0u) << titleOf(block);
  }
  EXPECT_EQ(document.dataBlocks[2].xValues[3], kM);
  EXPECT_EQ(document.dataBlocks[3].xValues[1], 3.0f);
}

}  // namespace
}  // namespace jcamp

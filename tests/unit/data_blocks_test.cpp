#include <gtest/gtest.h>

#include <string>

#include "document/jcamp_document.h"
#include "labels/data_types.h"
#include "support/text_document.h"

namespace jcamp {
namespace {

using testdocument::buildSpans;

std::string titleOf(const JcampDocument& document, const JcampBlock& block) {
  return block.title != nullptr ? valueText(document.context, *block.title) : "(none)";
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
  EXPECT_EQ(titleOf(document, document.dataBlocks[0]), "one");
  EXPECT_EQ(titleOf(document, document.dataBlocks[1]), "two");
  EXPECT_EQ(titleOf(document, document.dataBlocks[2]), "three");
  EXPECT_EQ(document.dataBlocks[2].dataType, kDataTypeRamanSpectrum);
  // The LINK block's own labels reach no data block.
  for (uint32_t k = 0; k < 3; ++k) EXPECT_EQ(document.dataBlocks[k].nPoints, 0u);

  const JcampBlock& first = document.dataBlocks[0];
  EXPECT_NE(first.concentrationsRecord, nullptr);
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

// A compound block without ##DATATYPE=LINK: by default a data block that sees
// every enclosed label; under the standard rules only its own, and tables of
// (XY..XY) pairs are read as pairs whatever their label.
TEST(DataBlocksTest, UnderTheStandardRulesBlocksKeepTheirOwnTables) {
  const std::string text =
      "##TITLE= set\n##BLOCKS= 2\n"
      "##TITLE= peaks\n##NPOINTS= 2\n##PEAK TABLE= (XY..XY)\n10, 1; 20, 2\n##END=\n"
      "##TITLE= pairs\n##NPOINTS= 2\n##XYDATA= (xy..xy)\n30, 3; 40, 4\n##END=\n"
      "##END=\n";
  for (const ReadingRules& rules : {kHostCompatibleRules, kStandardRules}) {
    const bool standard = rules.rowsForBlocks;
    JcampDocument document;
    document.context.rules = rules;
    buildSpans(document, text);
    ASSERT_EQ(document.buildDataBlocks(), kDocOk);
    ASSERT_EQ(document.dataBlockCount, 3u);
    EXPECT_EQ(document.dataBlocks[0].tableForm, standard ? 0u : kTableFormXyData);
    EXPECT_EQ(document.dataBlocks[1].tableForm, standard ? kTableFormXyPoints : 0u);
    EXPECT_EQ(document.dataBlocks[2].tableForm, standard ? kTableFormXyPoints : kTableFormXyData);
    if (standard) {
      EXPECT_EQ(document.dataBlocks[1].xValues[1], 20.0f);
      EXPECT_EQ(document.dataBlocks[2].yValues[1], 4.0f);
    }
  }
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

}  // namespace
}  // namespace jcamp

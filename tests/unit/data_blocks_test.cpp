// Data blocks from spans: what each holds, and the same blocks whether spans
// that overlap (no ##END=, nesting) are filled in one pass over the labels or
// each block from its own labels one by one.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "document/block_state.h"
#include "document/jcamp_document.h"
#include "labels/data_types.h"
#include "support/jdx_text.h"
#include "support/test_paths.h"
#include "support/text_document.h"

namespace jcamp {
namespace {

using testdocument::buildSpans;
using testdocument::documentFor;

// "block.page title origin owner nPoints tableForm dataType; " of every data block.
std::string describeBlocks(const JcampDocument& document) {
  std::string blocks;
  for (uint32_t k = 0; k < document.dataBlockCount; ++k) {
    const JcampBlock& block = document.dataBlocks[k];
    const BlockOrigin& origin = document.blockOrigins[k];
    const auto text = [&](JcampBlock::Ref record) {
      return record != nullptr ? std::string(valueText(document.context, *record)) : "-";
    };
    blocks += std::to_string(origin.block) + "." + std::to_string(origin.page) + " " +
              text(block.title) + " " + text(block.origin) + " " + text(block.owner) + " " +
              std::to_string(block.nPoints) + " " + std::to_string(block.tableForm) + " " +
              std::to_string(block.dataType) + "; ";
  }
  return blocks;
}

TEST(DataBlocksTest, ALinkBlockEnclosingThreeBlocksGivesThreeDataBlocks) {
  JcampDocument document = documentFor(kHostCompatibleRules);
  buildSpans(document,
             "##TITLE= set\n##DATA TYPE= LINK\n##BLOCKS= 3\n##NPOINTS= 7\n"
             "##TITLE= one\n##DATA TYPE= INFRARED SPECTRUM\n"
             "##CONCENTRATIONS= (NCU)\n(<water>, 12.5, %)\n(<fat>, 2, %)\n(<salt>, 1, %)\n"
             "##END=\n"
             "##TITLE= two\n##END=\n"  // no DATA TYPE: a data block all the same
             "##TITLE= three\n##DATA TYPE= RAMAN SPECTRUM\n##END=\n"
             "##END=\n");
  document.concentrationCapacity = 2;
  ASSERT_EQ(document.buildDataBlocks(), kStatusOk);
  // The LINK block's own labels (its ##NPOINTS=) reach no data block.
  EXPECT_EQ(describeBlocks(document),
            "0.-1 one - - 0 0 2; 1.-1 two - - 0 0 0; 2.-1 three - - 0 0 6; ");
  const JcampBlock& first = document.dataBlocks[0];
  EXPECT_NE(first.concentrationsRecord, nullptr);
  EXPECT_EQ(first.concentrationCount, 2u);
  ASSERT_EQ(first.concentrationLength, 2u);
  EXPECT_EQ(first.concentrations[0], 12.5f);
  EXPECT_EQ(first.concentrations[1], 2.0f);
  EXPECT_EQ(document.dataBlocks[1].concentrationCount, 2u);  // set before every label

  // Building again replaces the blocks.
  document.concentrationCapacity = 3;
  ASSERT_EQ(document.buildDataBlocks(), kStatusOk);
  EXPECT_EQ(document.dataBlocks[0].concentrationLength, 3u);
  EXPECT_EQ(document.dataBlocks[0].concentrations[2], 1.0f);
}

// Under the standard rules each ##PAGE= section, or each of several tables,
// is a data block: the block's head, then the page's own labels (a block
// inside it keeps its labels), the last page running to the block's end.
TEST(DataBlocksTest, PagesTakeTheHeadAndTheirOwnLabels) {
  JcampDocument document = documentFor(kStandardRules);
  buildSpans(document,
             "##TITLE= paged\n##ORIGIN= head\n##NTUPLES= X\n"
             "##PAGE= N=1\n##ORIGIN= one\n"
             "##PAGE= N=2\n##NPOINTS= 2\n##TITLE= inner\n##ORIGIN= inner\n##END=\n"
             "##PAGE= N=3\n##END NTUPLES= X\n##OWNER= tail\n##END=\n"
             "##TITLE= tables\n##XYPOINTS=(XY..XY)\n1, 2\n##ORIGIN= two\n"
             "##XYPOINTS=(XY..XY)\n3, 4\n##END=\n");
  ASSERT_EQ(document.buildDataBlocks(), kStatusOk);
  EXPECT_EQ(describeBlocks(document),
            "0.0 paged one - 0 15 0; 0.1 paged head - 2 15 0; 0.2 paged head tail 0 15 0; "
            "1.-1 inner inner - 0 0 0; 2.0 tables - - 0 10 0; 2.1 tables two - 0 10 0; ");
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
    JcampDocument document = documentFor(rules);
    buildSpans(document, text);
    ASSERT_EQ(document.buildDataBlocks(), kStatusOk);
    EXPECT_EQ(describeBlocks(document),
              standard ? "0.-1 set - - 0 0 0; 1.-1 peaks - - 2 10 0; 2.-1 pairs - - 2 10 0; "
                       : "0.-1 pairs - - 2 11 0; 1.-1 peaks - - 2 0 0; 2.-1 pairs - - 2 11 0; ");
    if (standard) {
      EXPECT_EQ(document.dataBlocks[1].xValues[1], 20.0f);
      EXPECT_EQ(document.dataBlocks[2].yValues[1], 4.0f);
    }
  }
}

TEST(DataBlocksTest, ATableThatCannotBeHeldStopsTheStep) {
  std::string dups = "1 A1";
  for (int i = 0; i < 8; ++i) dups += "S000000000";
  JcampDocument document = documentFor(kHostCompatibleRules);
  buildSpans(document, "##TITLE= one\n##NPOINTS= 4000000000\n##XYDATA= (X++(Y..Y))\n" + dups +
                           "\n##END=\n##TITLE= two\n##END=\n");
  EXPECT_EQ(document.buildDataBlocks(), kStatusNoMemoryToRead);
  ASSERT_EQ(document.dataBlockCount, 2u);
  EXPECT_EQ(document.dataBlocks[0].yValues, nullptr);
  EXPECT_EQ(document.dataBlocks[1].title, nullptr);  // never reached
}

// Builds the data blocks of a document whose spans are built, both ways, and
// compares them block by block (the records they refer to are the same ones).
void expectSameBlocksBothWays(JcampDocument& document, uint32_t concentrations,
                              const std::string& what) {
  SCOPED_TRACE(what);
  document.concentrationCapacity = concentrations;
  const uint32_t eachStatus = document.buildDataBlocks(SpanFill::kEachSpan);
  const uint32_t count = document.dataBlockCount;
  const auto each = std::move(document.dataBlocks);
  const uint32_t togetherStatus = document.buildDataBlocks(SpanFill::kTogether);
  ASSERT_EQ(togetherStatus, eachStatus);
  ASSERT_EQ(document.dataBlockCount, count);
  // After a failed step the blocks are half filled in either order: only the status counts.
  if (eachStatus != kStatusOk) return;
  for (uint32_t k = 0; k < count; ++k) {
    EXPECT_TRUE(sameBlockState(each[k], document.dataBlocks[k])) << "data block " << k;
  }
}

void expectSameBlocksForText(const std::string& text, uint32_t concentrations = 2) {
  JcampDocument document = documentFor(kHostCompatibleRules);
  testdocument::buildSpans(document, text);
  expectSameBlocksBothWays(document, concentrations, text.substr(0, 200));
}

// Random soups of labels: every shape of overlap the pass may meet (no END,
// nesting, LINK blocks inside open ones, DATATYPE after an END), with later
// tables decoded with their own factors and with those left over from earlier blocks.
TEST(SpanFillTest, RandomLabelSoupsGiveTheSameBlocks) {
  // The pieces, '|' between them.
  std::istringstream soupPieces(
      "##TITLE=t\n|##TITLE=u\n|##END=\n|##END=\n|##DATA TYPE=LINK\n|##DATATYPE=INFRARED SPECTRUM\n|"
      "##YFACTOR=2\n|##YFACTOR=0.5\n|##XFACTOR=3\n|##NPOINTS=3\n|##NPOINTS=5\n|"
      "##FIRSTX=1\n##LASTX=5\n|##FIRSTY=2\n|##ORIGIN=o\n|##SAMPLE DESCRIPTION=d\n|"
      "##DATACLASS=XYPOINTS\n|##XYDATA=(X++(Y..Y))\n1 1 2 3\n4 J1%\n|"
      "##XYPOINTS=(XY..XY)\n1, 2; 3, 4.5\n|"
      "##CONCENTRATIONS=(NCU)\n(a, 1, %)\n(b, 2, %)\n(c, 3, %)\n|##TIME=10:11:12\n|"
      "##LONGDATE=2021/03/04 05:06\n|##.ELECTRIC FIELD=1, 2\n");
  std::vector<std::string> pieces;
  for (std::string piece; std::getline(soupPieces, piece, '|');) pieces.push_back(piece);
  std::mt19937 random(11);
  for (int soup = 0; soup < 300; ++soup) {
    std::string text = "##TITLE=first\n";
    const int length = 5 + static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
    expectSameBlocksForText(text, random() % 4);
  }
}

// The case the pass exists for: thousands of blocks without END.
TEST(SpanFillTest, ManyBlocksWithoutEndGiveTheSameBlocks) {
  expectSameBlocksForText(jdxtext::unendedBlocks(1500));
}

// Every public file loads or lacks a title; its labels and spans stay inside
// their tables, and its blocks come out alike both ways (read entry by entry,
// so that the sanitizers see any length a block overstates).
TEST(SpanFillTest, EveryCorpusFileGivesConsistentBlocksBothWays) {
  SKIP_WITHOUT_CORPUS();
  for (const std::string& path : testpaths::corpusFiles()) {
    JcampDocument document = documentFor(kHostCompatibleRules);
    const uint32_t status = document.readFile(path.c_str());
    ASSERT_TRUE(status == kStatusOk || status == kStatusNoTitle) << path << ": " << status;
    if (status != kStatusOk) continue;
    testdocument::expectConsistent(document, path);
    expectSameBlocksBothWays(document, 3, path);
  }
}

}  // namespace
}  // namespace jcamp

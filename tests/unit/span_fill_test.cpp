// Blocks whose spans overlap (no ##END=, nesting) are filled in one pass over
// the labels; every block must come out exactly as when its own labels are
// applied to it one by one.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "document/block_state.h"
#include "document/jcamp_document.h"
#include "support/test_paths.h"
#include "support/text_document.h"

namespace jcamp {
namespace {

// Builds the data blocks of a document whose spans are built, both ways, and
// compares them block by block (the records they refer to are the same ones).
void expectSameBlocksBothWays(JcampDocument& document, uint32_t concentrations,
                              const std::string& what) {
  SCOPED_TRACE(what);
  document.concentrationCapacity = concentrations;
  const uint32_t eachStatus = document.buildDataBlocks(SpanFill::kEachSpan);
  const uint32_t count = document.dataBlockCount;
  const std::unique_ptr<JcampBlock[]> each = std::move(document.dataBlocks);
  const uint32_t togetherStatus = document.buildDataBlocks(SpanFill::kTogether);
  ASSERT_EQ(togetherStatus, eachStatus);
  ASSERT_EQ(document.dataBlockCount, count);
  // After a failed step the blocks are half filled in either order: only the status counts.
  if (eachStatus != kDocOk) return;
  for (uint32_t k = 0; k < count; ++k) {
    EXPECT_TRUE(sameBlockState(each[k], document.dataBlocks[k])) << "data block " << k;
  }
}

void expectSameBlocksForText(const std::string& text, uint32_t concentrations = 2) {
  JcampDocument document;
  testdocument::buildSpans(document, text);
  expectSameBlocksBothWays(document, concentrations, text.substr(0, 200));
}

// Random soups of labels: every shape of overlap the pass may meet (no END,
// nesting, LINK blocks inside open ones, DATATYPE after an END), with later
// tables decoded with their own factors and with those left over from earlier blocks.
TEST(SpanFillTest, RandomLabelSoupsGiveTheSameBlocks) {
  const std::vector<std::string> pieces = {
      "##TITLE=t\n",
      "##TITLE=u\n",
      "##END=\n",
      "##END=\n",
      "##DATA TYPE=LINK\n",
      "##DATATYPE=INFRARED SPECTRUM\n",
      "##YFACTOR=2\n",
      "##YFACTOR=0.5\n",
      "##XFACTOR=3\n",
      "##NPOINTS=3\n",
      "##NPOINTS=5\n",
      "##FIRSTX=1\n##LASTX=5\n",
      "##FIRSTY=2\n",
      "##ORIGIN=o\n",
      "##SAMPLE DESCRIPTION=d\n",
      "##DATACLASS=XYPOINTS\n",
      "##XYDATA=(X++(Y..Y))\n1 1 2 3\n4 J1%\n",
      "##XYPOINTS=(XY..XY)\n1, 2; 3, 4.5\n",
      "##CONCENTRATIONS=(NCU)\n(a, 1, %)\n(b, 2, %)\n(c, 3, %)\n",
      "##TIME=10:11:12\n",
      "##LONGDATE=2021/03/04 05:06\n",
      "##.ELECTRIC FIELD=1, 2\n"};
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
  std::string text;
  for (int b = 0; b < 1500; ++b) {
    const std::string n = std::to_string(b);
    text += "##TITLE=block " + n +
            "\n##DATA TYPE=INFRARED SPECTRUM\n##XFACTOR=1\n##YFACTOR=" + (b % 7 == 0 ? "2" : "1") +
            "\n##FIRSTX=1\n##LASTX=4\n##NPOINTS=4\n" +
            (b % 5 == 0 ? "##ORIGIN=lab " + n + "\n" : "") + "##XYDATA=(X++(Y..Y))\n1 " + n +
            " 2 3 4\n";
  }
  expectSameBlocksForText(text);
}

// Every public file loads or lacks a title; its labels and spans stay inside
// their tables, and its blocks come out alike both ways (read entry by entry,
// so that the sanitizers see any length a block overstates).
TEST(SpanFillTest, EveryCorpusFileGivesConsistentBlocksBothWays) {
  SKIP_WITHOUT_CORPUS();
  for (const std::string& path : testpaths::corpusFiles()) {
    JcampDocument document;
    const uint32_t status = document.readFile(path.c_str());
    ASSERT_TRUE(status == kDocOk || status == kDocNoTitle) << path << ": " << status;
    if (status != kDocOk) continue;
    testdocument::expectConsistent(document, path);
    expectSameBlocksBothWays(document, 3, path);
  }
}

}  // namespace
}  // namespace jcamp

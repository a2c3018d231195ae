// The public sample files through the whole document build, decoding included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "labels/asdf_decoder.h"
#include "labels/markers.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

class DecodedFile {
 public:
  explicit DecodedFile(const std::string& path, uint32_t concentrations = 0) {
    status_ = document_.readFile(path.c_str());
    if (status_ == kDocOk) status_ = document_.buildLabels();
    if (status_ == kDocOk) status_ = document_.buildBlocks();
    document_.concentrationCapacity = concentrations;
    if (status_ == kDocOk) status_ = document_.buildDataBlocks();
  }

  uint32_t status() const { return status_; }
  const JcampDocument& document() const { return document_; }
  const JcampBlock& first() const { return document_.dataBlocks[0]; }

  std::vector<float> ordinates() const {
    if (document_.dataBlockCount == 0 || first().yValues == nullptr) return {};
    return std::vector<float>(first().yValues.get(), first().yValues.get() + first().tableLength);
  }

  // The data lines of the file's first ##XYDATA= record.
  std::vector<const char*> firstTableLines() const {
    std::vector<const char*> lines;
    for (uint32_t i = 0; i < document_.labelCount; ++i) {
      const LabelRecord& label = document_.labels[i];
      if (std::strcmp(label.name.get(), "XYDATA") != 0) continue;
      for (uint32_t line = 1; line < label.lineCount; ++line)
        lines.push_back(currentLineTable.lines[label.firstLine + line]);
      break;
    }
    return lines;
  }

 private:
  JcampDocument document_;
  uint32_t status_ = kDocOk;
};

std::string corpusFile(const std::string& name) {
  return testpaths::corpusDir() + "/real/" + name;
}

TEST(DecodeCorpusTest, OneSpectrumInSeveralCompressionsDecodesToIdenticalOrdinates) {
  SKIP_WITHOUT_CORPUS();
  // BRUKDIF.DX of the same test set holds another spectrum (its own title and FIRSTY).
  const std::string bruker = "nzhagen__jcamp/data__jcamp-dx.org_official_test_data__";
  const std::string compression = "cheminfo__jcampconverter/__tests____data__compression__jcamp-";
  const std::string lancashire = "nzhagen__jcamp/data__Robert_J_Lancashire_test_data__";
  const std::vector<std::vector<std::string>> sets = {
      {bruker + "BRUKAFFN.DX", bruker + "BRUKPAC.DX", bruker + "BRUKSQZ.DX"},
      {compression + "fix.dx", compression + "packed.dx", compression + "squeezed.dx"},
      {lancashire + "o01.jdx", lancashire + "o02.jdx", lancashire + "o03.jdx",
       lancashire + "o04.jdx", lancashire + "o05.jdx"},
  };
  for (const std::vector<std::string>& set : sets) {
    const DecodedFile reference(corpusFile(set[0]));
    ASSERT_EQ(reference.status(), kDocOk) << set[0];
    const std::vector<float> expected = reference.ordinates();
    ASSERT_EQ(expected.size(), reference.first().nPoints) << set[0];
    for (const std::string& name : set) {
      SCOPED_TRACE(name);
      const DecodedFile file(corpusFile(name));
      ASSERT_EQ(file.status(), kDocOk);
      EXPECT_EQ(file.ordinates(), expected);
      EXPECT_EQ(file.first().checkFlags, 0u);
    }
  }
}

TEST(DecodeCorpusTest, ExcerptsWithoutNPointsAgreeWhereTheyOverlap) {
  SKIP_WITHOUT_CORPUS();
  const std::string small = "cheminfo__jcampconverter/__tests____data__compression-small__jcamp-";
  const DecodedFile reference(corpusFile(small + "fix.dx"));
  const std::vector<float> expected = reference.ordinates();
  ASSERT_EQ(expected.size(), 8u);
  for (const char* form : {"packed.dx", "squeezed.dx", "difdup.dx"}) {
    SCOPED_TRACE(form);
    const DecodedFile file(corpusFile(small + form));
    ASSERT_EQ(file.status(), kDocOk);
    const std::vector<float> ordinates = file.ordinates();
    ASSERT_GE(ordinates.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), ordinates.begin()));
  }
}

TEST(DecodeCorpusTest, TheFirstDifDupLinesDecodeAsWorkedOutByHand) {
  SKIP_WITHOUT_CORPUS();
  // 16383a0247J1448o397J2441j3022J0792j3598N483k615J1645j1011J6370j7909
  // 16371f620R292j321N038j0945M298L923K026p846Q97O34Tp27j498N03J238J85j324
  // a0247 is -10247, then DIF steps (J1448 +11448, o397 -6397, ...). Both lines
  // end in DIF: -6620 and -1613 are check values, the first repeated by f620.
  // O34T is the step +634 and a DUP count of 2: the step once more, -624 to 10.
  const DecodedFile file(
      corpusFile("cheminfo__jcampconverter/__tests____data__compression__jcamp-difdup.dx"));
  ASSERT_EQ(file.status(), kDocOk);
  const std::vector<float> expected = {-10247, 1201,  -5196, 7245,  -5777, 5015,  -8583, -3100,
                                       -5715,  5930,  -5081, 11289, -6620, 2672,  1351,  6389,
                                       -4556,  -258,  3665,  5691,  -2155, -1258, -624,  10,
                                       -717,   -2215, -1712, -474,  -289};
  const std::vector<float> ordinates = file.ordinates();
  ASSERT_GE(ordinates.size(), expected.size());
  EXPECT_EQ(std::vector<float>(ordinates.begin(), ordinates.begin() + expected.size()), expected);
}

// Half a unit in the last place of v where float addition or conversion of
// whole numbers can round (from 2^24 on), else 0.
double roundingOf(float v) {
  const float magnitude = std::fabs(v);
  if (magnitude < 16777216.0f) return 0;
  return (std::nextafter(magnitude, std::numeric_limits<float>::infinity()) - magnitude) / 2.0;
}

TEST(DecodeCorpusTest, DifDupEqualsItsPlainTwinWithinSinglePrecisionSums) {
  SKIP_WITHOUT_CORPUS();
  const std::string dir = "cheminfo__jcampconverter/__tests____data__compression__jcamp-";
  const DecodedFile fix(corpusFile(dir + "fix.dx"));
  const DecodedFile difdup(corpusFile(dir + "difdup.dx"));
  ASSERT_EQ(fix.status(), kDocOk);
  ASSERT_EQ(difdup.status(), kDocOk);
  const std::vector<float> plain = fix.ordinates();
  const std::vector<float> summed = difdup.ordinates();
  ASSERT_EQ(summed.size(), plain.size());

  // Where each line's run of differences starts from an absolute ordinate.
  std::vector<bool> runStarts(summed.size() + 1, false);
  uint64_t total = 0;
  uint32_t lastKind = kTokenNone;
  for (const char* line : difdup.firstTableLines()) {
    double x = 0;
    uint64_t n = decodeXyDataLine(line, x, nullptr, 0, lastKind);
    if (n == 0) continue;
    if (lastKind == kTokenDif) --n;
    if (total < runStarts.size()) runStarts[total] = true;
    total += n;
  }
  ASSERT_EQ(total, summed.size());

  // Each DIF ordinate is the float sum of the one before and its step, so it
  // may stray from the exact value by the rounding of every sum since its
  // line's absolute ordinate; the plain ordinate by one rounding of its own.
  double drift = 0;
  size_t differing = 0;
  float largest = 0;
  for (size_t k = 0; k < summed.size(); ++k) {
    drift = (runStarts[k] ? 0 : drift) + roundingOf(summed[k]);
    const double difference = std::fabs(static_cast<double>(summed[k]) - plain[k]);
    EXPECT_LE(difference, drift + roundingOf(plain[k])) << "ordinate " << k;
    if (difference > 0) ++differing;
    largest = std::max(largest, static_cast<float>(difference));
  }
  std::cout << "[ corpus   ] jcamp-difdup.dx: " << differing << " of " << summed.size()
            << " ordinates differ from jcamp-fix.dx, by at most " << largest << "\n";
  // The line check fails only where a check value was reached by such sums.
  EXPECT_EQ(difdup.first().checkFlags & ~static_cast<uint32_t>(kCheckY), 0u);
}

TEST(DecodeCorpusTest, EveryFileBuildsItsDataBlocksOrFailsWithAStatus) {
  SKIP_WITHOUT_CORPUS();
  std::map<uint32_t, int> outcomes;
  uint64_t blocks = 0, tables = 0, values = 0, counted = 0, notFinite = 0;
  for (const std::string& path : testpaths::corpusFiles()) {
    const DecodedFile file(path, 3);
    ASSERT_TRUE(file.status() == kDocOk || file.status() == kDocNoTitle)
        << path << ": " << file.status();
    ++outcomes[file.status()];
    const JcampDocument& document = file.document();
    for (uint32_t k = 0; file.status() == kDocOk && k < document.dataBlockCount; ++k) {
      const JcampBlock& block = document.dataBlocks[k];
      ++blocks;
      if (block.tableLength > 0) {
        ASSERT_NE(block.yValues, nullptr) << path;
        ++tables;
        if ((block.checkFlags & kCheckCount) != 0) ++counted;
      }
      // Every entry a block claims is read, so the sanitizers see any overstatement.
      bool finite = true;
      for (uint32_t i = 0; i < block.tableLength; ++i) {
        finite = finite && std::isfinite(block.yValues[i]);
        if (block.xValues != nullptr) finite = finite && std::isfinite(block.xValues[i]);
        if (block.xIsReal != nullptr) {
          EXPECT_LE(block.xIsReal[i], 1u);
        }
      }
      notFinite += finite ? 0 : 1;
      values += block.tableLength;
      for (uint32_t i = 0; i < block.concentrationLength; ++i)
        values += block.concentrations[i] != 0;
    }
  }
  for (const auto& [status, files] : outcomes) {
    std::cout << "[ corpus   ] document status " << status << ": " << files << " files\n";
  }
  std::cout << "[ corpus   ] " << blocks << " data blocks, " << tables << " with a table ("
            << counted << " whose count differs from NPOINTS, " << notFinite
            << " with infinite values: no YFACTOR or XFACTOR, so scaled by the unset marker), "
            << values << " values\n";
}

}  // namespace
}  // namespace jcamp

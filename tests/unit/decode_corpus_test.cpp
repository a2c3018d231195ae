// The public sample files through the whole document build, decoding included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "labels/asdf_decoder.h"
#include "labels/markers.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

struct DecodedFile {
  explicit DecodedFile(const std::string& path, const ReadingRules& rules = kHostCompatibleRules) {
    document.context.rules = rules;
    status = document.readFile(path.c_str());
    if (status == kDocOk) status = document.buildLabels();
    if (status == kDocOk) status = document.buildBlocks();
    if (status == kDocOk) status = document.buildDataBlocks();
  }

  const JcampBlock& first() const { return document.dataBlocks[0]; }
  std::vector<float> ordinates() const {
    if (document.dataBlockCount == 0) return {};
    return std::vector<float>(first().yValues.get(), first().yValues.get() + first().tableLength);
  }

  JcampDocument document;
  uint32_t status = kDocOk;
};

const std::string kCompression = "cheminfo__jcampconverter/__tests____data__compression__jcamp-";

DecodedFile decoded(const std::string& name, const ReadingRules& rules = kHostCompatibleRules) {
  return DecodedFile(testpaths::corpusDir() + "/real/" + name, rules);
}

TEST(DecodeCorpusTest, OneSpectrumInSeveralCompressionsDecodesToIdenticalOrdinates) {
  SKIP_WITHOUT_CORPUS();
  // BRUKDIF.DX of the same test set holds another spectrum (its own title and FIRSTY).
  const std::string bruker = "nzhagen__jcamp/data__jcamp-dx.org_official_test_data__BRUK";
  const std::string lancashire = "nzhagen__jcamp/data__Robert_J_Lancashire_test_data__o0";
  const std::string small = "cheminfo__jcampconverter/__tests____data__compression-small__jcamp-";
  const std::vector<std::vector<std::string>> sets = {
      {bruker + "AFFN.DX", bruker + "PAC.DX", bruker + "SQZ.DX"},
      {kCompression + "fix.dx", kCompression + "packed.dx", kCompression + "squeezed.dx"},
      {lancashire + "1.jdx", lancashire + "2.jdx", lancashire + "3.jdx", lancashire + "4.jdx",
       lancashire + "5.jdx"},
      // Excerpts without NPOINTS, of different lengths: they agree where they overlap.
      {small + "fix.dx", small + "packed.dx", small + "squeezed.dx", small + "difdup.dx"},
  };
  for (const ReadingRules& rules : {kHostCompatibleRules, kStandardRules}) {
    // The standard rules are held to the first two sets, which they read alike too.
    for (size_t s = 0; s < (rules.keepLastOrdinate ? 2 : sets.size()); ++s) {
      const std::vector<std::string>& set = sets[s];
      const bool excerpts = &set == &sets.back();
      const DecodedFile reference = decoded(set[0], rules);
      ASSERT_EQ(reference.status, kDocOk) << set[0];
      const std::vector<float> expected = reference.ordinates();
      ASSERT_EQ(expected.size(), excerpts ? 8 : reference.first().nPoints) << set[0];
      for (const std::string& name : set) {
        SCOPED_TRACE(name);
        const DecodedFile file = decoded(name, rules);
        ASSERT_EQ(file.status, kDocOk);
        std::vector<float> ordinates = file.ordinates();
        if (excerpts) {
          ASSERT_GE(ordinates.size(), expected.size());
          ordinates.resize(expected.size());
        }
        EXPECT_EQ(ordinates, expected);
        EXPECT_TRUE(excerpts || file.first().checkFlags == 0) << file.first().checkFlags;
      }
    }
  }
}

// Half a unit in the last place of v where float addition or conversion of
// whole numbers can round (from 2^24 on), else 0.
double roundingOf(float v) {
  const float magnitude = std::fabs(v);
  if (magnitude < 16777216.0f) return 0;
  return (std::nextafter(magnitude, std::numeric_limits<float>::infinity()) - magnitude) / 2.0;
}

// Where each line's run of differences starts from an absolute ordinate, by
// ordinate index, for the lines of the file's first ##XYDATA= record.
std::vector<bool> runStartsOf(const JcampDocument& document) {
  std::vector<bool> runStarts;
  uint64_t total = 0;
  for (uint32_t i = 0; i < document.labelCount; ++i) {
    const LabelRecord& label = document.labels[i];
    if (std::strcmp(label.name.get(), "XYDATA") != 0) continue;
    uint32_t lastKind = kTokenNone;
    for (uint32_t line = 1; line < label.lineCount; ++line) {
      double x = 0;
      const char* text = document.context.lines.lines[label.firstLine + line];
      uint64_t n = decodeXyDataLine(text, x, nullptr, 0, lastKind);
      if (n == 0) continue;
      if (lastKind == kTokenDif) --n;
      runStarts.resize(total + n, false);
      if (n > 0) runStarts[total] = true;
      total += n;
    }
    break;
  }
  return runStarts;
}

TEST(DecodeCorpusTest, DifDupEqualsItsPlainTwinWithinSinglePrecisionSums) {
  SKIP_WITHOUT_CORPUS();
  const DecodedFile fix = decoded(kCompression + "fix.dx");
  const DecodedFile difdup = decoded(kCompression + "difdup.dx");
  ASSERT_EQ(fix.status, kDocOk);
  ASSERT_EQ(difdup.status, kDocOk);
  const std::vector<float> plain = fix.ordinates();
  const std::vector<float> summed = difdup.ordinates();
  ASSERT_EQ(summed.size(), plain.size());
  const std::vector<bool> runStarts = runStartsOf(difdup.document);
  ASSERT_EQ(runStarts.size(), summed.size());

  // Each DIF ordinate is the float sum of the one before and its step, so it
  // may stray from the exact value by the rounding of every sum since its
  // line's absolute ordinate; the plain ordinate by one rounding of its own.
  double drift = 0;
  size_t differing = 0;
  for (size_t k = 0; k < summed.size(); ++k) {
    drift = (runStarts[k] ? 0 : drift) + roundingOf(summed[k]);
    const double difference = std::fabs(static_cast<double>(summed[k]) - plain[k]);
    EXPECT_LE(difference, drift + roundingOf(plain[k])) << "ordinate " << k;
    if (difference > 0) ++differing;
  }
  std::cout << "[ corpus   ] jcamp-difdup.dx: " << differing << " of " << summed.size()
            << " ordinates differ from jcamp-fix.dx\n";
  // The line check fails only where a check value was reached by such sums.
  EXPECT_EQ(difdup.first().checkFlags & ~static_cast<uint32_t>(kCheckY), 0u);
}

}  // namespace
}  // namespace jcamp

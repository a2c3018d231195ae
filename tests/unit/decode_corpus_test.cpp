// The public sample files through the whole document build, decoding included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "support/test_paths.h"
#include "support/text_document.h"

namespace jcamp {
namespace {

struct DecodedFile {
  explicit DecodedFile(const std::string& path, const ReadingRules& rules = kHostCompatibleRules)
      : document(testdocument::documentFor(rules)) {
    status = document.readFile(path.c_str());
    if (status == kStatusOk) status = document.buildLabels();
    if (status == kStatusOk) status = document.buildBlocks();
    if (status == kStatusOk) status = document.buildDataBlocks();
  }

  const JcampBlock& first() const { return document.dataBlocks[0]; }
  std::vector<float> ordinates() const {
    if (document.dataBlockCount == 0) return {};
    return std::vector<float>(first().yValues.get(), first().yValues.get() + first().tableLength);
  }

  JcampDocument document;
  Status status = kStatusOk;
};

DecodedFile decoded(const std::string& name, const ReadingRules& rules = kHostCompatibleRules) {
  return DecodedFile(testpaths::corpusDir() + "/real/" + name, rules);
}

TEST(DecodeCorpusTest, OneSpectrumInSeveralCompressionsDecodesToIdenticalOrdinates) {
  SKIP_WITHOUT_CORPUS();
  // BRUKDIF.DX of the same test set holds another spectrum (its own title and FIRSTY).
  const std::string bruker = "nzhagen__jcamp/data__jcamp-dx.org_official_test_data__BRUK";
  const std::string lancashire = "nzhagen__jcamp/data__Robert_J_Lancashire_test_data__o0";
  const std::string whole = "cheminfo__jcampconverter/__tests____data__compression__jcamp-";
  const std::string small = "cheminfo__jcampconverter/__tests____data__compression-small__jcamp-";
  std::vector<std::vector<std::string>> sets = {
      {bruker + "AFFN.DX", bruker + "PAC.DX", bruker + "SQZ.DX"},
      {whole + "fix.dx", whole + "packed.dx", whole + "squeezed.dx"},
      // From plain numbers to DIF with DUP: the float DIF sums give the same ordinates.
      {lancashire + "1.jdx", lancashire + "2.jdx", lancashire + "3.jdx", lancashire + "4.jdx",
       lancashire + "5.jdx"},
      // Excerpts without NPOINTS, of different lengths: they agree where they overlap.
      {small + "fix.dx", small + "packed.dx", small + "squeezed.dx", small + "difdup.dx"},
  };
  for (const ReadingRules& rules : {kHostCompatibleRules, kStandardRules}) {
    // Its DIF sums pass 2^24: only sums in double give the others' ordinates.
    if (rules.doubleSums) sets[1].push_back(whole + "difdup.dx");
    for (size_t s = 0; s < sets.size(); ++s) {
      const std::vector<std::string>& set = sets[s];
      const bool excerpts = &set == &sets.back();
      const DecodedFile reference = decoded(set[0], rules);
      ASSERT_EQ(reference.status, kStatusOk) << set[0];
      const std::vector<float> expected = reference.ordinates();
      ASSERT_EQ(expected.size(), excerpts ? 8 : reference.first().nPoints) << set[0];
      for (const std::string& name : set) {
        SCOPED_TRACE(name);
        const DecodedFile file = decoded(name, rules);
        ASSERT_EQ(file.status, kStatusOk);
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

// DIFDUP tables that pass their own X and Y checks when an SQZ ordinate 'E'
// or 'e' right after a decimal abscissa is no exponent ("514.920G906" ends in
// DIF form, "544.813E883" starts with the check value 5883), and their values
// at the first point such a reading got wrong, from an independent decoder.
TEST(DecodeCorpusTest, CompressedTablesPassTheirOwnChecksInTheStandardMode) {
  SKIP_WITHOUT_CORPUS();
  const std::string lancashire = "nzhagen__jcamp/data__Robert_J_Lancashire_test_data__";
  const std::string jsv = "BobHanson__Jmol-SwingJS/jsv__data__";
  const struct {
    std::string name;
    uint32_t point;
    float value;
  } files[] = {
      {lancashire + "dupinc2.jdx", 150, 58.83f},
      {lancashire + "o02.jdx", 2572, 755.37396f},
      {lancashire + "o04.jdx", 1721, -63.3703f},
      {lancashire + "o05.jdx", 2578, 700.8755f},
      {lancashire + "sqzdupd1.jdx", 14103, 0.26690307f},
      // Their abscissas drift from the grid by a step and more, not from line to line.
      {jsv + "cholestacCNMR.dx", 352, 372.77347f},
      {jsv + "diethyl_phthalate_HNMR.JDX", 8128, 56.65058f},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    const DecodedFile read = decoded(file.name, kStandardRules);
    ASSERT_EQ(read.status, kStatusOk);
    const std::vector<float> ordinates = read.ordinates();
    ASSERT_EQ(ordinates.size(), read.first().nPoints);
    EXPECT_FLOAT_EQ(ordinates[file.point], file.value);
    EXPECT_EQ(read.first().checkFlags, 0u);
    EXPECT_EQ(read.first().warnings, 0u);
  }
}

}  // namespace
}  // namespace jcamp

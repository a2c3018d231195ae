// The public sample files one at a time through the exports: every file
// ends as a matrix or as a refusal or message the library defines.
#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/library_fixture.h"
#include "support/matrix_reader.h"

namespace {

using CorpusImportTest = LibraryTest;

std::string corpusFile(const std::string& suffix) {
  for (const std::string& file : testpaths::corpusFiles()) {
    if (file.size() >= suffix.size() &&
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return file;
    }
  }
  ADD_FAILURE() << "no corpus file ends with " << suffix;
  return std::string();
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The header scan's status decides addFileName; an added file imports, its
// unreadable data (if any) being reported in the message box.
TEST_F(CorpusImportTest, EveryFileImportsOrIsRefusedAsDefined) {
  SKIP_WITHOUT_CORPUS();
  const std::set<int32_t> defined = {0, 1, 2, 5, 6, 7, 11, 16, JCAMP_HEADER_OK};
  int imported = 0;
  for (const std::string& file : testpaths::corpusFiles()) {
    SCOPED_TRACE(file);
    char message[512];
    const int32_t status = lib().checkFileName(file.c_str(), message, sizeof message);
    EXPECT_EQ(defined.count(status), 1u) << status;
    // A usable file's message is its shape: nine tab-separated fields.
    const std::string text = message;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), status == JCAMP_HEADER_OK ? 8 : 0);
    uint32_t handle = 0;
    ASSERT_EQ(lib().openHandleUDI(&handle), JCAMP_OK);
    const int32_t added = lib().addFileName(handle, file.c_str());
    EXPECT_EQ(added, status == JCAMP_HEADER_OK ? JCAMP_OK : JCAMP_BAD_HEADER);
    if (added == JCAMP_OK) {
      boxes_.shown = 0;
      EXPECT_EQ(lib().importData(handle), JCAMP_OK);
      if (boxes_.shown > 0) {
        EXPECT_TRUE(startsWith(boxes_.lastText, "Reading file " + file + ":\n"));
      }
      const ImportedMatrix matrix = readMatrix(lib(), handle);
      EXPECT_GT(matrix.samples, 0);
      EXPECT_LE(static_cast<int32_t>(matrix.sampleNames.size()), matrix.samples);
      ++imported;
    }
    EXPECT_EQ(lib().closeHandleUDI(handle), JCAMP_OK);
  }
  EXPECT_GT(imported, 0);
}

// Shapes read off the files themselves.
TEST_F(CorpusImportTest, KnownFilesHaveTheirShapes) {
  SKIP_WITHOUT_CORPUS();
  const std::pair<const char*, const char*> cases[] = {
      // LINK, ##BLOCKS= 5; title, origin and owner cut to 28, 28 and 24 characters.
      {"blckpac1.jdx",
       "5\t176\t0\t700\t350\tXYDATA\tAquation of trans-[Co(en)2Cl\t"
       "Exported PE IR WinLab Data F\tDept of Chem, UWI, Mona,"},
      // "##DataClass= ##XYDATA=", and an origin continued on the next line.
      {"xyinc1.jdx",
       "1\t3601\t0\t400\t4000\tXYDATA\tIndene     (FILE:  xyinc1.jd\t"
       "JCAMP-DX Test Disk 1.04\tPublic Domain"},
      // With ##CONCENTRATIONS=.
      {"IMSDEMO.DX",
       "1\t1000\t2\t0\t66\tXYDATA\tExample Ion Mobility Spectru\t"
       "J.I.Baumbach, ISAS Dortmund,\tCOPYRIGHT(C) 2001"},
  };
  for (const auto& [name, shape] : cases) {
    char message[512];
    EXPECT_EQ(lib().checkFileName(corpusFile(name).c_str(), message, sizeof message),
              JCAMP_HEADER_OK);
    EXPECT_STREQ(message, shape) << name;
  }
}

ImportedMatrix importOne(JcampLibrary& lib, const std::string& file) {
  uint32_t handle = 0;
  EXPECT_EQ(lib.openHandleUDI(&handle), JCAMP_OK);
  EXPECT_EQ(lib.addFileName(handle, file.c_str()), JCAMP_OK) << file;
  EXPECT_EQ(lib.importData(handle), JCAMP_OK) << file;
  ImportedMatrix matrix = readMatrix(lib, handle);
  lib.closeHandleUDI(handle);
  return matrix;
}

TEST_F(CorpusImportTest, TheSameSpectrumInOtherCompressionsGivesTheSameMatrix) {
  SKIP_WITHOUT_CORPUS();
  const std::vector<std::vector<std::string>> sets = {
      {"BRUKAFFN.DX", "BRUKPAC.DX", "BRUKSQZ.DX"},
      {"__compression__jcamp-fix.dx", "__compression__jcamp-packed.dx",
       "__compression__jcamp-squeezed.dx"},
  };
  for (const auto& set : sets) {
    const ImportedMatrix reference = importOne(lib(), corpusFile(set[0]));
    for (size_t i = 1; i < set.size(); ++i) {
      SCOPED_TRACE(set[i]);
      const ImportedMatrix other = importOne(lib(), corpusFile(set[i]));
      EXPECT_EQ(other.variableNames, reference.variableNames);
      EXPECT_TRUE(other.values == reference.values);
    }
  }
}

TEST_F(CorpusImportTest, ACompoundFileOfTwentyBlocksGivesTwentyNamedSamples) {
  SKIP_WITHOUT_CORPUS();
  const ImportedMatrix matrix = importOne(lib(), corpusFile("aquation20.jdx"));
  EXPECT_EQ(matrix.samples, 20);
  EXPECT_EQ(matrix.variables, 351);
  ASSERT_EQ(matrix.sampleNames.size(), 20u);
  EXPECT_EQ(matrix.sampleNames.front(), "Aquation of trans-[Co(en)2Cl2]+ (t1)");
  EXPECT_EQ(matrix.sampleNames.back(), "Aquation of trans-[Co(en)2Cl2]+ (t20)");
}

// Both carry their spectra in peak tables without ##FIRSTX=, which the import
// cannot place on a common X axis.
TEST_F(CorpusImportTest, ManyBlockPeakTableFilesAreRefusedWithTheirReason) {
  SKIP_WITHOUT_CORPUS();
  for (const char* name : {"HPMS.dx", "CH4_CI.jdx"}) {
    const std::string file = corpusFile(name);
    const uint32_t handle = openHandle();
    EXPECT_EQ(lib().addFileName(handle, file.c_str()), JCAMP_BAD_HEADER) << name;
    char message[256];
    EXPECT_EQ(lib().checkFileName(file.c_str(), message, sizeof message), 1) << name;
    EXPECT_STREQ(message, "Label ##FIRSTX= missing in block number 2") << name;
  }
}

}  // namespace

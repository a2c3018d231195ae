// The public sample files one at a time through the exports: every file
// ends as a matrix or as a refusal or message the library defines.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "matrix_writer.h"
#include "output_buffer.h"
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

// A name as a TSV field: tabs and line breaks become blanks.
std::string tsvField(std::string text) {
  for (char& c : text) c = c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
  return text;
}

// What jcamp-import writes of the handle's matrix.
std::string writtenMatrix(JcampLibrary& lib, uint32_t handle, const MatrixLayout& layout,
                          const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w+b");
  if (file == nullptr) return "(cannot write " + path + ")";
  {
    OutputBuffer out(file);
    EXPECT_TRUE(writeMatrix(lib, handle, layout, MatrixRows{}, out, [](int64_t, int64_t) {}));
  }
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  std::remove(path.c_str());
  return text;
}

// In both modes the header scan's status decides addFileName; an added file
// imports, its unreadable data (if any) being reported in the message box.
// The standard mode names every row, and a row it does not warn of holds
// finite values; it reads more of the files than the host-compatible mode.
TEST_F(CorpusImportTest, EveryFileImportsOrIsRefusedAsDefined) {
  SKIP_WITHOUT_CORPUS();
  const std::set<int32_t> defined = {0, 1, 2, 5, 6, 7, 11, 16, JCAMP_HEADER_OK};
  int imported[2] = {0, 0};
  for (const std::string& file : testpaths::corpusFiles()) {
    SCOPED_TRACE(file);
    for (const int32_t mode : {JCAMP_MODE_HOST_COMPATIBLE, JCAMP_MODE_STANDARD}) {
      char message[512];
      const int32_t status = lib().checkFileNameMode(file.c_str(), mode, message, sizeof message);
      EXPECT_EQ(defined.count(status), 1u) << status;
      // A usable file's message is its shape: nine tab-separated fields.
      const std::string text = message;
      EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), status == JCAMP_HEADER_OK ? 8 : 0);
      const uint32_t handle = openHandle();
      ASSERT_EQ(lib().setReadingMode(handle, mode), JCAMP_OK);
      const int32_t added = lib().addFileName(handle, file.c_str());
      EXPECT_EQ(added, status == JCAMP_HEADER_OK ? JCAMP_OK : JCAMP_BAD_HEADER);
      if (added != JCAMP_OK) continue;
      boxes_.shown = 0;
      EXPECT_EQ(lib().importData(handle), JCAMP_OK);
      if (boxes_.shown > 0) {
        EXPECT_TRUE(startsWith(boxes_.lastText, "Reading file " + file + ":\n"));
      }
      const ImportedMatrix matrix = readMatrix(lib(), handle);
      EXPECT_LE(static_cast<int32_t>(matrix.sampleNames.size()), matrix.samples);
      ++imported[mode];
      if (mode == JCAMP_MODE_HOST_COMPATIBLE) {
        EXPECT_GT(matrix.samples, 0);
        continue;
      }
      EXPECT_EQ(static_cast<int32_t>(matrix.sampleNames.size()), matrix.samples);
      for (int32_t s = 0; s < matrix.samples; ++s) {
        JcampSampleInfo info{};
        info.size = sizeof info;
        ASSERT_EQ(lib().getSampleInfo(handle, s, &info), JCAMP_OK);
        if (info.warnings != 0 || info.checkFlags != 0) continue;
        std::vector<float> row(static_cast<size_t>(matrix.variables));
        ASSERT_EQ(lib().getValues(handle, s, 0, matrix.variables, row.data()), JCAMP_OK);
        EXPECT_TRUE(std::all_of(row.begin(), row.end(), [](float v) { return std::isfinite(v); }))
            << "sample " << s << " holds a value that is not finite, without a warning";
      }
    }
  }
  EXPECT_GT(imported[JCAMP_MODE_HOST_COMPATIBLE], 0);
  EXPECT_GT(imported[JCAMP_MODE_STANDARD], imported[JCAMP_MODE_HOST_COMPATIBLE]);
}

// jcamp-import formats the rows it reads with getValues itself: with
// --host-compatible its fields are getData's texts, byte for byte.
TEST_F(CorpusImportTest, TheHostProgramWritesGetDataTexts) {
  SKIP_WITHOUT_CORPUS();
  const std::string written = testpaths::scratchDir() + "/written.tsv";
  for (const std::string& file : testpaths::corpusFiles()) {
    const uint32_t handle = openHandle();
    if (lib().addFileName(handle, file.c_str()) != JCAMP_OK) continue;
    ASSERT_EQ(lib().importData(handle), JCAMP_OK);
    SCOPED_TRACE(file);
    const ImportedMatrix matrix = readMatrix(lib(), handle);
    std::string expected = "Sample";
    for (const std::string& name : matrix.variableNames) expected += "\t" + tsvField(name);
    expected += "\n";
    char buffer[4096];
    for (int32_t s = 0; s < matrix.samples; ++s) {
      const bool named = lib().getSampleName(handle, s, buffer) == JCAMP_OK;
      expected += tsvField(named ? buffer : "");
      for (const std::string& value : matrix.values[static_cast<size_t>(s)])
        expected += "\t" + value;
      expected += "\n";
    }
    MatrixLayout layout;
    layout.hostCompatible = true;
    layout.tsv = true;
    EXPECT_EQ(writtenMatrix(lib(), handle, layout, written), expected);
  }
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

ImportedMatrix importOne(JcampLibrary& lib, const std::string& file,
                         int32_t mode = JCAMP_MODE_HOST_COMPATIBLE) {
  uint32_t handle = 0;
  EXPECT_EQ(lib.openHandleUDI(&handle), JCAMP_OK);
  EXPECT_EQ(lib.setReadingMode(handle, mode), JCAMP_OK);
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
  for (const int32_t mode : {JCAMP_MODE_HOST_COMPATIBLE, JCAMP_MODE_STANDARD}) {
    for (const auto& set : sets) {
      const ImportedMatrix reference = importOne(lib(), corpusFile(set[0]), mode);
      for (size_t i = 1; i < set.size(); ++i) {
        SCOPED_TRACE(set[i]);
        const ImportedMatrix other = importOne(lib(), corpusFile(set[i]), mode);
        EXPECT_EQ(other.variableNames, reference.variableNames);
        EXPECT_TRUE(other.values == reference.values);
      }
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

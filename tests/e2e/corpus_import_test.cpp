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

// What jcamp-import writes of the handle's matrix as TSV of getData's texts.
std::string writtenMatrix(JcampLibrary& lib, uint32_t handle, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w+b");
  if (file == nullptr) return "(cannot write " + path + ")";
  MatrixLayout layout;
  layout.hostCompatible = layout.tsv = true;
  {
    OutputBuffer out(file);
    EXPECT_TRUE(writeMatrix(lib, handle, layout, MatrixRows{}, out, [](int64_t, int64_t) {}));
  }
  std::string text(static_cast<size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(&text[0], 1, text.size(), file));
  std::fclose(file);
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
        EXPECT_EQ(boxes_.lastText.rfind("Reading file " + file + ":\n", 0), 0u);
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
        const JcampSampleInfo info = sampleInfo(handle, s);
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
// --host-compatible its fields are getData's texts, byte for byte, and names
// lose their tabs and line breaks.
TEST_F(CorpusImportTest, TheHostProgramWritesGetDataTexts) {
  SKIP_WITHOUT_CORPUS();
  const std::string written = testpaths::scratchDir() + "/written.tsv";
  const auto field = [](std::string text) {
    for (char& c : text) c = c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    return text;
  };
  for (const std::string& file : testpaths::corpusFiles()) {
    const uint32_t handle = openHandle();
    if (lib().addFileName(handle, file.c_str()) != JCAMP_OK) continue;
    ASSERT_EQ(lib().importData(handle), JCAMP_OK);
    SCOPED_TRACE(file);
    const ImportedMatrix matrix = readMatrix(lib(), handle);
    std::string expected = "Sample";
    for (const std::string& name : matrix.variableNames) expected += "\t" + field(name);
    for (int32_t s = 0; s < matrix.samples; ++s) {
      char name[4096] = "";
      lib().getSampleName(handle, s, name);
      expected += "\n" + field(name);
      for (const std::string& value : matrix.values[static_cast<size_t>(s)])
        expected += "\t" + value;
    }
    EXPECT_EQ(writtenMatrix(lib(), handle, written), expected + "\n");
  }
}

// What checkFileName says of files, read off the files themselves; addFileName
// agrees. A compound file of twenty blocks gives twenty named samples.
TEST_F(CorpusImportTest, KnownFilesHaveTheirShapesOrReasons) {
  SKIP_WITHOUT_CORPUS();
  const std::string noFirstX = "Label ##FIRSTX= missing in block number 2";
  const std::pair<const char*, std::string> cases[] = {
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
      // Spectra in peak tables without ##FIRSTX=: no common X axis.
      {"HPMS.dx", noFirstX},
      {"CH4_CI.jdx", noFirstX},
  };
  for (const auto& [name, expected] : cases) {
    const std::string file = corpusFile(name);
    const bool usable = expected != noFirstX;
    char message[512];
    EXPECT_EQ(lib().checkFileName(file.c_str(), message, sizeof message),
              usable ? JCAMP_HEADER_OK : 1);
    EXPECT_EQ(message, expected) << name;
    EXPECT_EQ(lib().addFileName(openHandle(), file.c_str()), usable ? JCAMP_OK : JCAMP_BAD_HEADER);
  }
  const uint32_t handle = openHandle();
  ASSERT_EQ(lib().addFileName(handle, corpusFile("aquation20.jdx").c_str()), JCAMP_OK);
  ASSERT_EQ(lib().importData(handle), JCAMP_OK);
  const ImportedMatrix matrix = readMatrix(lib(), handle);
  EXPECT_EQ(matrix.variables, 351);
  ASSERT_EQ(matrix.sampleNames.size(), 20u);
  EXPECT_EQ(matrix.samples, 20);
  EXPECT_EQ(matrix.sampleNames.front(), "Aquation of trans-[Co(en)2Cl2]+ (t1)");
  EXPECT_EQ(matrix.sampleNames.back(), "Aquation of trans-[Co(en)2Cl2]+ (t20)");
}

}  // namespace

// Whole imports through the exported functions of the loaded library.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/comma_locale.h"
#include "support/library_fixture.h"
#include "support/matrix_reader.h"

namespace {

class ImportTest : public LibraryTest {
 protected:
  // A handle with the two test files of 3 and 2 samples added.
  uint32_t handleWithThreeAndTwo() {
    const uint32_t handle = openHandle();
    EXPECT_EQ(lib().addFileName(handle, testpaths::dataFile("import-three.jdx").c_str()), JCAMP_OK);
    EXPECT_EQ(lib().addFileName(handle, testpaths::dataFile("import-two.jdx").c_str()), JCAMP_OK);
    return handle;
  }
};

const std::vector<std::string> kVariableNames = {"1000.000", "900.0000", "800.0000",
                                                 "700.0000", "water",    "fat"};
const std::vector<std::string> kSampleNames = {"Three A", "Described B", "Three C", "Two A",
                                               "Two B"};
const std::vector<std::vector<std::string>> kValues = {
    {"1.000000", "2.000000", "3.000000", "4.000000", "10.500000", "2.250000"},
    {"0.250000", "0.500000", "0.750000", "1.000000", "11.000000", "2.500000"},
    {"5.000000", "m", "7.000000", "-8.000000", "9.750000", "3.000000"},
    {"0.500000", "1.500000", "2.500000", "3.500000", "12.000000", "1.500000"},
    {"0.100000", "-0.100000", "0.100000", "-0.100000", "13.000000", "0.500000"},
};

void expectFullMatrix(const ImportedMatrix& matrix) {
  EXPECT_EQ(matrix.samples, 5);
  EXPECT_EQ(matrix.variables, 6);
  EXPECT_EQ(matrix.variableNames, kVariableNames);
  EXPECT_EQ(matrix.sampleNames, kSampleNames);
  EXPECT_EQ(matrix.values, kValues);
}

// Indexes and arguments are checked; each row knows where it came from.
TEST_F(ImportTest, TwoCompatibleFilesGiveTheWholeMatrix) {
  const uint32_t handle = handleWithThreeAndTwo();
  ASSERT_EQ(lib().importData(handle), JCAMP_OK);
  expectFullMatrix(readMatrix(lib(), handle));
  EXPECT_EQ(boxes_.shown, 0);

  char buffer[256];
  int32_t count = 0;
  EXPECT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(lib().getVariableName(handle, 6, buffer), JCAMP_BAD_INDEX);
  EXPECT_EQ(lib().getVariableName(handle, -1, buffer), JCAMP_BAD_INDEX);
  EXPECT_EQ(lib().getSampleName(handle, 5, buffer), JCAMP_BAD_INDEX);
  EXPECT_EQ(lib().getData(handle, 5, 0, buffer), JCAMP_BAD_INDEX);
  EXPECT_EQ(lib().getData(handle, 0, 6, buffer), JCAMP_BAD_INDEX);

  // The sample information places each row in its file and block. (That the
  // row reader agrees with getData is checked on every public file: the host
  // program writes getValues' rows as getData's texts.)
  for (int32_t sample = 0; sample < 5; ++sample) {
    const JcampSampleInfo info = sampleInfo(handle, sample);
    EXPECT_EQ(std::make_pair(info.fileIndex, info.blockIndex),
              sample < 3 ? std::make_pair(0, sample) : std::make_pair(1, sample - 3));
  }
  float value = 0;
  JcampSampleInfo tooSmall{};
  tooSmall.size = 4;
  EXPECT_EQ(lib().getValues(handle, 0, 5, 2, &value), JCAMP_BAD_INDEX);
  EXPECT_EQ(lib().getValues(handle, 0, 0, 1, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(lib().getSampleInfo(handle, 0, &tooSmall), JCAMP_BAD_ARGUMENT);
  EXPECT_EQ(lib().setReadingMode(handle, JCAMP_MODE_STANDARD), JCAMP_MODE_LOCKED);
  const uint32_t fresh = openHandle();
  EXPECT_EQ(lib().setReadingMode(fresh, 7), JCAMP_BAD_ARGUMENT);
  EXPECT_EQ(lib().setReadingMode(fresh, JCAMP_MODE_STANDARD), JCAMP_OK);

  // A second import reads everything again, and the host's locale changes no text.
  testsupport::CommaLocale comma;
  ASSERT_EQ(lib().importData(handle), JCAMP_OK);
  expectFullMatrix(readMatrix(lib(), handle));
  if (!comma.active()) GTEST_SKIP() << "no decimal-comma locale installed; checked in C only";
}

// Files added after an import are counted but have no values until the next import.
TEST_F(ImportTest, FilesAddedAfterTheImportReadMissingUntilImported) {
  const uint32_t handle = handleWithThreeAndTwo();
  ASSERT_EQ(lib().importData(handle), JCAMP_OK);
  ASSERT_EQ(lib().addFileName(handle, testpaths::dataFile("import-two.jdx").c_str()), JCAMP_OK);
  const ImportedMatrix matrix = readMatrix(lib(), handle);
  EXPECT_EQ(matrix.samples, 7);
  EXPECT_EQ(matrix.sampleNames, kSampleNames);
  EXPECT_EQ(matrix.values[6], std::vector<std::string>(6, "m"));
}

// A file that vanished after it was added: OK goes on without it (its rows
// read m, and the later file's names move up), Cancel stops the import.
TEST_F(ImportTest, AnUnreadableFileIsSkippedOrStopsTheImport) {
  for (const int32_t answer : {1, 2}) {
    SCOPED_TRACE(answer);
    const uint32_t handle = openHandle();
    const std::string vanishing = testpaths::scratchDir() + "/vanishing.jdx";
    std::filesystem::copy_file(testpaths::dataFile("import-two.jdx"), vanishing);
    for (const std::string& file : {testpaths::dataFile("import-three.jdx"), vanishing,
                                    testpaths::dataFile("import-two.jdx")}) {
      EXPECT_EQ(lib().addFileName(handle, file.c_str()), JCAMP_OK);
    }
    std::filesystem::remove(vanishing);
    boxes_.answer = answer;
    boxes_.shown = 0;
    EXPECT_EQ(lib().importData(handle), answer == 1 ? JCAMP_OK : JCAMP_IMPORT_FAILED);
    EXPECT_EQ(boxes_.shown, 1);
    EXPECT_EQ(boxes_.lastType, 0x31u);
    EXPECT_EQ(boxes_.lastText, "Reading file " + vanishing +
                                   ":\nGeneral file IO error\n\nImport will continue without "
                                   "data from this file!");
    int32_t count = 0;
    if (answer == 2) {
      EXPECT_EQ(lib().getNumberOfSamples(handle, &count), JCAMP_NOT_READY);
      continue;
    }
    const ImportedMatrix matrix = readMatrix(lib(), handle);
    EXPECT_EQ(matrix.samples, 7);
    EXPECT_EQ(matrix.sampleNames, kSampleNames);
    EXPECT_EQ(matrix.values[3], std::vector<std::string>(6, "m"));
    EXPECT_EQ(matrix.values[4], std::vector<std::string>(6, "m"));
    EXPECT_EQ(matrix.values[5], kValues[3]);
    EXPECT_EQ(matrix.values[6], kValues[4]);
  }
}

// The header scan finds ##TITLE= anywhere; loading the whole file needs it first.
TEST_F(ImportTest, AFileTheDocumentCannotLoadIsReportedInWords) {
  const std::string path = testpaths::dataFile("late-title.jdx");
  const uint32_t handle = openHandle();
  ASSERT_EQ(lib().addFileName(handle, path.c_str()), JCAMP_OK);
  ASSERT_EQ(lib().importData(handle), JCAMP_OK);
  EXPECT_EQ(boxes_.lastText, "Reading file " + path +
                                 ":\nThe file does not begin with a ##TITLE= line\n\nImport "
                                 "will continue without data from this file!");
}

}  // namespace

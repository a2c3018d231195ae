// Every public sample file through addFileName and checkFileName.
#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "support/library_fixture.h"

namespace {

using CorpusScanTest = LibraryTest;

std::pair<int32_t, std::string> check(JcampLibrary& lib, const std::string& file) {
  char message[512];
  const int32_t status = lib.checkFileName(file.c_str(), message, sizeof message);
  return {status, message};
}

TEST_F(CorpusScanTest, EveryFileIsMeasuredOrRefusedWithADefinedStatus) {
  SKIP_WITHOUT_CORPUS();
  const std::set<int32_t> defined = {0, 1, 2, 5, 6, 7, 11, 16, JCAMP_HEADER_OK};
  int usable = 0;
  for (const std::string& file : testpaths::corpusFiles()) {
    const auto [status, message] = check(lib(), file);
    usable += status == JCAMP_HEADER_OK;
    EXPECT_EQ(defined.count(status), 1u) << file;
    uint32_t handle = 0;
    ASSERT_EQ(lib().openHandleUDI(&handle), JCAMP_OK);
    EXPECT_EQ(lib().addFileName(handle, file.c_str()),
              status == JCAMP_HEADER_OK ? JCAMP_OK : JCAMP_BAD_HEADER)
        << file;
    lib().closeHandleUDI(handle);
    const size_t tabs = static_cast<size_t>(std::count(message.begin(), message.end(), '\t'));
    EXPECT_EQ(tabs, status == JCAMP_HEADER_OK ? 8u : 0u) << file << ": " << message;
  }
  EXPECT_GT(usable, 0);
}

// Shapes read off the files themselves.
TEST_F(CorpusScanTest, KnownFilesHaveTheirShapes) {
  SKIP_WITHOUT_CORPUS();
  const std::pair<const char*, std::pair<int32_t, std::string>> cases[] = {
      // LINK, ##BLOCKS= 5; title, origin and owner cut to 28, 28 and 24 characters.
      {"nzhagen__jcamp/data__Robert_J_Lancashire_test_data__blckpac1.jdx",
       {100,
        "5\t176\t0\t700\t350\tXYDATA\tAquation of trans-[Co(en)2Cl\t"
        "Exported PE IR WinLab Data F\tDept of Chem, UWI, Mona,"}},
      // "##DataClass= ##XYDATA=", and an origin continued on the next line.
      {"nzhagen__jcamp/data__Robert_J_Lancashire_test_data__xyinc1.jdx",
       {100,
        "1\t3601\t0\t400\t4000\tXYDATA\tIndene     (FILE:  xyinc1.jd\t"
        "JCAMP-DX Test Disk 1.04\tPublic Domain"}},
      // With ##CONCENTRATIONS=.
      {"nzhagen__jcamp/data__jcamp-dx.org_official_test_data__IMSDEMO.DX",
       {100,
        "1\t1000\t2\t0\t66\tXYDATA\tExample Ion Mobility Spectru\t"
        "J.I.Baumbach, ISAS Dortmund,\tCOPYRIGHT(C) 2001"}},
  };
  const std::string dir = testpaths::corpusDir() + "/real/";
  for (const auto& [file, expected] : cases) EXPECT_EQ(check(lib(), dir + file), expected) << file;
}

}  // namespace

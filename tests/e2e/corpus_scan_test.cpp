// Every public sample file through addFileName and checkFileName.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/library_fixture.h"

namespace {

using CorpusScanTest = LibraryTest;

std::vector<std::string> fieldsOf(const std::string& text) {
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == '\t') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

std::pair<int32_t, std::string> check(JcampLibrary& lib, const std::string& file) {
  char message[512];
  const int32_t status = lib.checkFileName(file.c_str(), message, sizeof message);
  return {status, message};
}

TEST_F(CorpusScanTest, EveryFileIsMeasuredOrRefusedWithADefinedStatus) {
  SKIP_WITHOUT_CORPUS();
  const std::set<int32_t> defined = {0, 1, 2, 5, 6, 7, 11, 16, JCAMP_HEADER_OK};
  std::map<int32_t, int> tally;
  for (const std::string& file : testpaths::corpusFiles()) {
    SCOPED_TRACE(file);
    const auto [status, message] = check(lib(), file);
    ++tally[status];
    EXPECT_EQ(defined.count(status), 1u) << status;
    EXPECT_FALSE(message.empty());
    uint32_t handle = 0;
    ASSERT_EQ(lib().openHandleUDI(&handle), JCAMP_OK);
    EXPECT_EQ(lib().addFileName(handle, file.c_str()),
              status == JCAMP_HEADER_OK ? JCAMP_OK : JCAMP_BAD_HEADER);
    lib().closeHandleUDI(handle);
    if (status != JCAMP_HEADER_OK) continue;
    const std::vector<std::string> fields = fieldsOf(message);
    ASSERT_EQ(fields.size(), 9u) << message;
    EXPECT_GE(std::stoi(fields[0]), 1);
    EXPECT_TRUE(fields[5] == "XYDATA" || fields[5] == "XYPOINTS") << fields[5];
  }
  std::string summary;
  for (const auto& [status, count] : tally) {
    summary += " " + std::to_string(status) + ":" + std::to_string(count);
  }
  RecordProperty("statuses", summary);
  EXPECT_GT(tally[JCAMP_HEADER_OK], 0);
}

// Shapes read off the files themselves.
TEST_F(CorpusScanTest, KnownFilesHaveTheirShapes) {
  SKIP_WITHOUT_CORPUS();
  const struct {
    const char* file;
    int32_t status;
    const char* message;
  } cases[] = {
      // LINK, ##BLOCKS= 5; title, origin and owner cut to 28, 28 and 24 characters.
      {"nzhagen__jcamp/data__Robert_J_Lancashire_test_data__blckpac1.jdx", 100,
       "5\t176\t0\t700\t350\tXYDATA\tAquation of trans-[Co(en)2Cl\tExported PE IR WinLab Data F\t"
       "Dept of Chem, UWI, Mona,"},
      {"devrosch__libjdx/libsciwrap__tests__resources__CompoundFile.jdx", 100,
       "5\t2\t0\t450\t451\tXYDATA\tData XYDATA (PAC) Block\t\t"},
      // 145 blocks without LINK and without ##FIRSTX=; then two blocks ended by "##END".
      {"nzhagen__jcamp/data__mass_spectra__CH4_CI.jdx", 1,
       "Label ##FIRSTX= missing in block number 2"},
      {"cheminfo__jcampconverter/__tests____data__structure__two.jdx", 1,
       "Label ##FIRSTX= missing in block number 2"},
      {"cheminfo__jcampconverter/__tests____data__mestrec__verySimple.jdx", 1,
       "Label ##DATATYPE= missing in block number 1"},
      // CR line ends, a peak table only.
      {"nzhagen__jcamp/data__Robert_J_Lancashire_test_data__mactab1.jdx", 7,
       "Tabular data XYDATA or XYPOINTS required"},
      // "##DataClass= ##XYDATA=" and an origin continued on the next line.
      {"nzhagen__jcamp/data__Robert_J_Lancashire_test_data__xyinc1.jdx", 100,
       "1\t3601\t0\t400\t4000\tXYDATA\tIndene     (FILE:  xyinc1.jd\tJCAMP-DX Test Disk 1.04\t"
       "Public Domain"},
      {"nzhagen__jcamp/data__uvvis_spectra__toluene.jdx", 100,
       "1\t335\t0\t274\t233\tXYPOINTS\tToluene\tINSTITUTE OF ENERGY PROBLEMS\t"
       "INEP CP RAS, NIST OSRDCo"},
      // With ##CONCENTRATIONS=.
      {"nzhagen__jcamp/data__jcamp-dx.org_official_test_data__IMSDEMO.DX", 100,
       "1\t1000\t2\t0\t66\tXYDATA\tExample Ion Mobility Spectru\tJ.I.Baumbach, ISAS Dortmund,\t"
       "COPYRIGHT(C) 2001"},
      {"nzhagen__jcamp/data__jcamp-dx.org_official_test_data__IMS_TEST1.DX", 100,
       "1\t2400\t1\t0\t59\tXYDATA\tEXAMPLE JCAMP-DX FILE FOR IM\tJ.I.Baumbach, H. Schmidt, IS\t"
       "COPYRIGHT (C) 2000 by IS"},
      {"nzhagen__jcamp/data__test__jcamp2001_example.txt", 100,
       "1\t2400\t1\t0\t59\tXYDATA\tEXAMPLE JCAMP-DX FILE FOR IM\tJ.I. Baumbach, H. Schmidt, I\t"
       "COPYRIGHT (C) 2000 by IS"},
      {"devrosch__libjdx/tests__jdx__resources__dummy.jdx", 2, "General JCAMP format error"},
  };
  const std::string dir = testpaths::corpusDir() + "/real/";
  for (const auto& c : cases) {
    EXPECT_EQ(check(lib(), dir + c.file), std::make_pair(c.status, std::string(c.message)))
        << c.file;
  }
  // The two files with one concentration agree in shape: both join one import.
  const uint32_t handle = openHandle();
  EXPECT_EQ(lib().addFileName(handle, (dir + cases[9].file).c_str()), JCAMP_OK);
  EXPECT_EQ(lib().addFileName(handle, (dir + cases[10].file).c_str()), JCAMP_OK);
  EXPECT_EQ(lib().addFileName(handle, (dir + cases[8].file).c_str()), JCAMP_SHAPE_MISMATCH);
}

}  // namespace

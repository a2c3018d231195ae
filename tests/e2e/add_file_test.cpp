// Adding files and checking them, through the exports of the loaded library.
#include <string>

#include "support/library_fixture.h"

namespace {

std::string spectrum(const std::string& title, int points, const std::string& header = "") {
  return "##TITLE=" + title + "\n##DATA TYPE=INFRARED SPECTRUM\n" + header +
         "##FIRSTX=4000\n##LASTX=400\n##NPOINTS=" + std::to_string(points) +
         "\n##XYDATA=(X++(Y..Y))\n4000 1 2 3 4\n##END=\n";
}

std::string linked(int blocks, const std::string& first) {
  return "##TITLE=set\n##DATA TYPE=LINK\n##BLOCKS=" + std::to_string(blocks) + "\n##END=\n" + first;
}

class AddFileTest : public LibraryTest {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    return testpaths::writeFile(dir_ + "/" + name, text);
  }
  std::string fileName(uint32_t handle, int32_t index, int32_t expected = JCAMP_OK) {
    char buffer[1024] = "unchanged";
    EXPECT_EQ(lib().getFileName(handle, index, buffer), expected);
    return buffer;
  }
  // checkFileName's status and message, with a buffer of size bytes.
  std::pair<int32_t, std::string> check(const char* file, uint32_t size = 512) {
    std::string message(size, '\x7f');
    const int32_t status = lib().checkFileName(file, size ? &message[0] : nullptr, size);
    return {status, size ? message.c_str() : ""};
  }
  std::string dir_ = testpaths::scratchDir();
};

TEST_F(AddFileTest, TheFirstFileFixesTheShapeOfTheImport) {
  const uint32_t handle = openHandle();
  const std::string refused = write("refused.jdx", "##JCAMP-DX=4.24\n");
  const std::string first = write("first.jdx", linked(3, spectrum("a", 4)));
  const std::string otherRange =
      write("range.jdx", spectrum("b", 4, "##FIRSTX=10\n") + spectrum("c", 4));
  const std::string morePoints = write("points.jdx", spectrum("d", 5));
  const std::string withNames =
      write("names.jdx", spectrum("e", 4, "##CONCENTRATIONS=(NCU)\n(water, 1, %)\n"));

  int32_t count = -1;
  EXPECT_EQ(lib().addFileName(handle, refused.c_str()), JCAMP_BAD_HEADER);
  EXPECT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_NOT_READY);
  EXPECT_EQ(lib().addFileName(handle, first.c_str()), JCAMP_OK);
  EXPECT_EQ(lib().addFileName(handle, otherRange.c_str()), JCAMP_OK);
  EXPECT_EQ(lib().addFileName(handle, morePoints.c_str()), JCAMP_SHAPE_MISMATCH);
  EXPECT_EQ(lib().addFileName(handle, withNames.c_str()), JCAMP_SHAPE_MISMATCH);
  EXPECT_EQ(lib().addFileName(handle, (dir_ + "/missing.jdx").c_str()), JCAMP_BAD_HEADER);
  EXPECT_EQ(lib().addFileName(handle, refused.c_str()), JCAMP_BAD_HEADER);
  EXPECT_EQ(lib().addFileName(handle, nullptr), JCAMP_NULL_ARGUMENT);

  ASSERT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(fileName(handle, 0), first);
  EXPECT_EQ(fileName(handle, 1), otherRange);
  EXPECT_EQ(fileName(handle, 2, JCAMP_BAD_INDEX), "");
  EXPECT_EQ(lib().getNumberOfSamples(handle, &count), JCAMP_NOT_READY);  // nothing imported
}

// Samples are summed over the files: a total beyond 32 bits refuses the file.
TEST_F(AddFileTest, TheSampleTotalStaysWithinThirtyTwoBits) {
  const uint32_t handle = openHandle();
  const std::string huge = write("huge.jdx", linked(99999999, spectrum("a", 4)));
  for (int i = 0; i < 21; ++i) ASSERT_EQ(lib().addFileName(handle, huge.c_str()), JCAMP_OK) << i;
  EXPECT_EQ(lib().addFileName(handle, huge.c_str()), JCAMP_BAD_HEADER);
  const std::string small = write("small.jdx", spectrum("b", 4));
  EXPECT_EQ(lib().addFileName(handle, small.c_str()), JCAMP_OK);  // 2,099,999,980 samples
  int32_t count = 0;
  ASSERT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_OK);
  EXPECT_EQ(count, 22);
}

TEST_F(AddFileTest, CheckFileNameGivesTheShapeOrTheReason) {
  const std::string good =
      write("good.jdx", linked(2, spectrum("A\ttitle", 4, "##ORIGIN=lab\n##OWNER=me\n")));
  EXPECT_EQ(
      check(good.c_str()),
      std::make_pair(JCAMP_HEADER_OK, std::string("2\t4\t0\t4000\t400\tXYDATA\tA title\tlab\tme")));
  EXPECT_EQ(check(good.c_str(), 5), std::make_pair(JCAMP_HEADER_OK, std::string("2\t4\t")));
  EXPECT_EQ(check(good.c_str(), 0).first, JCAMP_HEADER_OK);
  EXPECT_EQ(check(write("none.jdx", "##JCAMP-DX=4.24\n").c_str()),
            std::make_pair(2, std::string("General JCAMP format error")));
  EXPECT_EQ(
      check(
          write("npoints.jdx", "##TITLE=a\n##DATATYPE=X\n##FIRSTX=1\n##LASTX=2\n##END=\n").c_str()),
      std::make_pair(1, std::string("Label ##NPOINTS= missing in block number 1")));
  EXPECT_EQ(check(write("blocks.jdx", linked(0, spectrum("a", 4))).c_str(), 20),
            std::make_pair(6, std::string("Illegal ##BLOCKS= v")));
  EXPECT_EQ(check((dir_ + "/missing.jdx").c_str()),
            std::make_pair(0, std::string("General file IO error")));
  EXPECT_EQ(check(nullptr), std::make_pair(0, std::string("General file IO error")));
}

}  // namespace
